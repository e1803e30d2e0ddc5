#!/usr/bin/env bash
# Installs what the tests need (Debian 12), builds brumbesang and runs every test (see the
# README): the Linux program's unit, sound, end-to-end and packaging tests, again on an
# AddressSanitizer and UndefinedBehaviorSanitizer build, the Windows program's package, its
# installer and its end-to-end test under Wine, and the web page's end-to-end test in Chromium.
# Run from anywhere, as root or as a user who may use sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install.sh cmake make g++ pkg-config libgtk-3-dev libsdl2-dev libgtest-dev \
  clang-format xvfb xauth xdotool xclip x11-utils openbox wmctrl imagemagick sox pulseaudio \
  pulseaudio-utils pipewire pipewire-pulse wireplumber dbus dbus-daemon at-spi2-core \
  python3-pyatspi g++-mingw-w64-i686 g++-mingw-w64-x86-64 wixl lintian desktop-file-utils appstream \
  emscripten chromium chromium-driver python3-selenium

# The Windows program ships 32-bit, and is tested so under wine32 where this machine runs 32-bit
# programs, as a tiny one shows. Where it cannot (some kernels and sandboxes refuse them), or
# with BRUMBESANG_WINE64=1, the same code built for x86_64 is tested under wine64.
probe=$(mktemp)
printf '.globl _start\n_start: movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' |
  as --32 -o "$probe.o" - && ld -m elf_i386 -o "$probe" "$probe.o"
wine=(win32 wine32:i386 libpulse0:i386) why="this machine runs 32-bit programs"
[ -z "${BRUMBESANG_WINE64:-}" ] || wine=(win64 wine64) why="BRUMBESANG_WINE64 is set"
[ "${wine[0]}" = win64 ] || "$probe" 2>/dev/null || wine=(win64 wine64) why="this machine runs no 32-bit programs"
echo "== $why: the Windows program is tested as built for ${wine[0]}, under ${wine[1]%:*}"
rm -f "$probe" "$probe.o"
bash scripts/install.sh wine "${wine[@]:1}"

# The code's format, then the builds, then the tests.
clang-format --dry-run --Werror $(git ls-files '*.cpp' '*.h')
for preset in win32 "${wine[0]}" web; do
  cmake --preset $preset >/dev/null && cmake --build --preset $preset -j "$(nproc)"
done
cmake --preset dev -DBRUMBESANG_WINDOWS_PACKAGE="$PWD/build-win32" \
  -DBRUMBESANG_WINE_BUILD="$PWD/build-${wine[0]}" -DBRUMBESANG_WEB_BUILD="$PWD/build-web" >/dev/null
cmake --build --preset dev -j "$(nproc)" && ctest --preset dev
cmake --preset asan >/dev/null && cmake --build --preset asan -j "$(nproc)" && ctest --preset asan
