# Cross-compiles the 32-bit Windows program on Debian with MinGW-w64 (g++-mingw-w64-i686):
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(BRUMBESANG_MINGW i686-w64-mingw32)
# The posix threading flavour of the compiler, whatever the system's default flavour is: it has
# the whole C++ thread library (over winpthread, which is linked in statically like the rest).
set(CMAKE_C_COMPILER ${BRUMBESANG_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRUMBESANG_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${BRUMBESANG_MINGW}-windres)

# Headers, libraries and packages come from the MinGW tree only, never from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${BRUMBESANG_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every executable carries libgcc, libstdc++ and winpthread inside it, so it needs no DLL beyond
# those Windows itself has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
