# Drives the program's window as a person would and records what it plays, for the end-to-end
# test and the benchmark, which source this under tools/sandbox.sh. TOOLS names the folder of
# clipscan; LATENCY, the recorder's latency in ms (10 by default).
#   start PROGRAM [RUNNER...]  starts the program (under RUNNER, such as wine) and finds its
#                              window, recording afresh from then on
#   record                     records afresh from now on
#   played                     the sounds recorded so far, one line each (see clipscan.cpp),
#                              named after the levels in $work/tags, if there is one
#   poll SECONDS CONDITION     (from tools/sandbox.sh) evaluates CONDITION, a shell command,
#                              until it holds, for at most SECONDS
#   wait_for N                 waits, at most 10 s, until N sounds have begun
#   click CONTROL              clicks start, end (the boxes), play or stop
#   type_box BOX TEXT          types TEXT over the whole text of the box
#   close [SECONDS]            closes the window; true once the program has ended, with status 0,
#                              within SECONDS (10 by default)
#   fail MESSAGE               fails the test, saying why
#   wine_prefix                makes a fresh Wine prefix for this test, with no menu entries on the
#                              host (the prefix's shortcuts stay inside it)
work=$(mktemp -d)
# Whatever is still running at the end is killed outright: a program that ignores SIGTERM must not
# hold the test.
trap 'kill -KILL $(jobs -p) 2>/dev/null; wait; rm -rf "$work"' EXIT
declare -A at=([start]="68 41" [end]="68 81" [play]="188 44" [stop]="188 84")

record() {
  [ -z "${recorder:-}" ] || kill "$recorder" 2>/dev/null || true  # ended with its server, maybe
  $SANDBOX_RECORD --latency-msec="${LATENCY:-10}" >"$work/played.raw" & recorder=$!
}
start() {
  record
  "${@:2}" "$1" & program=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Syng en brumbesang!$' | head -n 1)
}
played() { "$TOOLS/clipscan" "$work/tags" "$work/played.raw"; }
wait_for() { poll 10 "[ \$(played | wc -l) -ge $1 ]" || true; }  # the caller checks what played
click() { xdotool mousemove --window "$window" ${at[$1]} click 1; }
type_box() { click "$1" && xdotool key End shift+Home && xdotool type --delay 50 "$2"; }
wine_prefix() { export WINEPREFIX=$work/prefix WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d" && timeout 120 wineboot -i &>/dev/null; }
fail() { echo "FAIL: $*" >&2 && exit 1; }
close() { wmctrl -c 'Syng en brumbesang!' && timeout "${1:-10}" tail -s 0.1 --pid="$program" -f /dev/null && wait "$program"; }
