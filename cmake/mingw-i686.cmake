# Cross build for 32-bit Windows with MinGW-w64 (posix threads). Its test programs run under
# the 32-bit Wine where ./run has set it up (an emulated loader: a few chosen programs only).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The 32-bit Wine loader itself, also for the programs the tests start (WINELOADER; a 64-bit
# program started from a 32-bit one goes to the same name with "64" added).
set(LAUNCHER_WINE /usr/lib/wine/wine)
# Each test program on the Wine desktop ctest gives it (wine_desktop.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR bash ${CMAKE_CURRENT_LIST_DIR}/wine_desktop.sh /usr/bin/env
                                  WINELOADER=${LAUNCHER_WINE} ${LAUNCHER_WINE})
