# Cross-compiles the same program for 64-bit Windows with MinGW-w64 (g++-mingw-w64-x86-64). It is
# not shipped: the Windows tests run it under wine64 on machines that cannot run 32-bit programs.
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(BRUMBESANG_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
