#!/usr/bin/env bash
# Runs a command with a desktop and a sound server of its own, as the tests and the benchmark
# need them on a machine that has neither: an Xvfb screen at 96 dpi with the Openbox window
# manager, and a private PulseAudio server whose one sink, "capture" (48 kHz, mono), plays
# nowhere. Recording its monitor ("capture.monitor", with parec) gives exactly what was played,
# and exact zeros while nothing plays.
#   bash tools/sandbox.sh COMMAND [ARGUMENT]...
set -euo pipefail
dir=$(mktemp -d /tmp/brumbesang-sandbox.XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$dir"' EXIT
export XDG_RUNTIME_DIR=$dir PULSE_SERVER=unix:$dir/pulse/native
Xvfb -displayfd 3 -screen 0 640x480x24 -dpi 96 -nolisten tcp 3>"$dir/display" 2>/dev/null &
pulseaudio --daemonize=no -n --exit-idle-time=-1 --log-target=file:"$dir/pulse.log" \
  -L "module-native-protocol-unix auth-anonymous=1" \
  -L "module-null-sink sink_name=capture format=s16le rate=48000 channels=1" &
until [ -s "$dir/display" ] && pactl info >/dev/null 2>&1 || [ $SECONDS -gt 10 ]; do sleep 0.1; done
export DISPLAY=:$(cat "$dir/display")
openbox --sm-disable >/dev/null 2>&1 &
# With no stream playing, the null sink renders two seconds ahead, and a stream that starts then
# waits that long for its first request. A stream of zeros with a short latency, which changes
# nothing in the sum of what plays, keeps the sink in step, as other programs keep a desktop's.
pacat --latency-msec=10 --raw </dev/zero 2>/dev/null &
export SANDBOX_KEEPER=$!
ready() { pactl list sinks | grep -q -E 'Latency: [0-9]{1,5} usec' && wmctrl -m >/dev/null 2>&1; }
until ready || [ $SECONDS -gt 20 ]; do sleep 0.1; done
ready || { echo "the display, the sound server or the window manager did not start" >&2; exit 1; }
"$@"
