# Flags and helpers shared by every target of ours.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Wall> $<$<COMPILE_LANGUAGE:C,CXX>:-Wextra>)
if(WARNINGS_AS_ERRORS)
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)
endif()
# windres reads UTF-8 scripts only with the code page pragma; the preprocessor needs our headers.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
# Release modules carry no symbol table: the static runtime's symbols made them
# two to five times their size, and loading a module reads all of it.
add_link_options($<$<CONFIG:Release>:-s>)

# Single-module programs and the stand-ins carry their runtime with them.
function(tp_static_runtime target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()

# Modules that hand C++ objects, strings and exceptions to each other (the
# plug-in, Plenkit.dll, the host and the tests that load them) must agree on
# one runtime. x86_64: each carries the static one (SEH unwinding crosses
# modules). i686 (DWARF-2): exceptions crossing modules need the shared libgcc,
# so these link the shared runtime, whose DLLs are copied beside them.
function(tp_cross_module_runtime target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    tp_static_runtime(${target})
    return()
  endif()
  target_link_options(${target} PRIVATE -shared-libgcc)
  if(NOT TARGET shared_cxx_runtime)
    set(copies)
    foreach(dll libgcc_s_dw2-1.dll libstdc++-6.dll libwinpthread-1.dll)
      execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                      OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
      if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        message(FATAL_ERROR "The shared C++ runtime ${dll} was not found (${found})")
      endif()
      add_custom_command(OUTPUT ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${dll}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${found} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${dll}
        DEPENDS ${found} VERBATIM)
      list(APPEND copies ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${dll})
    endforeach()
    add_custom_target(shared_cxx_runtime ALL DEPENDS ${copies})
    set_property(GLOBAL PROPERTY TP_SHARED_RUNTIME_DLLS ${copies})  # shipped beside them
  endif()
  add_dependencies(${target} shared_cxx_runtime)
endfunction()

# A resource-only language DLL: <language>/<name>.mui beside the binary it belongs
# to (en-US unless LANGUAGE is given). The scripts include a template part that
# all languages share: COMMON names it so a change there rebuilds every language.
function(tp_language_dll target rc_file mui_name)
  cmake_parse_arguments(ARG "" "LANGUAGE" "COMMON" ${ARGN})
  if(NOT ARG_LANGUAGE)
    set(ARG_LANGUAGE en-US)
  endif()
  set(dir ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${ARG_LANGUAGE})
  add_library(${target} SHARED ${rc_file})
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME "${mui_name}" SUFFIX ".mui" LINKER_LANGUAGE C
    RUNTIME_OUTPUT_DIRECTORY ${dir} LIBRARY_OUTPUT_DIRECTORY ${dir}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/${ARG_LANGUAGE})  # nothing imports them
  target_link_options(${target} PRIVATE -nostdlib -nostartfiles -Wl,-e,0 -s)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/res)
  if(ARG_COMMON)
    set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS "${ARG_COMMON}")
  endif()
endfunction()

