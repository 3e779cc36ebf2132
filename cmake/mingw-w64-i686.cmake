# Cross build of the Windows modules for 32-bit Windows ("Windows NT x86").
set(MRL_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
