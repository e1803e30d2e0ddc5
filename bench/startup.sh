#!/usr/bin/env bash
# Start-up figures of the Linux program, under tools/sandbox.sh and on a session bus of its own
# (as on a desktop, where GTK finds the accessibility bus through it):
#   - the time from starting the program to its window being mapped: the MapNotify of the window
#     manager's frame around it, as the root window reports it (the program's own MapNotify goes
#     to that frame), the median and the range of seven starts;
#   - the program's peak memory (VmHWM) once its window is shown, the median and the largest of
#     the seven. (The first GTK program on a display takes more: GTK tries OpenGL there, to
#     choose the window's visual, and leaves the answer on the display for the programs after.)
#
#   bash bench/startup.sh [PROGRAM]      (default build/brumbesang)
#
# Needs the packages the tests use, and x11-utils (xev). Prints the figures; it checks nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
PROGRAM=$(realpath "${1:-build/brumbesang}")
[ -n "${PULSE_SERVER:-}" ] || exec bash tools/sandbox.sh bash "$0" "$@"
# The root window's events, as xev prints them.
exec 3< <(stdbuf -oL xev -root -event substructure)
xev=$!
trap 'kill $xev' EXIT
sleep 0.5  # until xev listens

times=() memory=()
for run in 1 2 3 4 5 6 7; do
  start=$(date +%s%N)
  "$PROGRAM" 2>/dev/null &
  program=$!
  while read -r -t 5 line <&3 && [[ $line != MapNotify* ]]; do :; done
  [[ ${line:-} == MapNotify* ]] || { echo "run $run: no window within 5 s" >&2 && exit 1; }
  times+=($((($(date +%s%N) - start) / 1000000)))
  sleep 1
  memory+=($(awk '/^VmHWM/ { print int($2 / 1024) }' /proc/$program/status))
  kill "$program" && wait "$program" 2>/dev/null || true
done
times=($(printf '%s\n' "${times[@]}" | sort -n))
memory=($(printf '%s\n' "${memory[@]}" | sort -n))
echo "$(basename "$PROGRAM"): window mapped after a median of ${times[3]} ms" \
  "(${times[0]}-${times[6]} ms, seven starts), peak memory ${memory[3]} MB (largest ${memory[6]} MB)"
