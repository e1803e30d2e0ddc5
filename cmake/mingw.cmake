# What the two MinGW-w64 toolchain files share; each sets BRUMBESANG_MINGW, the compiler's target
# triplet, and includes this file.
set(CMAKE_SYSTEM_NAME Windows)

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
