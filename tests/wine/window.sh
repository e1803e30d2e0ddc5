#!/usr/bin/env bash
# The window as Windows sees it: client area and controls placed from the layout at the system's
# DPI, the captions (with "å"), the focus on "Spill vers!" when the window opens, Tab going round
# the controls in tab order with the focused button drawn as the default, and Enter pressing the
# focused button. With SCREENSHOT set, a picture of the window at 96 dpi is saved there.
source "$(dirname "$0")/lib.sh"

# The layout at 96 dpi, in tab order: class|text|left top width height|flags.
LAYOUT=(
  "Button|Spill vers!|136 32 105 25|tabstop"
  "Button|Stop|136 72 105 25|tabstop"
  "Edit|1|16 32 105 19|tabstop"
  "Edit|1|16 72 105 19|tabstop"
  "Static|Starte på vers nr.:|16 16 105 17|-"
  "Static|Avslutte på vers nr.:|16 56 105 17|-"
)

# Pixels at 96 dpi scaled to $1 dpi, rounded as MulDiv rounds.
scale() {
  local dpi=$1
  shift
  awk -v dpi="$dpi" '{ for (i = 1; i <= NF; i++) printf "%s%d", (i > 1 ? " " : ""), int(($i * dpi + 48) / 96) }' <<<"$*"
}

# Compares the window's client area and controls with the layout scaled to $1 dpi.
check_layout() {
  local dpi=$1 got want
  got=$(awk -F'\t' '$1 == "client" { print $2, $3, $4 }' "$WORK/window.txt")
  want="$(scale "$dpi" 257 114) $dpi"
  [ "$got" = "$want" ] || fail "client area and dpi are [$got], expected [$want]"
  got=$(grep -c '^control' "$WORK/window.txt")
  [ "$got" = "${#LAYOUT[@]}" ] || fail "the window has $got controls, expected ${#LAYOUT[@]}"
  local i class text rect flags
  for i in "${!LAYOUT[@]}"; do
    IFS='|' read -r class text rect flags <<<"${LAYOUT[$i]}"
    want="$class|$text|$(scale "$dpi" $rect)|$flags"
    got=$(awk -F'\t' -v row=$((i + 1)) '$1 == "control" && ++n == row {
            sub(/,?(default|focus)/, "", $8); sub(/,?(default|focus)/, "", $8)
            print $2 "|" $3 "|" $4 " " $5 " " $6 " " $7 "|" ($8 == "" ? "-" : $8) }' "$WORK/window.txt")
    [ "$got" = "$want" ] || fail "control $((i + 1)) in tab order at $dpi dpi is [$got], expected [$want]"
  done
}

expect_focus() {
  local got
  got=$(focused)
  [ "$got" = "$1" ] || fail "$2: the focus is on [$got], expected [$1]"
}

make_tagged_clips 0.08

echo "-- layout at 96 dpi, focus when the window opens"
start_program
check_layout 96
expect_focus "play default" "when the window opens"
if [ -n "${SCREENSHOT:-}" ]; then
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$SCREENSHOT"
  echo "   window picture: $SCREENSHOT"
fi

echo "-- Tab and Shift+Tab go round the controls in tab order"
for want in "stop default" "start" "end" "play default"; do
  xdotool key Tab
  expect_focus "$want" "after Tab"
done
xdotool key shift+Tab
expect_focus "end" "after Shift+Tab from the play button"

echo "-- Enter presses the focused button, and nothing in a box"
type_box start 5
xdotool key Return
sleep 1.5
[ "$(played | wc -l)" -eq 0 ] || fail "Enter in the start box sang: $(played | awk '{print $1}' | xargs)"
xdotool key Tab Tab
expect_focus "play default" "after Tab, Tab from the start box"
xdotool key Return
wait_for_sounds 2
expect_names "5.wav brumber.wav"
close_window

echo "-- layout at 144 dpi"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
start_program
check_layout 144
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
close_window

echo "PASS"
