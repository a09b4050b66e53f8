# 32-bit programs cannot run here: this build makes the DLL and checks it, nothing more.
set(TOOLWINDOWS_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
