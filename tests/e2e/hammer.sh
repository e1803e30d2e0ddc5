#!/usr/bin/env bash
# A child at the keyboard: play and stop clicked alternately 200 times, in bursts as fast as
# xdotool can and in bursts that let a verse begin first, random text typed into both boxes
# between the bursts, then the window closed in the middle of a verse. The window keeps answering, the program ends cleanly, and it never plays two sounds
# at once: every sound captured is one clip at its own level, whole or cut, never a mix.
source "$(dirname "$0")/lib.sh"
export LC_ALL=C.UTF-8  # for the "å" among the random text

# Random text, mostly digits, with signs, separators, spaces and letters among them.
random_text() {
  local chars="01234567890123456789012345678901234567890123456789 +-,.abå" text="" i
  for ((i = RANDOM % 6; i > 0; i--)); do text+=${chars:RANDOM % ${#chars}:1}; done
  echo "$text"
}

# Selects all of box $1 and types $2 over it at full speed.
scribble() {
  click "$1"
  xdotool key --window "$WIN" ctrl+a type --window "$WIN" --delay 0 -- "$2" 2>/dev/null
}

make_tagged_clips 0.08
start_program

echo "-- 200 clicks on play and stop, and random text in both boxes"
for round in $(seq 1 10); do
  start=$(random_text) end=$(random_text)
  echo "round $round: start [$start], end [$end]"
  scribble start "$start"
  scribble end "$end"
  burst=()
  for _ in $(seq 1 10); do
    burst+=(mousemove --window "$WIN" ${AT[play]} click 1)
    # Every other round, up to a quarter of a second for a verse to start before stop.
    ((round % 2)) || burst+=(sleep "$(printf '0.%02d' $((RANDOM % 25)))")
    burst+=(mousemove --window "$WIN" ${AT[stop]} click 1)
  done
  xdotool "${burst[@]}" 2>/dev/null
done

echo "-- the window still answers"
# The clicks queued up: each stop plays the 100 ms silence clip and each verse holds the window
# until its last clip starts. Once the window has worked through them, it takes typing again.
type_box start 347
for _ in $(seq 1 60); do
  text=$(box_text start)
  [ "$text" = 347 ] && break
  sleep 0.5
done
[ "$text" = 347 ] || fail "the start box reads [$text] 30 s after typing 347 into it"

echo "-- closing the window in the middle of verse 347"
type_box end 999
n=$(played | wc -l)
click play
wait_for_sounds "$((n + 1))"
close_window
played | awk '!n++ || $6 < least { least = $6 } END { print NR " sounds played, the least flat " least " %" }'

# Every sound is a clip named by its level, and flat: two clips mixed or run together are not.
played | awk '$1 !~ /\.wav$/ || $6 < 80 {
    bad = 1; printf "sound at %s ms: %s, level %s, %s %% flat\n", $2, $1, $5, $6 }
  END { exit bad }' || fail "a sound was no single clip"
echo "PASS"
