#!/usr/bin/env bash
# Builds the fuzzer of the verse boxes with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/, and runs it for SECONDS (60 by default). The
# inputs it found worth keeping stay in build-fuzz/corpus for the next run; an input that fails
# is written to build-fuzz/ and the script fails.
#
#   bash fuzz/fuzz.sh [SECONDS]
#
# Needs clang-14 and libclang-rt-14-dev (Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN=${1:-60}
OUT=build-fuzz
CXX=$(command -v clang++-14 || command -v clang++)

mkdir -p "$OUT/corpus"
"$CXX" -std=c++17 -g -O1 -Wall -Wextra -Werror \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer \
  -Isrc -Itests fuzz/verse_boxes_fuzz.cpp src/song/NumberText.cpp src/song/Module1.cpp \
  src/window/Form1.cpp tests/fake_platform.cpp -o "$OUT/verse_boxes_fuzz"
"$OUT/verse_boxes_fuzz" -max_total_time="$SECONDS_TO_RUN" -max_len=512 -timeout=10 \
  -artifact_prefix="$OUT/" -print_final_stats=1 "$OUT/corpus"
