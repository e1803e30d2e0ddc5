#!/usr/bin/env bash
# The Windows program under Wine: verses typed into the boxes and sung on "Spill vers!", the clips
# reaching the sound server in the right order with the silence clip's pause between them; "Stop"
# cuts the sound; closing the window ends the program with status 0.
source "$(dirname "$0")/lib.sh"

# Between two clips of a verse the silence clip plays once, so no pause is shorter than it. Wine's
# sndPlaySound opens a new output stream on the sound server for every sound, which adds a few
# tens of milliseconds to a pause (110-155 ms in all), and now and then, when Wine's threads are
# late, some more (once 206 ms). So the longest pause is not checked, but the middle one: a
# silence clip played twice between clips would put it above 200 ms.
MIN_GAP=95
MAX_MEDIAN_GAP=190

# Checks the pauses between the clips played so far.
check_gaps() {
  local gaps
  gaps=$(played | awk 'NR > 1 { print $4 }' | sort -n)
  echo "   pauses between clips: $(echo $gaps) ms"
  awk -v lo=$MIN_GAP '$1 < lo { print "a pause of " $1 " ms, expected at least " lo; exit 1 }' <<<"$gaps" ||
    fail "a clip started before the silence clip had played"
  awk -v hi=$MAX_MEDIAN_GAP '{ g[NR] = $1 }
    END { m = NR % 2 ? g[(NR + 1) / 2] : (g[NR / 2] + g[NR / 2 + 1]) / 2
          if (m > hi) { print "the middle pause is " m " ms, expected at most " hi; exit 1 } }' <<<"$gaps" ||
    fail "the pauses between clips are longer than one silence clip"
}

echo "-- verse 347 alone"
make_tagged_clips 0.08
start_program
type_box start 347
type_box end 347
click play
wait_for_sounds 5
[ "$(played | wc -l)" -gt 0 ] || fail "no sound reached the null sink $SINK"
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
# The verse's clips are started from one timer tick, which waits for each clip before the next:
# the click is handled once the verse's last clip has started, and cuts that clip.
make_tagged_clips 0.08 brumbe=2
start_program
type_box start 1
type_box end 5
click play
wait_for_sounds 1 # 1.wav has played, and brumbe.wav plays now
click stop
sleep 1.5
expect_names "1.wav brumbe.wav"
played | awk '$1 == "brumbe.wav" && $3 > 1000 { print "brumbe.wav played " $3 " ms of 2000"; exit 1 }' ||
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
