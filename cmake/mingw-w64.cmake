# Cross build of the Windows modules with mingw-w64 (posix threads): x86_64, or
# the architecture a toolchain file including this one sets in MRL_MINGW_ARCH.
if(NOT MRL_MINGW_ARCH)
  set(MRL_MINGW_ARCH x86_64)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MRL_MINGW_ARCH})
set(CMAKE_C_COMPILER ${MRL_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${MRL_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${MRL_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_DLLTOOL ${MRL_MINGW_ARCH}-w64-mingw32-dlltool)
set(CMAKE_FIND_ROOT_PATH /usr/${MRL_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Tests run under Wine; scripts/wine-session.sh provides the prefix and the display
# (for i686, 32-bit Wine in the chroot of scripts/win32-env.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
