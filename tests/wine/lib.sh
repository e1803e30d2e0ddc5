# Shared steps of the Windows program's end-to-end tests: a copy of brumbesang.exe beside clips
# made for the test, run under Wine on Xvfb, its sound captured from the monitor of a PulseAudio
# null sink, and driven with xdotool as a person would. Sourced by the test scripts here;
# scripts/test-windows.sh starts Wine, the display and the sound server and exports:
#   BUILD  the Windows build folder (brumbesang/brumbesang.exe and inspect.exe)
#   TOOLS  folder of the native clipscan and xclose (built from tests/e2e)
#   SINK   the null sink Wine plays to; its monitor is recorded
# Windows' own view of the window (controls, texts, focus) is read with inspect.exe.
set -euo pipefail

CAPTION='Syng en brumbesang!'
WORK=$(mktemp -d)
PID=""
REC=""
WIN=""
trap 'e2e_cleanup' EXIT

e2e_cleanup() {
  stop_recording
  if [ -n "$PID" ]; then
    kill "$PID" 2>/dev/null || true
    wait "$PID" 2>/dev/null || true
  fi
  rm -rf "$WORK"
}

fail() {
  echo "FAIL: $*" >&2
  [ -s "$WORK/wine.log" ] && { echo "-- the program's output:" >&2; tail -n 20 "$WORK/wine.log" >&2; }
  exit 1
}

# The 39 word clips, each a square wave at a level of its own that clipscan can name, lasting
# $1 seconds (0.08 by default; "name=seconds" pairs after it give single clips other lengths),
# and a 100 ms silence clip of exact zeros, as the real one is.
make_tagged_clips() {
  local seconds=${1:-0.08}
  shift || true
  local names="og brumbe brumber" level=1000 n
  for n in $(seq 1 20) 30 40 50 60 70 80 90 $(seq 100 100 900); do names="$names $n"; done
  : >"$WORK/tags"
  for n in $names; do
    local len=$seconds pair
    for pair in "$@"; do [ "${pair%%=*}" = "$n" ] && len=${pair#*=}; done
    sox -D -n -r 22050 -c 1 -b 16 "$WORK/$n.wav" synth "$len" square 50 \
      vol "$(awk -v l="$level" 'BEGIN { print l / 32767 }')"
    echo "$n.wav $level" >>"$WORK/tags"
    level=$((level + 650))
  done
  sox -D -n -r 22050 -c 1 -b 16 "$WORK/silence.wav" trim 0 0.1
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

stop_recording() {
  if [ -n "$REC" ]; then
    kill "$REC" 2>/dev/null || true
    wait "$REC" 2>/dev/null || true
    REC=""
  fi
}

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
# it plays from then on, and reads where its controls are on the screen.
start_program() {
  cp "$BUILD/brumbesang/brumbesang.exe" "$WORK/brumbesang.exe"
  : >"$WORK/wine.log"
  start_recording
  wine "$WORK/brumbesang.exe" >>"$WORK/wine.log" 2>&1 &
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

# Replaces the text of box $1 (start or end) with $2, typed key by key over the selected text.
type_box() {
  click "$1"
  xdotool key End shift+Home
  if [ -z "$2" ]; then
    xdotool key BackSpace
  else
    xdotool type --delay 30 "$2"
  fi
  sleep 0.2
}

box_text() {
  control_field "$1" 3
}

expect_box() {
  local got
  got=$(box_text "$1")
  [ "$got" = "$2" ] || fail "$3: the $1 box reads [$got], expected [$2]"
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

# What has been played so far: one "name start_ms length_ms gap_ms level" line per sound.
played() {
  "$TOOLS/clipscan" "$WORK/tags" "$WORK/played.raw"
}

# Waits until $1 sounds have been played, then a little longer to see whether more follow.
wait_for_sounds() {
  local want=$1 i
  for i in $(seq 1 200); do
    [ "$(played | wc -l)" -ge "$want" ] && break
    sleep 0.1
  done
  sleep 0.7
}

# Checks that the names of the sounds played are exactly $1 (space-separated).
expect_names() {
  local got
  got=$(played | awk '{print $1}' | tr '\n' ' ' | sed 's/ $//')
  [ "$got" = "$1" ] || fail "played: [$got]; expected: [$1]"
}

# Closes the window as a window manager's close button does, and checks that the program ends,
# with status 0.
close_window() {
  "$TOOLS/xclose" "$WIN"
  local i
  for i in $(seq 1 100); do
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$PID" 2>/dev/null && fail "the program did not end within 10 s of its window closing"
  local status=0
  wait "$PID" || status=$?
  PID=""
  [ "$status" -eq 0 ] || fail "the program ended with status $status, expected 0"
}
