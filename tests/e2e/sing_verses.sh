#!/usr/bin/env bash
# The real program: verses typed into the boxes and sung on "Spill vers!", the clips in the right
# order with a silence clip's pause between them; "Stop" and closing the window cut the sound.
# Runs the Linux program (lib.sh here) or, with E2E_LIB=tests/wine/lib.sh, the Windows one.
source "${E2E_LIB:-$(dirname "$0")/lib.sh}"

echo "-- verse 347 alone"
make_tagged_clips 0.08
start_program
type_box start 347
type_box end 347
click play
wait_for_sounds 5
[ "$(played | wc -l)" -gt 0 ] || fail "no sound was captured"
expect_names "300.wav og.wav 40.wav 7.wav brumber.wav"
check_gaps
close_window

echo "-- verses 99 to 101, one after another"
start_program
type_box start 99
type_box end 101
click play
wait_for_sounds 9
expect_names "90.wav 9.wav brumber.wav 100.wav brumber.wav 100.wav og.wav 1.wav brumbe.wav"
close_window

echo "-- stop cuts the clip that plays and ends the run"
# The verse's clips are started from one tick, which waits for each clip before the next: the
# click is handled once the verse's last clip has started, and cuts that clip.
make_tagged_clips 0.08 brumbe=2
start_program
type_box start 1
type_box end 5
click play
wait_for_sounds 1  # 1.wav has played, and brumbe.wav plays now
click stop
sleep 1.5
expect_names "1.wav brumbe.wav"
played | awk '$1 == "brumbe.wav" && $3 > 1000 { print "brumbe.wav played " $3 " ms"; exit 1 }' ||
  fail "stop did not cut the clip"
close_window

echo "-- closing the window while a clip plays cuts it"
start_program
click play # verse 1
wait_for_sounds 1
close_window
played | awk '$1 == "brumbe.wav" && $3 > 1000 { print "brumbe.wav played " $3 " ms of 2000"; exit 1 }' ||
  fail "closing the window did not cut the clip"

echo "PASS"
