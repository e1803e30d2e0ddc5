#!/usr/bin/env bash
# The verse boxes of the real program, typed into with xdotool and read back: on Linux through
# the clipboard, on Windows (E2E_LIB=tests/wine/lib.sh) from the EDIT controls, where Win32
# reports the program's own writes as changes too and every rule runs through nested events.
source "${E2E_LIB:-$(dirname "$0")/lib.sh}"

make_tagged_clips 0.08
start_program

if [ -z "${KEYBOARD_TESTED_ELSEWHERE:-}" ]; then
  echo "-- the keyboard: focus on the play button, then Tab in the window's order"
  xdotool windowfocus "$WIN" 2>/dev/null
  sleep 0.3
  xdotool key space 2>/dev/null # presses the focused button: play, with 1 in both boxes
  wait_for_sounds 2
  expect_names "1.wav brumbe.wav"
  xdotool key Tab Tab ctrl+a 2>/dev/null && xdotool type 4 2>/dev/null # play -> stop -> start
  xdotool key Tab ctrl+a 2>/dev/null && xdotool type 6 2>/dev/null     # -> end
  expect_box start 4 "after Tab, Tab, 4"
  expect_box end 6 "after Tab, 6"
fi

echo "-- typing 12 into the start box, one digit at a time"
type_box end 30
click start
keys End shift+Home
type_keys 1
expect_box end 1 "after 1"
click start
keys End
type_keys 2
expect_box end 12 "after 12"
expect_box start 12 "after 12"

echo "-- deleting the last character of a box"
type_box start 5
click start
keys End BackSpace
expect_box start 1 "after deleting 5 in the start box"
expect_box end 1 "after deleting 5 in the start box"
type_box end 7
click end
keys End BackSpace
expect_box end 1 "after deleting 7 in the end box"

echo "-- numbers above 999, and text that is no number"
type_box start 4
type_box end 1500
expect_box end 999 "after 1500 in the end box"
expect_box start 4 "after 1500 in the end box"
type_box start 1000
expect_box start 999 "after 1000 in the start box"
expect_box end 999 "after 1000 in the start box"
type_box start 2,5
expect_box start 2,5 "after 2,5 in the start box"
type_box start abc
expect_box end abc "after abc in the start box"
before=$(played | wc -l)
click play # no verse number: nothing is sung
sleep 1
[ "$(played | wc -l)" -eq "$before" ] || fail "play sang with abc in the start box: $(played | awk '{print $1}' | xargs)"

close_window
echo "PASS"
