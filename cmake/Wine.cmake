# Tests run only in the x86_64 build: this machine cannot execute 32-bit code.
# The launcher keeps its prefix inside the build tree, never in ~/.wine.
set(TP_RUN_TESTS OFF)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64" AND CMAKE_HOST_SYSTEM_NAME STREQUAL "Linux")
  set(TP_RUN_TESTS ON)
  enable_testing()
  set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${WINE_RUN} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_RUN})
endif()
