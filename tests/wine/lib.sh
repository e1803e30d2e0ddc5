# Shared steps of the Windows program's end-to-end tests: a copy of brumbesang.exe beside clips
# made for the test, run under Wine on Xvfb, its sound captured from the monitor of a PulseAudio
# null sink, and driven with xdotool as a person would. Sourced by the test scripts here;
# scripts/test-windows.sh starts Wine, the display and the sound server and exports:
#   BUILD  the Windows build folder (brumbesang/brumbesang.exe and inspect.exe)
#   TOOLS  folder of the native clipscan, xclose and opens (built from tests/e2e)
#   SINK   the null sink Wine plays to; its monitor is recorded
# Windows' own view of the window (controls, texts, focus) is read with inspect.exe.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/common.sh"

CAPTION='Syng en brumbesang!'
REC=""
SETTLE=0.7     # Wine's sound comes a little later than SDL's
trap 'e2e_cleanup' EXIT

e2e_cleanup() {
  stop_recording
  stop_watching
  stop_job PID
  rm -rf "$WORK"
}

# Records everything the null sink plays, as 16-bit mono samples at 48 kHz: exact zeros while
# nothing plays, since the sink never suspends.
start_recording() {
  stop_recording
  rm -f "$WORK/played.raw"
  parec -d "$SINK.monitor" --format=s16le --rate=48000 --channels=1 --raw --latency-msec=10 \
    >"$WORK/played.raw" &
  REC=$!
}

stop_recording() { stop_job REC; }

# Windows' view of the window, one line per control in tab order (see inspect.cpp); rows:
#   1 play button, 2 stop button, 3 start box, 4 end box, 5 and 6 the labels.
declare -A ROW=([play]=1 [stop]=2 [start]=3 [end]=4 [label1]=5 [label2]=6)
inspect_window() {
  wine "$BUILD/inspect.exe" window "$CAPTION" | tr -d '\r'
}

# Field $2 (tab-separated, as inspect prints it) of control $1.
control_field() {
  inspect_window | awk -F'\t' -v row="${ROW[$1]}" -v f="$2" '$1 == "control" && ++n == row { print $f }'
}

# Starts the program from the test's folder, so it finds the test's clips beside it, records what
# it plays and watches the clips it opens from then on, and reads where its controls are on the
# screen.
start_program() {
  cp "$BUILD/brumbesang/brumbesang.exe" "$WORK/brumbesang.exe"
  : >"$LOG"
  start_recording
  start_watching
  wine "$WORK/brumbesang.exe" >>"$LOG" 2>&1 &
  PID=$!
  WIN=$(timeout 30 xdotool search --sync --onlyvisible --name "^$CAPTION\$" | head -n 1) || true
  [ -n "$WIN" ] || fail "the window did not open"
  inspect_window >"$WORK/window.txt"
  declare -gA AT=()
  local name
  for name in "${!ROW[@]}"; do
    AT[$name]=$(awk -F'\t' -v row="${ROW[$name]}" '$1 == "control" && ++n == row { print $9, $10 }' \
      "$WORK/window.txt")
  done
  # With no window manager, nothing gives the window the keyboard: a click on its client area
  # where there is no control does, and leaves the focus where it is.
  local origin
  origin=$(awk -F'\t' '$1 == "client" { print $5 + $2 - 4, $6 + 4 }' "$WORK/window.txt")
  # shellcheck disable=SC2086
  xdotool mousemove $origin click 1
  sleep 0.2
}

click() {
  # shellcheck disable=SC2086
  xdotool mousemove ${AT[$1]} click 1
}

# Presses keys ($@), or types text ($1) key by key, in the window, which has the keyboard.
keys() { xdotool key "$@"; }
type_keys() { xdotool type --delay 30 "$1"; }

# The keyboard (focus, Tab, Enter) is tested in window.sh, through Windows' own view of it.
KEYBOARD_TESTED_ELSEWHERE=1

# Replaces the text of box $1 (start or end) with $2, typed key by key over the selected text.
type_box() {
  click "$1"
  keys End shift+Home
  if [ -z "$2" ]; then keys BackSpace; else type_keys "$2"; fi
  sleep 0.2
}

box_text() {
  control_field "$1" 3
}

# The name (play, stop, start, end) of the control with the keyboard focus, "default" appended
# when it is drawn as the default button.
focused() {
  inspect_window | awk -F'\t' '$1 == "control" { n++ }
    $1 == "control" && $8 ~ /focus/ {
      split("play stop start end label1 label2", names, " ")
      print names[n] ($8 ~ /default/ ? " default" : "")
    }'
}

# Between two clips of a verse the silence clip plays once, so no pause is shorter than it. How
# much longer a pause is belongs to Wine: its sndPlaySound opens a new output stream on the sound
# server for every sound, which adds 30-60 ms, and when Wine's threads are late on a busy machine,
# 100-300 ms more. So that the silence clip played once is told from twice without timing it,
# the clip files are watched as they are opened: Wine opens a clip's file each time it plays it.
# When Wine is late, its stream also runs dry for 10-30 ms inside a clip. Such a hole is not a
# pause between two sounds, which the silence clip makes at least 100 ms long.
export CLIPSCAN_JOIN_MS=60

check_gaps() {
  local gaps
  gaps=$(played | awk 'NR > 1 { print $4 }' | sort -n)
  echo "   pauses between clips: $(echo $gaps) ms"
  awk '$1 < 95 { print "a pause of " $1 " ms, expected at least 100"; exit 1 }' <<<"$gaps" ||
    fail "a clip started before the silence clip had played"
  awk '$2 == "silence.wav" { silences++ }
    $2 ~ /\.wav$/ && $2 != "silence.wav" {
      if (clips++ && silences != 1) { print silences " silence clips before " $2; bad = 1 }
      silences = 0
    }
    END { exit bad }' "$WORK/opens" || fail "the silence clip was not played once between two clips"
}
