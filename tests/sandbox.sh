#!/usr/bin/env bash
# Runs a command with a desktop and a sound server of its own, as the tests and the benchmark
# need them on a machine that has neither: an Xvfb screen with the Openbox window manager, and a
# private PulseAudio server whose one sink, "capture" (48 kHz, mono), plays nowhere. Recording its monitor ("capture.monitor",
# with parec) gives exactly what was played, and exact zeros while nothing plays.
#   bash tests/sandbox.sh COMMAND [ARGUMENT]...
set -euo pipefail
dir=$(mktemp -d /tmp/brumbesang-sandbox.XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$dir"' EXIT
export XDG_RUNTIME_DIR=$dir PULSE_SERVER=unix:$dir/pulse/native

Xvfb -displayfd 3 -screen 0 640x480x24 -dpi 96 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
cat >"$dir/pulse.pa" <<EOF
load-module module-native-protocol-unix auth-anonymous=1
load-module module-null-sink sink_name=capture format=s16le rate=48000 channels=1
set-default-sink capture
EOF
pulseaudio --daemonize=no -n -F "$dir/pulse.pa" --exit-idle-time=-1 --log-target=file:"$dir/pulse.log" &
for _ in $(seq 50); do
  [ -s "$dir/display" ] && pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
[ -s "$dir/display" ] || { cat "$dir/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -n 1 "$dir/display")
openbox --sm-disable >/dev/null 2>&1 &

# With no stream playing, the null sink renders two seconds ahead, and a stream that starts then
# waits that long for its first request. A stream of zeros with a short latency, which changes
# nothing in the sum of what plays, keeps the sink in step, as other programs keep a desktop's.
pacat --latency-msec=10 --raw </dev/zero 2>/dev/null &
export SANDBOX_KEEPER=$!
latency() { pactl list sinks | sed -n 's/^\s*Latency: \([0-9]*\) usec.*/\1/p'; }
ready() { [ "$(latency)" -lt 50000 ] && wmctrl -m >/dev/null 2>&1; }
for _ in $(seq 50); do
  ready && break
  sleep 0.1
done
ready || { echo "the sound server or the window manager did not start" >&2; exit 1; }
"$@"
