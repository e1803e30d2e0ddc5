#!/usr/bin/env bash
# How long the program's window keeps a desktop waiting while the sound server misbehaves. A ping
# client (bench/ping.c) sends the window the window manager's _NET_WM_PING every 10 ms, from just
# before play is pressed, and prints the longest any ping waited for its answer, and when that
# ping was sent: GNOME calls a window "not responding" when it does not answer in 5 s. The cases,
# each under tools/sandbox.sh:
#   a. a plain run of verses 45 to 47 (the window is busy for up to about 1.3 s of each verse:
#      each tick waits for the verse's earlier clips);
#   b. the server hung (SIGSTOP) before the first sound, for 10 s;
#   c. the server hung for 8 s, 2 s after the first sound of a run of 45 to 60;
#   d. the server killed 2 s after the first sound, and started again a second later;
#   e. the server started 3 s after play is pressed;
#   f. no server at all.
# After each, the window is closed, and how long the program takes to end is printed (c and d close
# it mid-run, as the second run of a does; b and c also close it while the server hangs). First,
# as a check of the ping client itself, the program is stopped (SIGSTOP) for 1 s with no sound:
# the wait should be about 1000 ms.
#
#   bash bench/hang.sh          BIN=/work/old/build/brumbesang bash bench/hang.sh
#   SANDBOX_SOUND=pipewire bash bench/hang.sh
#
# BIN is the program (build/brumbesang by default), with its clips beside it. Needs libx11-dev and
# the packages the tests use. Prints the figures; it checks nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=$(realpath "${BIN:-build/brumbesang}")
[ -n "${PULSE_SERVER:-}" ] || exec bash tools/sandbox.sh bash "$0" "$@"
TOOLS=$(realpath build/tools)
source tools/desktop.sh
cc -O2 -o "$work/ping" bench/ping.c -lX11
usec() { echo "${EPOCHREALTIME/./}"; }
alive() { [[ $(cat /proc/"$program"/stat 2>/dev/null) =~ \)\ [^Z] ]]; }  # not ended, not a zombie

# play LAST SECONDS: starts the program, types 45 and LAST in its boxes, and presses play, with the
# ping client watching the window for SECONDS from then on.
play() {
  kill "${recorder:-}" 2>/dev/null || true  # a recorder whose server went away has ended
  recorder=
  start "$BIN" 2>/dev/null
  type_box start 45 && type_box end "$1"
  "$work/ping" "$window" "$2" >"$work/wait" &
  ping=$!
  click play
}

# report NAME: once the ping client is done, closes the window and prints the longest wait and how
# long the program took to end (killed if it is still there 5 s after).
report() {
  wait "$ping"
  local t0 ended wait from
  t0=$(usec)
  wmctrl -c 'Syng en brumbesang!' || true
  while alive && (($(usec) - t0 < 5000000)); do sleep 0.01; done
  if alive; then
    ended="still running 5 s after"
    { kill -KILL "$program" && wait "$program"; } 2>/dev/null || true
  else
    ended="ended $((($(usec) - t0) / 1000)) ms after"
  fi
  read -r wait from <"$work/wait"
  printf '  %-52s longest wait %5d ms, at %4.1f s; closed: %s\n' "$1" "$wait" "${from}e-3" "$ended"
}
server() { $SANDBOX_SERVER "$1" >/dev/null; }

echo "== $BIN on $SANDBOX_SOUND (goals: a wait no longer than in a plain run; ends within 1 s)"
start "$BIN" 2>/dev/null
"$work/ping" "$window" 3 >"$work/wait" & ping=$!
sleep 1 && kill -STOP "$program" && sleep 1 && kill -CONT "$program"
report "the program stopped (SIGSTOP) for 1 s, no sound"

play 47 10
report "a. a plain run of verses 45 to 47"
play 47 3
report "a, closed mid-run (as c and d are)"

server STOP
play 47 18
sleep 10 && server CONT
report "b. the server hung for 10 s from before play"
server STOP
play 47 4
report "b, closed while the server hangs"
server CONT

play 60 15
wait_for 1 && sleep 2 && server STOP && sleep 8 && server CONT
report "c. the server hung for 8 s mid-run"
play 60 6
wait_for 1 && sleep 2 && server STOP
report "c, closed while the server hangs"
server CONT

play 60 15
wait_for 1 && sleep 2 && server kill && sleep 1 && server start
report "d. the server restarted mid-run"

server kill
play 47 15
sleep 3 && server start
report "e. the server started 3 s after play"

server kill
play 47 10
report "f. no server"
