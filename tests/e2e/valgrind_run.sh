#!/usr/bin/env bash
# Verses 1 to 3 under valgrind's memcheck: no memory error and no memory lost for good, but for
# what the X and audio libraries keep by design (tests/valgrind.supp says what and why).
source "$(dirname "$0")/lib.sh"
if ldd "$BIN/brumbesang" | grep -q libasan; then
  echo "SKIP: a sanitizer build does not run under valgrind"
  exit 77
fi

make_tagged_clips 0.08
# SDL's D-Bus library may fork to look for a session bus; that child is not the program.
RUNNER="valgrind --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=99
  --child-silent-after-fork=yes --log-file=$WORK/valgrind.log
  --suppressions=$(dirname "$0")/../valgrind.supp"

echo "-- verses 1 to 3 under valgrind"
start_program
type_box start 1
type_box end 3
click play
wait_for_sounds 6
expect_names "1.wav brumbe.wav 2.wav brumber.wav 3.wav brumber.wav"
"$TOOLS/xclose" "$WIN"
status=0
timeout 60 tail --pid="$PID" -f /dev/null || fail "the program did not end within 60 s of its window closing"
wait "$PID" || status=$?
PID=""
grep -E 'ERROR SUMMARY|definitely lost:' "$WORK/valgrind.log" | sed 's/^==[0-9]*== *//'
[ "$status" -eq 0 ] || { cat "$WORK/valgrind.log"; fail "valgrind found errors (status $status)"; }
echo "PASS"
