#!/usr/bin/env bash
# The verse boxes of the Windows program under Wine, typed into with xdotool and read back from
# the real EDIT controls. Win32 reports the program's own writes to a box as changes too, so every
# rule here also runs through the nested change events.
source "$(dirname "$0")/lib.sh"

make_tagged_clips 0.08
start_program

echo "-- typing 12 into the start box, one digit at a time"
type_box end 30
click start
xdotool key End shift+Home
xdotool type 1
expect_box end 1 "after 1"
xdotool type 2
expect_box end 12 "after 12"
expect_box start 12 "after 12"

echo "-- deleting the last character of a box"
type_box start 5
click start
xdotool key End BackSpace
expect_box start 1 "after deleting 5 in the start box"
expect_box end 1 "after deleting 5 in the start box"
type_box end 7
click end
xdotool key End BackSpace
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
click play # no verse number: nothing is sung
sleep 1
[ "$(played | wc -l)" -eq 0 ] || fail "play sang with abc in the start box: $(played | awk '{print $1}' | xargs)"

close_window
echo "PASS"
