#!/usr/bin/env bash
# Runs a command with a desktop and a sound server of its own, as the tests and the benchmark
# need them on a machine that has neither: an Xvfb screen at 96 dpi with the Openbox window
# manager, a session bus, and a private sound server whose one sink, "capture" (48 kHz, mono),
# plays nowhere, and is as slow to begin after it has been idle as a desktop's (see below).
# Recording its monitor ("capture.monitor"), with the command in $SANDBOX_RECORD (raw 16-bit mono
# samples at 48 kHz on its output), gives exactly what was played, and exact zeros while nothing
# plays. SANDBOX_SOUND names the server: "pulseaudio" (the default) or "pipewire" (PipeWire,
# WirePlumber and PipeWire's PulseAudio service, as a Debian 12 desktop runs them);
# SANDBOX_SETTLED=1 keeps the sink in step for a test that needs it.
#   bash tools/sandbox.sh COMMAND [ARGUMENT]...
# Inside it, `poll` waits for a condition (see below), `$SANDBOX_SERVER start` starts the sound
# server, and `$SANDBOX_SERVER SIGNAL` sends the signal to it: kill (as a crash would), STOP (the
# server hangs) or CONT.
set -euo pipefail
# poll SECONDS CONDITION evaluates CONDITION, a shell command, every 0.05 s until it holds, for at
# most SECONDS (each wait has a bound of its own, generous on a loaded machine); false if it never
# does. Exported: the scripts run inside use it too (tools/desktop.sh).
poll() { local end=$((SECONDS + $1)); until eval "$2"; do ((SECONDS < end)) && sleep 0.05 || return; done; }
export -f poll
# ready SECONDS CONDITION WHAT: the same, quietly, failing the sandbox with "WHAT did not start".
ready() { poll "$1" "{ $2; } &>/dev/null" || { echo "sandbox: $3 did not start" >&2 && exit 1; }; }
if [ "${1:-}" = --server ]; then
  cd "$XDG_RUNTIME_DIR"
  [ "$2" = start ] || { kill -"$2" $(cat server) 2>/dev/null || true; exit; }
  if [ "$SANDBOX_SOUND" = pulseaudio ]; then
    pulseaudio --daemonize=no --use-pid-file=no -n --exit-idle-time=-1 \
      -L "module-native-protocol-unix auth-anonymous=1" -L "module-suspend-on-idle timeout=1" &
  else
    rm -f pipewire-0  # as a killed server leaves it, to tell when the new one listens
    pipewire &
    ready 10 '[ -S pipewire-0 ]' PipeWire
    wireplumber & pipewire -c pipewire-pulse.conf &
  fi &>>server.log
  ready 10 'pactl info' "the sound server's PulseAudio service"
  pactl load-module module-null-sink sink_name=capture format=s16le rate=48000 channels=1 \
    sink_properties=session.suspend-timeout-seconds=1 >/dev/null
  ready 10 '[ "$(pactl get-default-sink)" = capture ]' "the sink"  # else a stream may fail
  # As on a desktop, the sink is suspended once nothing has played for a while (here for a second,
  # to keep the tests short), and PulseAudio's keeps a new stream waiting for up to two seconds
  # before it takes its second buffer: after it wakes, and after the server starts. Where a test
  # needs a sink in step (SANDBOX_SETTLED=1: the Windows program under Wine, which opens a new
  # stream for every sound), a stream of zeros with a short latency, which changes nothing in the
  # sum of what plays, keeps it in step, as a program that always plays would keep a desktop's.
  if [ -n "${SANDBOX_SETTLED:-}" ]; then
    # Ready once 50 ms of sound play within half a second, which they do once that stream plays.
    pacat --latency-msec=10 --raw </dev/zero &>/dev/null &
    ready 20 "head -c 8820 /dev/zero | timeout 0.5 pacat --raw --latency-msec=10" "the sink's pace"
  fi
  jobs -p >server
  exit
fi
# In a PID namespace of its own, as its first process, whose end the kernel makes the end of every
# process in it, stopped sound servers included, even when the sandbox is killed (as CTest kills a
# test out of time). Where unshare is refused, they may outlive it then.
[ $$ = 1 ] || for ns in --pid "--user --map-root-user --pid"; do
  unshare $ns --fork --kill-child --mount-proc true 2>/dev/null &&
    exec unshare $ns --fork --kill-child --mount-proc bash "$0" "$@"
done || echo "sandbox: no PID namespace of its own: what it starts may outlive it" >&2
dir=$(mktemp -d /tmp/brumbesang-sandbox.XXXXXX)
trap 'kill -CONT $(cat "$dir/server") 2>/dev/null; kill $(jobs -p) $(cat "$dir/server") 2>/dev/null; wait; rm -rf "$dir"' EXIT
# The sandbox's folder is the home too, where the sound servers and every other program keep their
# configuration and state (PulseAudio's cookie, WirePlumber's restored volumes): the user's are
# neither read nor written. It holds a test's files too (TEST_TMPDIR, unless given), so that two
# tests that run at once keep apart.
export XDG_RUNTIME_DIR=$dir PULSE_SERVER=unix:$dir/pulse/native SANDBOX_SOUND=${SANDBOX_SOUND:-pulseaudio} \
  DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/bus SANDBOX_SERVER="bash $(realpath "$0") --server" \
  SANDBOX_RECORD="parec -d capture.monitor --raw --format=s16le --rate=48000 --channels=1" HOME=$dir \
  TEST_TMPDIR=${TEST_TMPDIR:-$dir} \
  XDG_CONFIG_HOME=$dir/config XDG_STATE_HOME=$dir/state XDG_DATA_HOME=$dir/data XDG_CACHE_HOME=$dir/cache
dbus-daemon --session --address="$DBUS_SESSION_BUS_ADDRESS" --nofork --nopidfile --syslog-only &
Xvfb -displayfd 3 -screen 0 640x480x24 -dpi 96 -nolisten tcp 3>"$dir/display" 2>/dev/null &
$SANDBOX_SERVER start  # fails, saying why, if the sound server does not start
ready 10 '[ -s "$dir/display" ]' "the display"
export DISPLAY=:$(cat "$dir/display")
openbox --sm-disable >/dev/null 2>&1 &
ready 20 'wmctrl -m' "the window manager"
"$@"
