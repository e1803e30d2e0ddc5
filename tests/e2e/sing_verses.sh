#!/usr/bin/env bash
# The real program under Xvfb: verses typed into the boxes and sung on "Spill vers!", the clips
# in the right order with a silence clip's length between them; "Stop" cuts the sound.
source "$(dirname "$0")/lib.sh"

echo "-- verse 347 alone"
make_tagged_clips 0.08
start_program
type_box start 347
type_box end 347
click play
wait_for_sounds 5
expect_names "300.wav og.wav 40.wav 7.wav brumber.wav"
# Between two clips of a verse the silence clip plays once: 100 ms and a few ms of hand-over.
played | awk 'NR > 1 && ($4 < 95 || $4 > 130) { bad = 1; print "gap of " $4 " ms before " $1 }
              END { exit bad }' || fail "gaps between clips are not the silence clip's length"
close_window

echo "-- verses 99 to 101, one after another"
rm -f "$WORK/played.raw"
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
rm -f "$WORK/played.raw"
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

echo "PASS"
