#!/usr/bin/env bash
# The real program in a real window, driven as a person would (tools/desktop.sh), its sound
# recorded from the sound server of tools/sandbox.sh, under which it runs. The same steps for
# both front ends; the program runs from a folder of clips made for the test, whose name has a
# space and letters that no ANSI code page of Windows holds all at once (Wine's is cp1252 in the
# C locale):
#   scenario.sh PROGRAM [RUNNER...]      e.g. build/brumbesang, or brumbesang.exe wine
# Under Wine, CHILDREN names the Windows build's children.exe (see tests/windows/children.cpp), which
# lists the window's children with their places, after telling the window of the DPIs it is given.
set -euo pipefail
source "$(dirname "$0")/../../tools/desktop.sh" && names=(/usr/bin/python3 "$(dirname "$0")/names.py")

dir="$work/Łódź мир 歌 x" && mkdir "$dir" && test_clips "$dir" && cp "$1" "$dir/"
[ "${2:-}" != wine ] || wine_prefix
start "$dir/$(basename "$1")" "${@:2}"

# Plays verse 1 with the focused play button, then stops it with the button after it: its first
# clip, $1, is heard, then brumbe.wav, cut.
play_and_stop() {
  xdotool key space && wait_for 2 && xdotool key Tab space && expect_sounds "$1 brumbe.wav" && expect_cut stop; }
# Checks that box $1 reads $2, copied from it as a person would (a box is never empty) into $text.
expect_box() {
  click "$1" && xclip -selection clipboard </dev/null && xdotool key End shift+Home ctrl+c && poll 10 \
    'text=$(xclip -selection clipboard -o) && [ -n "$text" ]' && [ "$text" = "$2" ] ||
    fail "the $1 box reads [${text:-}], expected [$2]$(kill -0 "$program" 2>/dev/null || echo ': the program ended')"; }

