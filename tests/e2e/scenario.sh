#!/usr/bin/env bash
# The real program in a real window, driven with xdotool as a person would, its sound recorded
# from the sound server of tests/sandbox.sh, under which it runs. The same steps for both front
# ends; the program runs from a folder of clips made for the test:
#   scenario.sh PROGRAM [RUNNER...]      e.g. build/brumbesang, or brumbesang.exe wine
# TOOLS names the folder of clipscan.
set -euo pipefail
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Every word clip a square wave at a level of its own, by which clipscan names it: 80 ms, and
# brumbe.wav 2 s, long enough to be cut. The silence clip is 100 ms of zeros, as the real one.
level=1000
for n in og brumbe brumber $(seq 1 20) 30 40 50 60 70 80 90 $(seq 100 100 900); do
  seconds=0.08
  [ "$n" != brumbe ] || seconds=2
  sox -D -n -r 22050 -c 1 -b 16 "$work/$n.wav" synth $seconds square 50 vol "$(awk "BEGIN { print $level / 32767 }")"
  echo "$n.wav $level" >>"$work/tags"
  level=$((level + 650))
done
sox -D -n -r 22050 -c 1 -b 16 "$work/silence.wav" trim 0 0.1
cp "$1" "$work/"
parec -d capture.monitor --latency-msec=10 --raw --format=s16le --rate=48000 --channels=1 >"$work/played.raw" &
"${@:2}" "$work/$(basename "$1")" &
program=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Syng en brumbesang!$' | head -n 1)

# The sounds played, one "name length_ms pause_ms holes" line each (see clipscan.cpp).
played() { "$TOOLS/clipscan" "$work/tags" "$work/played.raw"; }
# Waits, at most 10 s, until $1 sounds have begun.
wait_for_sounds() {
  for _ in $(seq 100); do [ "$(played | wc -l)" -lt "$1" ] || break; sleep 0.1; done
}
# Checks that the sounds played are $1, once they have, and that no more follow within a second.
expect_sounds() {
  wait_for_sounds "$(wc -w <<<"$1")"
  sleep 1
  [ "$(played | awk '{ print $1 }' | xargs)" = "$1" ] || fail "played [$(played | xargs)], expected [$1]"
}
expect_cut() { played | awk -v clip="$1" '$1 == clip && $2 > 1000 { exit 1 }' || fail "$1 was not cut"; }
declare -A at=([start]="68 41" [end]="68 81" [play]="188 44" [stop]="188 84")
click() { xdotool mousemove --window "$window" ${at[$1]} click 1; }
# Selects the whole text of box $1, then types $2 over it (or deletes it).
type_box() {
  click "$1"
  xdotool key End shift+Home
  if [ -n "$2" ]; then xdotool type --delay 50 "$2"; else xdotool key BackSpace; fi
}
# Checks that box $1 reads $2, copied from it as a person would (a box is never empty).
expect_box() {
  click "$1"
  xclip -selection clipboard </dev/null
  xdotool key End shift+Home ctrl+c
  local text=""
  for _ in $(seq 50); do
    text=$(xclip -selection clipboard -o) && [ -n "$text" ] && break
    sleep 0.1
  done
  [ "$text" = "$2" ] || fail "the $1 box reads [$text], expected [$2]"
}

echo "-- every caption whole: the longer label's text reaches further, and short of the edge"
# How far right, in px, the ink of the label in rectangle $1 reaches, once the window is drawn.
ink() { convert "$work/window.png" -crop "$1" +repage -trim -format '%[fx:page.x + w]' info:; }
for _ in $(seq 50); do
  import -window "$window" "$work/window.png"
  [ "$(ink 105x16+16+16)" -le 1 ] || break
  sleep 0.2
done
[ "$(ink 105x16+16+56)" -gt "$(ink 105x16+16+16)" ] && [ "$(ink 105x16+16+56)" -lt 105 ] ||
  fail "a label's caption is cut: it reaches $(ink 105x16+16+16) and $(ink 105x16+16+56) px of 105"

echo "-- the play button has the focus, then Tab goes to stop, the start box and the end box"
xdotool key space
wait_for_sounds 2 # brumbe.wav has begun
xdotool key Tab space
expect_sounds "1.wav brumbe.wav"
expect_cut brumbe.wav
xdotool key Tab End shift+Home type 4
xdotool key Tab End shift+Home type 6
expect_box start 4
expect_box end 6

echo "-- the box rules, typed: the end box follows each key in the start box, and 1 to 999"
type_box start 1
expect_box end 1
click start
xdotool key End type 2
expect_box end 12
type_box end ""
expect_box end 1
type_box end 1500
expect_box end 999
expect_box start 12

echo "-- verses 99 to 100, and nothing for a start that is no number"
type_box start 99
type_box end 100
click play
expect_sounds "1.wav brumbe.wav 90.wav 9.wav brumber.wav 100.wav brumber.wav"
type_box start abc
click play
expect_sounds "1.wav brumbe.wav 90.wav 9.wav brumber.wav 100.wav brumber.wav"

echo "-- closing the window while a clip plays cuts it and ends the program"
type_box start 1
click play
wait_for_sounds 9
wmctrl -c 'Syng en brumbesang!'
timeout 10 tail --pid="$program" -f /dev/null || fail "the program did not end"
wait "$program" || fail "the program ended with status $?"
expect_cut brumbe.wav
echo "PASS"
