# Steps that the end-to-end tests of both programs share: the Linux one (lib.sh beside this file)
# and the Windows one under Wine (../wine/lib.sh). Each test runs a copy of the real program
# beside clips made for it, each clip a square wave at a level of its own, and names what the
# program played with clipscan. Sourced by those two files, which start the program and drive
# its controls in their own ways; TOOLS is the folder of clipscan, xclose and opens.
set -euo pipefail

WORK=$(mktemp -d)
LOG="$WORK/program.log"  # what the program wrote to stderr
PID=""
WIN=""
WATCH=""

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$LOG" ]; then
    echo "-- the program's output:" >&2
    tail -n 20 "$LOG" >&2
  fi
  exit 1
}

# Stops the background job whose process id is in the variable named $1, and empties it.
stop_job() {
  local -n job=$1
  if [ -n "$job" ]; then
    kill "$job" 2>/dev/null || true
    wait "$job" 2>/dev/null || true
    job=""
  fi
}

# Writes down when a file in the test's folder is opened, from now on, into $WORK/opens (see
# opens.cpp): the program opens a clip's file each time it plays that clip.
start_watching() {
  stop_watching
  "$TOOLS/opens" "$WORK" >"$WORK/opens" &
  WATCH=$!
}

stop_watching() { stop_job WATCH; }

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

# What has been played so far: one "name start_ms length_ms gap_ms level flatness" line per sound.
played() {
  "$TOOLS/clipscan" "$WORK/tags" "$WORK/played.raw"
}

# Waits until $1 sounds have been played, then SETTLE seconds longer to see whether more follow.
wait_for_sounds() {
  local want=$1 i
  for i in $(seq 1 200); do
    [ "$(played | wc -l)" -ge "$want" ] && break
    sleep 0.1
  done
  sleep "${SETTLE:-0.5}"
}

# Checks that the names of the sounds played are exactly $1 (space-separated).
expect_names() {
  local got
  got=$(played | awk '{print $1}' | tr '\n' ' ' | sed 's/ $//')
  if [ "$got" != "$1" ]; then
    echo "-- what was played (name start_ms length_ms gap_ms level flatness):" >&2
    played >&2
    fail "played: [$got]; expected: [$1]"
  fi
}

# Checks that box $1 (start or end) reads $2; $3 says after what.
expect_box() {
  local got
  got=$(box_text "$1")
  [ "$got" = "$2" ] || fail "$3: the $1 box reads [$got], expected [$2]"
}

# Closes the window as a window manager's close button does, and checks that the program ends
# within CLOSE_WAIT seconds (10 by default), with status 0 and no sanitizer report.
close_window() {
  "$TOOLS/xclose" "$WIN"
  local i
  for i in $(seq 1 $((${CLOSE_WAIT:-10} * 10))); do
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$PID" 2>/dev/null && fail "the program did not end when its window was closed"
  local status=0
  wait "$PID" || status=$?
  PID=""
  [ "$status" -eq 0 ] || fail "the program ended with status $status, expected 0"
  ! grep -s -q -E 'Sanitizer|runtime error' "$LOG" || fail "a sanitizer reported an error"
}
