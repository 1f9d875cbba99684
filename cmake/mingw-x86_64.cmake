# Cross build for 64-bit Windows with MinGW-w64 (posix threads); tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The 64-bit Wine loader itself, also for the programs the tests start (WINELOADER): the
# `wine` command would start the 32-bit loader first where the 32-bit Wine is installed.
set(LAUNCHER_WINE /usr/lib/wine/wine64)
# Each test program on the Wine desktop ctest gives it (wine_desktop.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR bash ${CMAKE_CURRENT_LIST_DIR}/wine_desktop.sh /usr/bin/env
                                  WINELOADER=${LAUNCHER_WINE} ${LAUNCHER_WINE})
