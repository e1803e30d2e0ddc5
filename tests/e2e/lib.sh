# Shared steps of the end-to-end tests: a copy of the real program beside clips made for the test,
# run under Xvfb with SDL's disk driver writing everything it plays to a file, and driven with
# xdotool as a person would. Sourced by the test scripts, which set:
#   BIN    folder of the built program (brumbesang)
#   TOOLS  folder of clipscan, xclose and opens
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# For a sanitizer build: the leaks that libraries keep by design, each explained in the file.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

trap 'e2e_cleanup' EXIT

e2e_cleanup() {
  stop_watching
  stop_job PID
  rm -rf "$WORK"
}

# Starts the program from the test's folder, so it finds the test's clips beside it. Its sound
# is written to $WORK/played.raw by SDL's disk driver, unless arguments give other settings for
# `env` to start it with. RUNNER, when set, is a command to run it under (valgrind). What it
# writes to stderr is also kept in $LOG.
start_program() {
  cp "$BIN/brumbesang" "$WORK/brumbesang"
  rm -f "$WORK/played.raw"
  [ $# -gt 0 ] || set -- SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/played.raw"
  # shellcheck disable=SC2086
  env "$@" ${RUNNER:-} "$WORK/brumbesang" 2> >(tee "$LOG" >&2) &
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

# Presses keys ($@), or types text ($1) key by key, in the window.
keys() { xdotool key --window "$WIN" "$@" 2>/dev/null; }
type_keys() { xdotool type --window "$WIN" --delay 30 "$1" 2>/dev/null; }

# Replaces the text of box $1 (start or end) with $2, typed key by key over the selected text.
type_box() {
  click "$1"
  keys ctrl+a
  if [ -z "$2" ]; then keys BackSpace; else type_keys "$2"; fi
}

# The text of box $1, read as a person would copy it: select all, copy, read the clipboard.
box_text() {
  click "$1"
  keys ctrl+a ctrl+c
  sleep 0.2
  xclip -selection clipboard -o 2>/dev/null || true
}

# Between two clips of a verse the silence clip plays once: 100 ms and a few ms of hand-over
# (bench/bench.sh measures how few); two silence clips would make 200.
check_gaps() {
  played | awk 'NR > 1 && ($4 < 95 || $4 > 150) { bad = 1; print "a gap of " $4 " ms before " $1 }
                END { exit bad }' || fail "gaps between clips are not the silence clip's length"
}
