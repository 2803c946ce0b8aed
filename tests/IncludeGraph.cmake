# Checks the include graph folder by folder: run as
#   cmake -DSOURCE_DIR=<repo> -P IncludeGraph.cmake
# Every quoted #include of a file below a row's folder is resolved to a file of
# ours and must not lie in one of the row's forbidden folders. A forbidden
# folder written "name/." stands for the files directly in it, not its subfolders.
cmake_minimum_required(VERSION 3.25)

set(rules
  "framework: app ui model plenkit plugin"
  "plenkit: app ui model plugin"
  "plugin: app ui model"
  "plugin/device: plugin/."
  "plugin/detect: plugin/."
  "model: ui app plenkit plugin"
  "ui: app plenkit plugin"
  "app: plenkit plugin"
  "res: app ui model framework plenkit plugin"
  "idl: app ui model framework plenkit plugin"
)

# Where a quoted include may come from: our folders, the including file's own
# folder first. Headers made from idl/<name>.idl count as idl/.
set(searched app ui model framework plenkit plugin res idl)

if(NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "SOURCE_DIR is not a folder: '${SOURCE_DIR}'")
endif()

set(ours)
foreach(folder IN LISTS searched)
  file(GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${folder}/*")
  list(APPEND ours ${found})
endforeach()

# Sets `out` to the repo-relative file an include names, or "" when none does.
function(resolve including name out)
  get_filename_component(dir "${including}" DIRECTORY)
  if(EXISTS "${SOURCE_DIR}/${dir}/${name}")
    file(RELATIVE_PATH rel "${SOURCE_DIR}" "${SOURCE_DIR}/${dir}/${name}")
    set(${out} "${rel}" PARENT_SCOPE)
    return()
  endif()
  set(matches)
  string(REGEX REPLACE "([][.+*?^$()|\\])" "\\\\\\1" pattern "${name}")
  foreach(candidate IN LISTS ours)
    if(candidate MATCHES "(^|/)${pattern}$")
      list(APPEND matches "${candidate}")
    endif()
  endforeach()
  string(REGEX REPLACE "\\.h$" ".idl" idl_name "${name}")
  if(NOT matches AND EXISTS "${SOURCE_DIR}/idl/${idl_name}")
    set(matches "idl/${idl_name}")
  endif()
  list(LENGTH matches count)
  if(count GREATER 1)
    message(SEND_ERROR "${including}: \"${name}\" could be any of ${matches}")
  endif()
  set(${out} "${matches}" PARENT_SCOPE)
endfunction()

# True when `file` lies in `folder` ("name/." : directly in it).
function(lies_in file folder out)
  set(${out} FALSE PARENT_SCOPE)
  if(folder MATCHES "^(.*)/\\.$")
    get_filename_component(dir "${file}" DIRECTORY)
    if(dir STREQUAL CMAKE_MATCH_1)
      set(${out} TRUE PARENT_SCOPE)
    endif()
  elseif(file MATCHES "^${folder}/")
    set(${out} TRUE PARENT_SCOPE)
  endif()
endfunction()

set(violations 0)
foreach(rule IN LISTS rules)
  string(REGEX MATCH "^([^:]+): *(.*)$" matched "${rule}")
  set(folder "${CMAKE_MATCH_1}")
  set(forbidden_text "${CMAKE_MATCH_2}")
  string(REPLACE " " ";" forbidden "${forbidden_text}")
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
       "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.c"
       "${SOURCE_DIR}/${folder}/*.rc")
  list(LENGTH sources file_count)
  if(file_count EQUAL 0)
    message(SEND_ERROR "${folder}: no sources found, so nothing was checked")
  endif()
  set(include_count 0)
  foreach(source IN LISTS sources)
    file(STRINGS "${SOURCE_DIR}/${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX MATCH "\"([^\"]+)\"" quoted "${line}")
      set(name "${CMAKE_MATCH_1}")
      math(EXPR include_count "${include_count} + 1")
      resolve("${source}" "${name}" target)
      if(target STREQUAL "")
        message(SEND_ERROR "${source}: \"${name}\" is none of our files; say where it comes from")
        continue()
      endif()
      foreach(bad IN LISTS forbidden)
        lies_in("${target}" "${bad}" inside)
        if(inside)
          message(SEND_ERROR "${source} includes ${target}: ${folder} must not include ${bad}")
          math(EXPR violations "${violations} + 1")
        endif()
      endforeach()
    endforeach()
  endforeach()
  message(STATUS "${folder}: ${file_count} files, ${include_count} quoted includes checked against: ${forbidden_text}")
endforeach()
if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) against the direction of dependency")
endif()
