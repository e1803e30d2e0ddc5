#!/usr/bin/env bash
# How long the program's window keeps a desktop waiting while the sound server misbehaves. A ping
# client (bench/ping.c) sends the window the window manager's _NET_WM_PING every 10 ms, from just
# before play is pressed, and prints the longest any ping waited for its answer, and when that
# ping was sent: GNOME calls a window "not responding" when it does not answer in 5 s. The cases,
# each under tools/sandbox.sh:
#   a. a plain run of verses 45 to 47 (the window is busy for up to about 1.3 s of each verse:
#      each tick waits for the verse's earlier clips);
#   b. the server hung (SIGSTOP) before the first sound, for 10 s;
#   c. the server hung for 8 s, 2 s after play, in a run of 45 to 60;
#   d. the server killed 2 s after play, and started again a second later;
#   e. the server started 3 s after play is pressed;
#   f. no server at all;
#   g. play pressed right after the server has started;
#   h. play pressed once the sink has been suspended (a second after the last sound).
# After each, the window is closed, and how long the program takes to end is printed. The second
# runs of a, b and c close it 3.5 s after play, while verse 46's last clip plays and the window
# waits for nothing (a close in the middle of a verse waits, as every event does, for the verse's
# earlier clips); b and c close it while the server hangs. For d, g and h, what was heard is
# printed too: how much of the clips was never heard, against the clips' own lengths (for d, of
# the clips after the first one heard once the server is back, as the try may begin in the middle
# of one), and when the first sound was heard, after the click (g, h) or after the server was back
# (d). First, as a check of the ping client itself, the program is stopped (SIGSTOP) for 1 s with
# no sound: the wait should be about 1000 ms.
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
source bench/verses.sh
cc -O2 -o "$work/ping" bench/ping.c -lX11
usec() { echo "${EPOCHREALTIME/./}"; }
alive() { [[ $(cat /proc/"$program"/stat 2>/dev/null) =~ \)\ [^Z] ]]; }  # not ended, not a zombie

# play LAST SECONDS [BEFORE]: starts the program, types 45 and LAST in its boxes, runs BEFORE (a
# command), and presses play, with the ping client watching the window for SECONDS from then on.
play() {
  start "$BIN" 2>/dev/null
  type_box start 45 && type_box end "$1"
  eval "${3:-}"
  "$work/ping" "$window" "$2" >"$work/wait" &
  ping=$!
  clicked=$(usec)
  click play
}

# heard FROM [skip]: once the program's stream has left the server, what the recording started
# last holds, against the clips of verses 45 to 60: the ms of them never heard, and the time from
# FROM (usec) to the first sound heard (when the sound server first played a sample that is not
# zero: a null sink that renders ahead puts a recording's samples ahead of the clock). Without
# skip, all the clips of 45 to 47 are to be heard; with it, the first and the last sound heard are
# left out (the try may begin in the middle of a clip, and closing the window cuts one), and the
# rest are matched to the clips from wherever they begin.
heard() {
  [ "$2" = skip ] || poll 20 "! pactl list sink-inputs | grep -q 'process.id = \"$program\"'" || true
  for v in $(seq 45 60); do for c in $(clips "$v"); do soxi -D "$(dirname "$BIN")/$c.wav"; done; done >"$work/clips"
  played | python3 -c '
import sys
clips = [float(x) * 1000 for x in open(sys.argv[1])]
heard = [float(line.split()[1]) for line in sys.stdin]
if sys.argv[2] == "skip":
    heard = heard[1:-1]
    k = min(range(max(len(clips) - len(heard), 0) + 1),
            key=lambda k: sum(abs(h - c) for h, c in zip(heard, clips[k:])))
    lost = sum(max(c - h, 0) for h, c in zip(heard, clips[k:]))
else:
    lost = max(sum(clips[:9]) - sum(heard), 0)
print(f"; not heard: {lost:.0f} ms of clips; first sound {sys.argv[3]} ms after", end="")
' "$work/clips" "${2:-}" "$( [ -s "$work/first" ] && echo $((($(cat "$work/first") - $1) / 1000)) || echo never)"
}
# recording: records afresh, and writes to $work/first when the first sample that is not zero came.
recording() {
  kill "${first:-}" 2>/dev/null || true
  rm -f "$work/first"
  record && poll 10 "pactl list source-outputs | grep -q 'process.id = \"$recorder\"'"
  python3 -c '
import sys, time
with open(sys.argv[1], "rb") as f:
    while not any(data := f.read(96000)):
        time.sleep(0 if data else 0.002)
print(time.time_ns() // 1000)' "$work/played.raw" >"$work/first" &
  first=$!
}

# report NAME [FROM [skip]]: once the ping client is done, closes the window and prints the longest
# wait and how long the program took to end (killed if it is still there 5 s after); with FROM,
# what was heard first (see heard).
report() {
  wait "$ping"
  [ -z "${2:-}" ] || heard=$(heard "$2" "${3:-}")
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
  printf '  %-52s longest wait %5d ms, at %4.1f s; closed: %s%s\n' "$1" "$wait" "${from}e-3" \
    "$ended" "${heard:-}"
  heard=
}
server() { $SANDBOX_SERVER "$1" >/dev/null; }

echo "== $BIN on $SANDBOX_SOUND (goals: a wait no longer than in a plain run; ends within 1 s)"
start "$BIN" 2>/dev/null
"$work/ping" "$window" 3 >"$work/wait" & ping=$!
sleep 1 && kill -STOP "$program" && sleep 1 && kill -CONT "$program"
report "the program stopped (SIGSTOP) for 1 s, no sound"

play 47 10
report "a. a plain run of verses 45 to 47"
play 47 3.5
report "a, closed mid-run (as b, c and d are)"

server STOP
play 47 18
sleep 10 && server CONT
report "b. the server hung for 10 s from before play"
server STOP
play 47 3.5
report "b, closed while the server hangs"
server CONT

play 60 15
sleep 2 && server STOP && sleep 8 && server CONT
report "c. the server hung for 8 s mid-run"
play 60 3.5
sleep 2 && server STOP
report "c, closed while the server hangs"
server CONT

play 60 15
sleep 2 && server kill && sleep 1 && server start && back=$(usec) && recording
report "d. the server restarted mid-run" "$back" skip

server kill
play 47 15
sleep 3 && server start
report "e. the server started 3 s after play"

server kill
play 47 10
report "f. no server"

server start
play 47 10 'server kill && server start && recording'
report "g. play right after the server has started" "$clicked"

play 47 10 'kill $recorder && poll 10 "pactl list sinks short | grep -q SUSPENDED" && recording'
report "h. play once the sink has been suspended" "$clicked"
