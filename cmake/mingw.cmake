# Shared by the MinGW-w64 toolchain files, which set TOOLWINDOWS_MINGW_ARCH first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TOOLWINDOWS_MINGW_ARCH})
set(CMAKE_C_COMPILER ${TOOLWINDOWS_MINGW_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLWINDOWS_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLWINDOWS_MINGW_ARCH}-w64-mingw32-windres)
# The x86_64 objdump reads the export tables of both architectures.
set(CMAKE_OBJDUMP x86_64-w64-mingw32-objdump)
set(CMAKE_OBJCOPY ${TOOLWINDOWS_MINGW_ARCH}-w64-mingw32-objcopy)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLWINDOWS_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Windows test programs run under Wine, in the build's own prefix: x86_64 ones under the 64-bit
# loader, i686 ones under the 32-bit one through an emulator (scripts/wine-run.sh reads which).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