# One CTest entry per test case; all share the Wine fixture so a single test can be run alone.
# CROSS_MODULE: the test exchanges C++ objects with our DLLs (see tp_cross_module_runtime).
# RESOURCE_LOCK name...: the cases share machine state (e.g. registry keys) with other
# tests holding the same lock, so CTest never runs them at the same time.
function(tp_add_gtest target)
  cmake_parse_arguments(ARG "CROSS_MODULE" "" "RESOURCE_LOCK" ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gmock)
  if(ARG_CROSS_MODULE)
    tp_cross_module_runtime(${target})
  else()
    tp_static_runtime(${target})
  endif()
  if(TP_RUN_TESTS)
    gtest_add_tests(TARGET ${target} TEST_LIST added)
    set_tests_properties(${added} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 120)
    if(ARG_RESOURCE_LOCK)
      set_tests_properties(${added} PROPERTIES RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
    endif()
  endif()
endfunction()

# Registry fragments (.reg.in) that register the stand-ins. They are configured
# with @BIN_WIN@ (the bin folder as a Windows path, backslashes doubled for .reg)
# and joined into one stand-ins.reg that the test fixture and the run command import.
function(tp_add_registration fragment)
  set_property(GLOBAL APPEND PROPERTY TP_REG_FRAGMENTS ${CMAKE_CURRENT_SOURCE_DIR}/${fragment})
endfunction()

function(tp_write_registration output)
  get_property(fragments GLOBAL PROPERTY TP_REG_FRAGMENTS)
  string(REPLACE "/" "\\\\" BIN_WIN "Z:${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  set(content "Windows Registry Editor Version 5.00\n")
  foreach(fragment IN LISTS fragments)
    file(READ ${fragment} text)
    string(CONFIGURE "${text}" text @ONLY)
    string(APPEND content "\n${text}")
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${fragment})
  endforeach()
  file(WRITE ${output}.tmp "${content}")
  file(COPY_FILE ${output}.tmp ${output} ONLY_IF_DIFFERENT)
endfunction()

# An import library whose DLL is loaded at the first call into it instead of at
# start-up: for system DLLs that only a few commands need, which would otherwise
# (with what they pull in) cost every start time and memory. Functions are given
# as name@argument-bytes, the i686 stdcall decoration; x86_64 drops it.
function(tp_delay_import target dll)
  set(def ${CMAKE_BINARY_DIR}/delay-import/${target}.def)
  set(lib ${CMAKE_BINARY_DIR}/delay-import/lib${target}.a)
  set(text "LIBRARY ${dll}\nEXPORTS\n")
  foreach(function IN LISTS ARGN)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      string(REGEX REPLACE "@[0-9]+$" "" function "${function}")
    endif()
    string(APPEND text "    ${function}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${def} CONTENT "${text}")
  set(kill_at "")
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(kill_at --kill-at)
  endif()
  add_custom_command(OUTPUT ${lib}
    COMMAND ${TOOLCHAIN_PREFIX}-dlltool --def ${def} --output-delaylib ${lib} ${kill_at}
    DEPENDS ${def} VERBATIM)
  add_custom_target(${target}_library DEPENDS ${lib})
  add_library(${target} INTERFACE)
  target_link_libraries(${target} INTERFACE ${lib})
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    # The i686 linker drops a delay-import member's code when only its __imp_
    # slot is referenced (as the SDK's dllimport declarations do); the slot then
    # holds 0 and the first call jumps to address 0. Naming each stub keeps it.
    foreach(function IN LISTS ARGN)
      target_link_options(${target} INTERFACE "LINKER:-u,_${function}")
    endforeach()
  endif()
  add_dependencies(${target} ${target}_library)
endfunction()

# UTF-16 text (ASCII only) with its terminating NUL, as 32-bit little-endian words.
function(_tp_mui_text out_words out_bytes text)
  string(LENGTH "${text}" length)
  set(words)
  set(index 0)
  while(index LESS_EQUAL length)
    set(pair 0 0)
    foreach(half 0 1)
      math(EXPR at "${index} + ${half}")
      if(at LESS length)
        string(SUBSTRING "${text}" ${at} 1 char)
        string(HEX "${char}" code)
        list(REMOVE_AT pair ${half})
        list(INSERT pair ${half} 0x${code})
      endif()
    endforeach()
    list(GET pair 0 low)
    list(GET pair 1 high)
    math(EXPR word "${low} + (${high} << 16)" OUTPUT_FORMAT HEXADECIMAL)
    list(APPEND words ${word})
    math(EXPR index "${index} + 2")
  endwhile()
  math(EXPR bytes "(${length} + 1) * 2")
  set(${out_words} ${words} PARENT_SCOPE)
  set(${out_bytes} ${bytes} PARENT_SCOPE)
endfunction()

# The MUI resource configuration (type "MUI", id 1) that ties a module and its
# language resource together: the system's resource loader takes a language
# file only when its file type, language and checksums fit the module's.
#   tp_mui_config(target MAIN|LANGUAGE module_file language language_script
#                 MAIN_TYPES id... LANGUAGE_TYPES id...)
# module_file names the module (Peryl.dll) in both files; MAIN_TYPES are the
# resource types the module keeps, LANGUAGE_TYPES those its language file holds.
# Every file of the module gets the same checksums: the main one from the module's
# name and major.minor version, the service one from the text of the fallback
# language's scripts (language_script, a list), whichever language the file holds.
function(tp_mui_config target kind module_file language language_script)
  cmake_parse_arguments(ARG "" "" "MAIN_TYPES;LANGUAGE_TYPES" ${ARGN})
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${language_script})
  string(MD5 main_sum "${module_file}/${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
  set(scripts "")
  foreach(script IN LISTS language_script)
    file(READ ${script} text)
    string(APPEND scripts "${text}")
  endforeach()
  string(MD5 service_sum "${scripts}")

  # The lists: type names ("MUI" and an empty name to end them), the module's
  # type ids, the language file's type ids, the language.
  set(names 0x0055004D 0x00000049 0)
  set(names_bytes 10)
  set(main ${ARG_MAIN_TYPES})
  list(LENGTH main count)
  math(EXPR main_bytes "${count} * 4")
  set(localized ${ARG_LANGUAGE_TYPES})
  list(LENGTH localized count)
  math(EXPR localized_bytes "${count} * 4")
  _tp_mui_text(lang lang_bytes "${language}")
  set(none)
  set(none_bytes 0)

  # Six (offset, size) pairs: main type names, main type ids, language-file type
  # names, language-file type ids, language, ultimate fallback language.
  if(kind STREQUAL "MAIN")
    set(file_type 0x21)       # an application's language-neutral module
    set(fallback_location 2)  # its last-resort texts are in a language file
    set(lists names main none localized none lang)
  elseif(kind STREQUAL "LANGUAGE")
    set(file_type 0x22)       # an application's language-specific file
    set(fallback_location 0)
    set(lists names localized none none lang none)
  else()
    message(FATAL_ERROR "tp_mui_config: kind is MAIN or LANGUAGE, not ${kind}")
  endif()

  # A fixed header of 0x84 bytes, padded to 0x88; each list padded to 8 bytes.
  set(offset 136)
  set(pairs)
  set(body)
  foreach(item IN LISTS lists)
    if(${item}_bytes EQUAL 0)
      list(APPEND pairs 0 0)
      continue()
    endif()
    list(APPEND pairs ${offset} ${${item}_bytes})
    set(words ${${item}})
    list(LENGTH words count)
    math(EXPR odd "${count} % 2")
    if(odd)
      list(APPEND words 0)
    endif()
    list(APPEND body ${words})
    list(LENGTH words count)
    math(EXPR offset "${offset} + ${count} * 4")
  endforeach()

  set(words 0xFECDFECD ${offset} 0x10000 0 ${file_type} 0 ${fallback_location})
  foreach(sum service_sum main_sum)
    foreach(at 0 8 16 24)
      set(word "")  # four bytes in file order, read as a little-endian word
      foreach(byte 6 4 2 0)
        math(EXPR from "${at} + ${byte}")
        string(SUBSTRING "${${sum}}" ${from} 2 hex)
        string(APPEND word "${hex}")
      endforeach()
      list(APPEND words 0x${word})
    endforeach()
  endforeach()
  list(APPEND words 0 0 0 0 0 0 ${pairs} 0 ${body})

  set(text "// Generated by tp_mui_config: ${module_file}, ${kind}.\nLANGUAGE 0, 0\n1 MUI\nBEGIN\n")
  list(JOIN words "L,\n    " joined)
  string(APPEND text "    ${joined}L\nEND\n")
  set(output ${CMAKE_BINARY_DIR}/mui/${target}.mui.rc)
  file(CONFIGURE OUTPUT ${output} CONTENT "${text}")
  target_sources(${target} PRIVATE ${output})
endfunction()
