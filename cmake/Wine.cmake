# Tests run under Wine on a Linux host: the x86_64 build on the host's Wine, the
# i686 build on the 32-bit-capable Wine that tools/setup-wow64.sh puts in a tree
# of its own (this machine cannot execute 32-bit Linux programs, so the host's
# wine32 cannot run). The launcher keeps its prefix inside the build tree, never
# in ~/.wine.
set(TP_RUN_TESTS OFF)
set(WINE_RUN_ENV "")
if(CMAKE_HOST_SYSTEM_NAME STREQUAL "Linux")
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(TP_RUN_TESTS ON)
  else()
    if(DEFINED ENV{WOW64_WINE_TREE})
      set(tree_default "$ENV{WOW64_WINE_TREE}")
    else()
      set(tree_default /opt/wine-wow64)
    endif()
    set(WOW64_WINE_TREE "${tree_default}" CACHE PATH "The 32-bit-capable Wine's tree (tools/setup-wow64.sh)")
    if(EXISTS "${WOW64_WINE_TREE}/.tarvix-wow64-ready")
      set(TP_RUN_TESTS ON)
      # Enters the tree for every Wine call; built for the host, not the target.
      find_program(HOST_CC NAMES cc gcc REQUIRED)
      set(WOW64_ENTER ${CMAKE_BINARY_DIR}/wow64-enter)
      add_custom_command(OUTPUT ${WOW64_ENTER}
        COMMAND ${HOST_CC} -O2 -Wall -Wextra -o ${WOW64_ENTER} ${CMAKE_SOURCE_DIR}/tools/wow64-enter.c
        DEPENDS ${CMAKE_SOURCE_DIR}/tools/wow64-enter.c VERBATIM)
      add_custom_target(wow64_enter ALL DEPENDS ${WOW64_ENTER})
      # The tree sees the host's /tmp; the source and build trees are bound in as well.
      set(WINE_RUN_ENV "WINE_RUN_WOW64_TREE='${WOW64_WINE_TREE}' WINE_RUN_ENTER='${WOW64_ENTER}' WOW64_BIND='${CMAKE_SOURCE_DIR}:${CMAKE_BINARY_DIR}'")
    else()
      message(WARNING "i686 tests are off: ${WOW64_WINE_TREE} is no 32-bit-capable Wine yet (run tools/setup.sh, then configure again)")
    endif()
  endif()
endif()
if(TP_RUN_TESTS)
  enable_testing()
  set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${WINE_RUN} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_RUN})
  # The same launcher for a prefix of the caller's (benchmarks, pictures).
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/wine-run-prefix @ONLY CONTENT [=[#!/bin/sh
# Generated: wine-run-prefix PREFIX PROGRAM [ARGS...], this build's Wine in any prefix.
@WINE_RUN_ENV@ WINE_RUN_KEEPER="@CMAKE_BINARY_DIR@/bin/winekeep.exe" exec "@CMAKE_SOURCE_DIR@/tools/wine-run.sh" "$@"
]=])
  file(CHMOD ${CMAKE_BINARY_DIR}/wine-run-prefix PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
       GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