# Keeps the window's picture, the pointer away from it, as $work/$1.ppm, once it is the same as the
# picture $2 (or, with no $2, as one taken half a second later: the window drawn); false if never.
shot() { xdotool mousemove 639 479 && poll 10 "import -window $window $work/$1.ppm && sleep 0.5 &&
  import -window $window $work/now.ppm && cmp -s $work/${2:-now}.ppm $work/$1.ppm"; }
# Every caption whole: the longer label's text reaches further, and short of the edge.
# How far right, in px, the ink of the label in rectangle $1 reaches in the window's picture.
ink() { convert "$work/96.ppm" -crop "$1" +repage -trim -format '%[fx:page.x + w]' info:; }
poll 10 'shot 96 && [ "$(ink 105x16+16+16)" -gt 1 ]' || fail "the window was not drawn"
[ "$(ink 105x16+16+56)" -gt "$(ink 105x16+16+16)" ] && [ "$(ink 105x16+16+56)" -lt 105 ] ||
  fail "a label's caption is cut: it reaches $(ink 105x16+16+16) and $(ink 105x16+16+56) px of 105"

# What a screen reader finds. Linux: each button named by its caption and each box by its label,
# in the accessibility tree. Wine, whose MSAA names nothing: the window's children in order, each
# label right before the box it names; each where the layout puts it, in the 257 x 114 pixels.
if [ "${2:-}" = wine ]; then
  got=$(wine "$CHILDREN") want="Button Spill vers! 136,32 105x25|Button Stop 136,72 105x25|\
Static Starte på vers nr.: 16,16 105x17|Edit 1 16,32 105x19|Static Avslutte på vers nr.: 16,56 105x17|Edit 1 16,72 105x19|0"
else
  got=$("${names[@]}") want="push button: Spill vers!|push button: \
Stop|text: Starte på vers nr.:|text: Avslutte på vers nr.:"
fi
[ "$got" = "$want" ] || fail "a screen reader finds [$got], expected [$want]"

# The play button has the focus, then Tab goes to stop, the start box and the end box. Escape
# leaves the window open, as a dialog with no cancel button (were it closed, no box could be read).
play_and_stop 1.wav
xdotool key Tab End shift+Home type 4
xdotool key Escape Tab End shift+Home type 6
expect_box start 4 && expect_box end 6

# The box rules, typed: the end box follows each key in the start box, and at most 999. A click
# into a box past its text (away from the box's last click, lest it make a double click) puts the
# cursor there and selects nothing.
type_box start 1 && expect_box end 1
xdotool mousemove --window "$window" 110 41 click 1 type 2 && expect_box end 12
type_box end 1500 && expect_box end 999 && expect_box start 12

# Verses 99 to 100.
type_box start 99 && type_box end 100 && click play
expect_sounds "1.wav brumbe.wav 90.wav 9.wav brumber.wav 100.wav brumber.wav"

# Closing the window while a clip plays cuts it and ends the program.
type_box start 1 && click play && wait_for 9
close || fail "the program did not end, or not with status 0"
expect_cut closing

# Started again on a screen of twice the dots per inch (Linux: Xft.dpi) or 1.5 times (Windows:
# LogPixels), the window is the layout's 257 x 114 pixels scaled. Under Wine, a missing clip plays
# the system's default sound, here default.wav: Wine 8 finds it as win.ini's [Sounds] Default,
# which is this registry key (under HKCU\AppEvents it looks for the missing clip's name instead),
# kept in a folder of a plain name, as the system's own sounds are. And the Windows program runs as
# on a Windows before 10 version 1903, which ignores the manifest's UTF-8 code page (a copy whose
# manifest names it no more): Wine's ANSI code page lacks the folder's letters, and the clips are
# found by the folder's short (8.3) name.
if [ "${2:-}" = wine ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f
  wine reg add 'HKCU\Control Panel\Sounds' /v Default /d "$(winepath -w "$work/default.wav")" /f
  LC_ALL=C sed -i 's/activeCodePage/activeCodePag_/g' "$dir/$(basename "$1")"
  rm "$dir/1.wav" && mv "$dir/default.wav" "$work" && first=default.wav size=386x171
else
  xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER 'Xft.dpi: 192' && first=1.wav size=514x228
fi >/dev/null
start "$dir/$(basename "$1")" "${@:2}"
got=$(xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p')
[ "$got" = "$size" ] || fail "the window is $got, not $size"
# Windows: the window told of a screen of 96 dpi, as Windows tells a window moved to one (Wine, whose
# screens all have the system's DPI, never does), is as the window started at 96 dpi was, its
# children in place, pixel for pixel. Told then of 144 and 96 dpi in turn, eleven times, back at
# 144 dpi it is as it started, the layout at 1.5 times the size, holding no more fonts than after
# the first change.
at144="Button Spill vers! 204,48 158x38|Button Stop 204,108 158x38|Static Starte på vers nr.: 24,24 158x26|\
Edit 1 24,48 158x29|Static Avslutte på vers nr.: 24,84 158x26|Edit 1 24,108 158x29|0"
[ "${2:-}" != wine ] || { shot 144 && got=$(wine "$CHILDREN" 96) && [ "$got" = "$want" ] && shot told 96 &&
  got=$(wine "$CHILDREN" 144 96 144 96 144 96 144 96 144 96 144) && [ "$got" = "$at144" ] && shot back 144; } ||
  fail "told of a new DPI, the window is [$got], or not drawn as one started at that DPI"
play_and_stop "$first"  # stopped: Wine's sound may stall under load, and split a long clip
[ "${2:-}" != wine ] || exit 0

# Linux: Tab from stop selects the start box's text, once GTK has told a screen reader of the focus
# (its second report of it). Selected before, by GTK's own select-on-focus, Orca read "1" alone.
got=$("${names[@]}" focus xdotool key Tab) && [ "$got" = "state-changed text-selection-changed|1" ] ||
  fail "Tab into the start box: [$got], expected its focus reported, then its text (1) selected"
# The program ends on SIGTERM once it has played sound (SDL is kept from taking the signal).
kill -TERM "$program" && timeout 10 tail -s 0.1 --pid="$program" -f /dev/null || fail "the program did not end on SIGTERM"

# Started again at 96 dpi while the sound server hangs, its first sounds (verse 1) leave the window
# answering: asked for the text it holds on the clipboard, as another program asks, within 1 s,
# again and again for 3 s. Then closing the window ends the program within 1 s.
xprop -root -remove RESOURCE_MANAGER && $SANDBOX_SERVER STOP && start "$dir/$(basename "$1")" &&
  expect_box start 1 && click play && ! poll 3 '! timeout 1 xclip -selection clipboard -o >/dev/null' &&
  close 1 || fail "while the sound server hung, the window did not answer within 1 s, or the \
program did not end within 1 s of its closing"
$SANDBOX_SERVER CONT
