# Test fixture: one snapshot of the release packages of the architectures built
# here, so that every release test reads the same complete files, also while a
# build of this or the other architecture writes new ones into build/<arch>/release/.
#   CHECK/<arch>/             the two zips and the installer, copied
#   CHECK/<package>/          each zip unpacked from its copy
#   CHECK/<package>.list      the zip's own entry list
#   CHECK/arches.txt          the architectures in the snapshot, one a line
# An architecture whose build has programs (build/<arch>/bin) is in it, and then
# all three of its packages must be there; OWN_ARCH, the test program's, always is.
#   cmake -DBUILD_ROOT=build -DCHECK=build/x86_64/release-check -DVERSION=5.0.0.4240 -DOWN_ARCH=x86_64
#         -P UnpackPackages.cmake
foreach(var BUILD_ROOT CHECK VERSION OWN_ARCH)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "UnpackPackages.cmake: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${CHECK})
file(MAKE_DIRECTORY ${CHECK})
set(arches "")
foreach(arch x86_64 i686)
  if(NOT arch STREQUAL OWN_ARCH AND NOT IS_DIRECTORY ${BUILD_ROOT}/${arch}/bin)
    continue()
  endif()
  set(zips Tarvix-${VERSION}-${arch}.zip Tarvix-DevKit-${VERSION}-${arch}.zip)
  set(missing "")
  foreach(file IN LISTS zips ITEMS Tarvix-Setup-${VERSION}-${arch}.exe)
    if(NOT EXISTS ${BUILD_ROOT}/${arch}/release/${file})
      list(APPEND missing ${file})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing ", " missing)
    message(FATAL_ERROR "build/${arch} has programs but its packages are not all built (missing: ${missing}); "
                        "finish its build: tools/build.sh ${arch}")
  endif()

  # The build publishes each package whole (written aside, then renamed), so a
  # copy is one complete version of it; listing and unpacking read the copy.
  file(MAKE_DIRECTORY ${CHECK}/${arch})
  foreach(file IN LISTS zips ITEMS Tarvix-Setup-${VERSION}-${arch}.exe)
    file(COPY_FILE ${BUILD_ROOT}/${arch}/release/${file} ${CHECK}/${arch}/${file})
  endforeach()
  foreach(zip IN LISTS zips)
    get_filename_component(package ${zip} NAME_WLE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${CHECK}/${arch}/${zip}
                    OUTPUT_FILE ${CHECK}/${package}.list RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "cannot list ${zip}")
    endif()
    file(MAKE_DIRECTORY ${CHECK}/${package})
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${CHECK}/${arch}/${zip}
                    WORKING_DIRECTORY ${CHECK}/${package} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "cannot unpack ${zip}")
    endif()
  endforeach()
  string(APPEND arches "${arch}\n")
endforeach()
file(WRITE ${CHECK}/arches.txt "${arches}")
