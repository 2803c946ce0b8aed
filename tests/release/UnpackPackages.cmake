# Test fixture: unpacks every release zip of the architectures built here into
# CHECK/<package>/ and writes the zip's own entry list to CHECK/<package>.list.
#   cmake -DBUILD_ROOT=build -DCHECK=build/x86_64/release-check -P UnpackPackages.cmake
file(REMOVE_RECURSE ${CHECK})
file(MAKE_DIRECTORY ${CHECK})
foreach(arch x86_64 i686)
  file(GLOB zips ${BUILD_ROOT}/${arch}/release/*.zip)
  foreach(zip IN LISTS zips)
    get_filename_component(package ${zip} NAME_WLE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zip}
                    OUTPUT_FILE ${CHECK}/${package}.list RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "cannot list ${zip}")
    endif()
    file(MAKE_DIRECTORY ${CHECK}/${package})
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip}
                    WORKING_DIRECTORY ${CHECK}/${package} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "cannot unpack ${zip}")
    endif()
  endforeach()
endforeach()
