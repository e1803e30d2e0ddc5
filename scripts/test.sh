#!/usr/bin/env bash
# Installs what the tests need (Debian 12), builds brumbesang and runs every test (see the
# README): the Linux program's unit, sound and end-to-end tests, again on an AddressSanitizer and
# UndefinedBehaviorSanitizer build, and the Windows program's package and its end-to-end test
# under Wine. Run from anywhere, as root or as a user who may use sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install.sh cmake make g++ pkg-config libfltk1.3-dev libsdl2-dev libgtest-dev \
  clang-format xvfb xauth xdotool xclip openbox wmctrl imagemagick sox pulseaudio pulseaudio-utils \
  valgrind g++-mingw-w64-i686 g++-mingw-w64-x86-64 lintian desktop-file-utils appstream

# The Windows program ships 32-bit, and is tested so under wine32 where this machine can run
# 32-bit programs. Where it cannot (some kernels and sandboxes refuse them), the same code built
# for x86_64 is tested under wine64. A tiny 32-bit program tells which; BRUMBESANG_WINE64=1 takes
# the second way on any machine.
runs_32bit() {
  local dir
  dir=$(mktemp -d)
  printf '.globl _start\n_start: movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' |
    as --32 -o "$dir/exit.o" && ld -m elf_i386 -o "$dir/exit" "$dir/exit.o" && "$dir/exit" 2>/dev/null
  local status=$?
  rm -rf "$dir"
  return $status
}
if [ -z "${BRUMBESANG_WINE64:-}" ] && runs_32bit; then
  echo "== this machine runs 32-bit programs: the 32-bit Windows program is tested under wine32"
  wine_preset=windows wine_build=build-win32
  bash scripts/install.sh wine wine32:i386 libpulse0:i386
else
  why="this machine cannot run 32-bit programs"
  [ -z "${BRUMBESANG_WINE64:-}" ] || why="BRUMBESANG_WINE64 is set"
  echo "== $why: the Windows program built for x86_64 is tested under wine64"
  wine_preset=windows64 wine_build=build-win64
  bash scripts/install.sh wine wine64
fi

echo "== format"
clang-format --dry-run --Werror $(git ls-files '*.cpp' '*.h')

for preset in windows $wine_preset; do
  cmake --preset $preset >/dev/null && cmake --build --preset $preset -j "$(nproc)"
done
cmake --preset dev -DBRUMBESANG_WINDOWS_PACKAGE="$PWD/build-win32" \
  -DBRUMBESANG_WINE_BUILD="$PWD/$wine_build" >/dev/null
cmake --build --preset dev -j "$(nproc)"
ctest --preset dev
cmake --preset asan >/dev/null && cmake --build --preset asan -j "$(nproc)"
ctest --preset asan
