# Cross build of the Windows modules for 32-bit Windows ("Windows NT x86"):
# compile-and-link check only here, as these machines cannot run 32-bit programs.
set(MRL_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
