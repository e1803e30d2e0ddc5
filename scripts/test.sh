#!/usr/bin/env bash
# Installs what the tests need (Debian 12), builds brumbesang and runs every test:
#   1. the normal build: unit tests, the SDL sound tests and the end-to-end tests under Xvfb
#      (one of them under valgrind, one the whole song: about two minutes);
#   2. an AddressSanitizer + UndefinedBehaviorSanitizer build: the same tests but the whole song;
#   3. the fuzzer of the verse boxes, for 60 seconds (bash fuzz/fuzz.sh SECONDS runs it longer);
#   4. the benchmark's figures, printed and not checked.
# Run from anywhere, as root or as a user who may use sudo.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install.sh \
  cmake make g++ pkg-config libfltk1.3-dev libsdl2-dev libgtest-dev libx11-dev \
  xvfb xauth xdotool xclip sox clang-format valgrind clang-14 libclang-rt-14-dev

JOBS=$(nproc)

echo "== format"
clang-format --dry-run --Werror $(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'fuzz/*.cpp')

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRUMBESANG_TESTS=ON -DBRUMBESANG_WERROR=ON >/dev/null
cmake --build build -j "$JOBS"

# Wine's sound is the most sensitive to a machine worn by the heavier steps below, so it runs first.
if [ -f scripts/test-windows.sh ]; then
  echo "== the Windows program, cross-compiled and run under Wine"
  bash scripts/test-windows.sh
fi

echo "== sanitizer build (all tests but the whole song)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DBRUMBESANG_SANITIZE=ON -DBRUMBESANG_TESTS=ON -DBRUMBESANG_WERROR=ON >/dev/null
cmake --build build-asan -j "$JOBS"
(cd build-asan && ctest --output-on-failure -LE long)

echo "== fuzzing the verse boxes"
mkdir -p build-fuzz
if ! bash fuzz/fuzz.sh 60 >build-fuzz/fuzz.log 2>&1; then
  tail -n 80 build-fuzz/fuzz.log
  exit 1
fi
grep -E '^(Done|stat::)' build-fuzz/fuzz.log

echo "== figures"
bash bench/bench.sh

echo "== all tests"
cd build
ctest --output-on-failure
