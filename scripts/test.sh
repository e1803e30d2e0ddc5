#!/usr/bin/env bash
# Installs what the tests need (Debian 12), builds brumbesang and runs every test:
#   1. the normal build: unit tests, the SDL sound tests and the end-to-end tests under Xvfb;
#   2. an AddressSanitizer + UndefinedBehaviorSanitizer build of the unit tests.
# Run from anywhere, as root or as a user who may use sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  cmake make g++ pkg-config libfltk1.3-dev libsdl2-dev libgtest-dev libx11-dev \
  xvfb xauth xdotool xclip sox clang-format >/dev/null

JOBS=$(nproc)

echo "== format"
clang-format --dry-run --Werror $(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h')

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"

echo "== sanitizer build (unit tests)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DBRUMBESANG_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$JOBS" --target core_tests sound_sdl_tests
(cd build-asan && ctest --output-on-failure -LE e2e)

if [ -f scripts/test-windows.sh ]; then
  echo "== the Windows program, cross-compiled and run under Wine"
  bash scripts/test-windows.sh
fi

echo "== all tests"
cd build
ctest --output-on-failure
