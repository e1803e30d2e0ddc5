# Shared steps of the end-to-end tests: a copy of the real program beside clips made for the test,
# run under Xvfb with SDL's disk driver writing everything it plays to a file, and driven with
# xdotool as a person would. Sourced by the test scripts, which set:
#   BIN    folder of the built program (brumbesang)
#   TOOLS  folder of clipscan and xclose
set -euo pipefail

# For a sanitizer build: the leaks that libraries keep by design, each explained in the file.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

WORK=$(mktemp -d)
trap 'e2e_cleanup' EXIT
PID=""
WIN=""

e2e_cleanup() {
  [ -n "$PID" ] && kill "$PID" 2>/dev/null || true
  rm -rf "$WORK"
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The 39 word clips, each a square wave at a level of its own that clipscan can name, lasting
# $1 seconds (0.08 by default; "name=seconds" pairs after it give single clips other lengths),
# and the real 100 ms silence clip.
make_tagged_clips() {
  local seconds=${1:-0.08}
  shift || true
  local names="og brumbe brumber" level=1000 n
  for n in $(seq 1 20) 30 40 50 60 70 80 90 $(seq 100 100 900); do names="$names $n"; done
  : >"$WORK/tags"
  for n in $names; do
    local len=$seconds pair
    for pair in "$@"; do [ "${pair%%=*}" = "$n" ] && len=${pair#*=}; done
    sox -D -n -r 22050 -c 1 -b 16 "$WORK/$n.wav" synth "$len" square 50 vol "$(awk -v l="$level" 'BEGIN { print l / 32767 }')"
    echo "$n.wav $level" >>"$WORK/tags"
    level=$((level + 650))
  done
  sox -D -n -r 22050 -c 1 -b 16 "$WORK/silence.wav" trim 0 0.1
}

# Starts the program from the test's folder, so it finds the test's clips beside it. Its sound
# is written to $WORK/played.raw by SDL's disk driver, unless arguments give other settings for
# `env` to start it with. RUNNER, when set, is a command to run it under (valgrind). What it
# writes to stderr is also kept in $WORK/stderr.
start_program() {
  cp "$BIN/brumbesang" "$WORK/brumbesang"
  [ $# -gt 0 ] || set -- SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/played.raw"
  # shellcheck disable=SC2086
  env "$@" ${RUNNER:-} "$WORK/brumbesang" 2> >(tee "$WORK/stderr" >&2) &
  PID=$!
  WIN=$(timeout 20 xdotool search --sync --onlyvisible --name '^Syng en brumbesang!$' | head -n 1)
  [ -n "$WIN" ] || fail "the window did not open"
}

# Window-relative centres of the controls.
declare -A AT=([start]="68 41" [end]="68 81" [play]="188 44" [stop]="188 84")

click() {
  # shellcheck disable=SC2086
  xdotool mousemove --window "$WIN" ${AT[$1]} click 1 2>/dev/null
}

# Replaces the text of box $1 (start or end) with $2, typed key by key over the selected text.
type_box() {
  click "$1"
  xdotool key --window "$WIN" ctrl+a 2>/dev/null
  if [ -z "$2" ]; then
    xdotool key --window "$WIN" BackSpace 2>/dev/null
  else
    xdotool type --window "$WIN" --delay 30 "$2" 2>/dev/null
  fi
}

# The text of box $1, read as a person would copy it: select all, copy, read the clipboard.
box_text() {
  click "$1"
  xdotool key --window "$WIN" ctrl+a ctrl+c 2>/dev/null
  sleep 0.2
  xclip -selection clipboard -o 2>/dev/null || true
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
  sleep 0.5
}

close_window() {
  "$TOOLS/xclose" "$WIN"
  local i
  for i in $(seq 1 50); do
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$PID" 2>/dev/null && fail "the program did not end when its window was closed"
  local status=0
  wait "$PID" || status=$?
  PID=""
  [ "$status" -eq 0 ] || fail "the program ended with status $status"
  ! grep -s -q -E 'Sanitizer|runtime error' "$WORK/stderr" || fail "a sanitizer reported an error"
}

# Checks that the names of the sounds played are exactly $1 (space-separated).
expect_names() {
  local got
  got=$(played | awk '{print $1}' | tr '\n' ' ' | sed 's/ $//')
  [ "$got" = "$1" ] || fail "played: [$got]; expected: [$1]"
}
