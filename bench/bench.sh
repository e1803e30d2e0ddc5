#!/usr/bin/env bash
# Figures for the real program singing the real clips through a real sound server (the private
# PulseAudio of tools/sandbox.sh, or with SANDBOX_SOUND=pipewire its PipeWire, recorded from its
# null sink), with one processor core kept busy beside it, as on a desktop where something else
# is working:
#   - holes (runs of 1 ms or more of zeros) inside clips, and each pause between two clips of a
#     verse against the 100 ms silence clip;
#   - the processor time the program used per second of singing, steady (from the third second of
#     the run), the part of it that is SDL's audio thread, and beside it the processor time of
#     paplay playing the same clips on the same server, measured the same way;
#   - idle, 3 s after the last sound: processor time and wake-ups per second, and whether the
#     program still holds a stream on the sound server;
#   - with BENCH_WINE=folder-of-brumbesang.exe, the same run of the Windows program under Wine:
#     the processor time of its process (not of Wine's own servers) per second of singing.
#
#   bash bench/bench.sh [FIRST_VERSE] [LAST_VERSE]      (default 21 25: five verses)
#
# Needs the Linux build in build/ (BUILD=folder names another; scripts/test.sh makes it) and the
# packages the tests use. Prints each figure beside its goal; it checks nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
FIRST=${1:-21}
LAST=${2:-25}
BUILD=$(realpath "${BUILD:-build}")
[ -n "${PULSE_SERVER:-}" ] || exec bash tools/sandbox.sh bash "$0" "$@"
# The recorder asks for a long latency, so as not to set the pace of the sound server.
TOOLS=$BUILD/tools LATENCY=200
source tools/desktop.sh
source bench/verses.sh
(while :; do :; done) &  # the busy core
# Processor seconds of the process's threads whose name matches $2 (all by default), to the
# nanosecond.
cpu() {
  for task in /proc/"$1"/task/*; do
    if [[ $(cat "$task/comm" 2>/dev/null) == ${2:-*} ]]; then cat "$task/schedstat" 2>/dev/null; fi
  done | awk '{ ns += $1 } END { printf "%.6f\n", ns / 1e9 }'
}
# Steady processor time of process $1 while it plays: over 6 s from its third second on, past the
# opening of its sound stream and before the end of five verses (about 8.5 s), after which the
# program closes its device, and that thread's time would be lost. Prints "ALL PART" in s/s, PART
# being its threads named $2.
steady() {
  local all part
  sleep 2
  all=$(cpu "$1") part=$(cpu "$1" "${2:-}")
  sleep 6
  awk -v a="$all" -v b="$(cpu "$1")" -v p="$part" -v q="$(cpu "$1" "${2:-}")" \
    'BEGIN { printf "%.4f %.4f\n", (b - a) / 6, (q - p) / 6 }'
}
wakeups() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { n += $2 } END { print n }'; }

# Sings FIRST to LAST in the program run by "$@", and prints the figures of the singing; leaves
# its processor time (see steady) in $singing.
bench() {
  local sounds=-1 n
  start "$@"
  sleep 1
  pid=$(xdotool getwindowpid "$window")  # the program of this display, not another one's
  type_box start "$FIRST"
  type_box end "$LAST"
  click play
  singing=$(steady "$pid" 'SDLAudio*')

  # The run is over once no new sound has come for 3 s.
  while n=$(played | wc -l) && [ "$n" -gt "$sounds" ]; do
    sounds=$n
    sleep 3
  done
  played >"$work/sounds"
  echo "  sounds: $sounds, holes inside them: $(awk '{ n += $4 } END { print n }' "$work/sounds") (goal: 0)"
  # The pauses within a verse are the short ones; between verses come two silence clips and more.
  awk 'NR > 1 { print $3 - 100 }' "$work/sounds" | sort -g | awk '
    NR == 1 || $1 < pause[1] + 80 { pause[NR] = $1 }
    END {
      n = length(pause)
      worst = -pause[1] > pause[n] ? pause[1] : pause[n]
      printf "  pause minus the silence clip, within a verse: median %+.1f ms, worst %+.1f ms" \
        " (%d pauses; goal: median <= 1 ms, worst <= 3 ms)\n", pause[int((n + 1) / 2)], worst, n
    }'
}

echo "== the Linux program, verses $FIRST to $LAST, one core busy beside it, on $SANDBOX_SOUND"
bench "$BUILD/brumbesang"
sleep 3
cpu0=$(cpu "$pid") wake0=$(wakeups "$pid")
sleep 10
awk -v cpu="$(cpu "$pid")" -v cpu0="$cpu0" -v w="$(wakeups "$pid")" -v w0="$wake0" 'BEGIN {
  printf "  idle, from 3 s after the last sound: %.4f s/s of processor time, %.1f wake-ups/s" \
    " (goal: <= 0.002 s/s, <= 20/s)\n", (cpu - cpu0) / 10, (w - w0) / 10 }'
streams=$(pactl list sink-inputs | grep -c "application.process.id = \"$pid\"" || true)
echo "  idle: $streams stream(s) of the program on the sound server (goal: 0)"
wmctrl -c 'Syng en brumbesang!'
wait "$pid" 2>/dev/null || true
# paplay plays the same verses' clips, each followed by the 100 ms silence clip, on the same server
# beside the same busy core and recorder; silence after them makes it last the measurement. It
# plays them twice: with its own buffer (the server's default), and asking for the program's.
files=()
for verse in $(seq "$FIRST" "$LAST"); do
  for clip in $(clips "$verse"); do files+=("$BUILD/$clip.wav" "$BUILD/silence.wav"); done
done
sox "${files[@]}" "$work/verses.wav" pad 0 10
paplay "$work/verses.wav" & paplay=$!
plain=$(steady "$paplay")
kill "$paplay"
paplay --latency-msec=93 "$work/verses.wav" & paplay=$!
short=$(steady "$paplay")
kill "$paplay"
read -r all audio <<<"$singing"
echo "  processor time while singing, from its third second on: $all s/s, of which SDL's audio" \
  "thread $audio s/s (goal: <= 0.005 s/s)"
echo "  beside it, paplay playing the same clips: ${plain% *} s/s with its own buffer," \
  "${short% *} s/s with a 93 ms one"

if [ -n "${BENCH_WINE:-}" ]; then
  echo "== the Windows program under Wine, verses $FIRST to $LAST, one core busy beside it"
  export WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
  wine_prefix
  cp "$BENCH_WINE"/* "$work/"
  bench "$work/brumbesang.exe" wine
  echo "  processor time of its process while singing, from its third second on: ${singing% *} s/s"
  echo "  (goal: processor time of the program's process while singing <= 0.02 s/s; the pauses are"
  echo "  Wine's own: it opens a new stream on the sound server for every sound)"
fi
