# Cross-compiles the Windows executables (x86_64) with Debian's mingw-w64
# GCC. The tests then run under Wine, which CTest starts for every test
# executable through CMAKE_CROSSCOMPILING_EMULATOR.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(LPGM_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model: GoogleTest and the standard library use
# winpthread, which is linked in statically.
set(CMAKE_C_COMPILER ${LPGM_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LPGM_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LPGM_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LPGM_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The Wine loader itself, not the wrapper script that warns about a
# missing 32-bit Wine on every start.
if(EXISTS /usr/lib/wine/wine64)
  set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine64)
endif()
