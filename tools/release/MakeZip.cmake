# Stages the files of one package and zips them:
#   cmake -DMANIFEST=list -DSTAGE=folder -DOUTPUT=package.zip [-DSTRIP=strip] -P MakeZip.cmake
# MANIFEST has one "source|path in the package" line per file. The stage is made
# afresh each time, so a file dropped from the list never lingers in the zip.
# With STRIP, the staged programs and DLLs lose their symbols and debug sections
# (the shared C++ runtime alone carries some 20 MB of them); exports and
# resources stay.
foreach(var MANIFEST STAGE OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MakeZip.cmake: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(STRINGS ${MANIFEST} entries)
set(paths)
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "^([^|]+)\\|([^|]+)$")
    message(FATAL_ERROR "MakeZip.cmake: bad manifest line '${entry}'")
  endif()
  set(source ${CMAKE_MATCH_1})
  set(path ${CMAKE_MATCH_2})
  if(NOT EXISTS ${source})
    message(FATAL_ERROR "MakeZip.cmake: ${source} is missing")
  endif()
  get_filename_component(folder ${STAGE}/${path} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  file(COPY_FILE ${source} ${STAGE}/${path})
  if(STRIP AND path MATCHES "\\.(exe|dll)$")
    execute_process(COMMAND ${STRIP} --strip-unneeded ${STAGE}/${path} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "MakeZip.cmake: stripping ${path} failed")
    endif()
  endif()
  list(APPEND paths ${path})
endforeach()

get_filename_component(out_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
# Written aside and renamed into place, so whoever reads the package meanwhile
# (the release tests' unpacking step) sees the old one or the new one, whole.
set(partial ${OUTPUT}.part)
file(REMOVE ${partial})
# A fixed time stamp keeps the zip the same from build to build of the same files.
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${partial} --format=zip "--mtime=2024-01-01 00:00:00Z" ${paths}
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "MakeZip.cmake: zipping ${OUTPUT} failed")
endif()
file(RENAME ${partial} ${OUTPUT})
