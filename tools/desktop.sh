# Drives the program's window as a person would and records what it plays, for the end-to-end
# test and the benchmark, which source this under tools/sandbox.sh. TOOLS names the folder of
# clipscan; LATENCY, the recorder's latency in ms (10 by default).
#   start PROGRAM [RUNNER...]  starts the program (under RUNNER, such as wine) and finds its
#                              window, recording afresh from then on
#   record                     records afresh from now on
#   played                     the sounds recorded so far, one line each (see clipscan.cpp),
#                              named after the levels in $work/tags, if there is one
#   test_clips FOLDER          makes the clips of the end-to-end tests in FOLDER, each at a level
#                              of its own (named in $work/tags)
#   expect_sounds NAMES        checks that the sounds played are NAMES, once they have, and that
#                              no more follow within a second
#   expect_cut WHAT            checks that brumbe.wav was cut, as WHAT should cut it
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
# Every word clip a square wave at a level of its own, by which clipscan names it: 80 ms, and
# brumbe.wav 2 s, long enough to be cut. The silence clip is 100 ms of zeros, as the real one.
# default.wav is made the same way, as the system's default sound under Wine.
test_clips() {
  for n in og brumbe brumber $(seq 1 20) 30 40 50 60 70 80 90 $(seq 100 100 900) default; do
    echo "$n.wav $((level = ${level:-350} + 650))" >>"$work/tags"  # 1000, 1650, ...
    sox -D -n -r 22050 -b 16 "$1/$n.wav" synth "$([ $n = brumbe ] && echo 2 || echo 0.08)" \
      square 50 vol "$(printf 0.%05d $((level * 100000 / 32767)))"
  done
  sox -D -n -r 22050 -b 16 "$1/silence.wav" trim 0 0.1
}
expect_sounds() {
  wait_for "$(wc -w <<<"$1")" && sleep 1 && [ "$(played | cut -d' ' -f1 | xargs)" = "$1" ] ||
    fail "played [$(played | xargs)], expected [$1]"; }
expect_cut() { played | awk '$1 == "brumbe.wav" && $2 > 1000 { exit 1 }' || fail "$1 did not cut brumbe.wav"; }
wait_for() { poll 10 "[ \$(played | wc -l) -ge $1 ]" || true; }  # the caller checks what played
click() { xdotool mousemove --window "$window" ${at[$1]} click 1; }
type_box() { click "$1" && xdotool key End shift+Home && xdotool type --delay 50 "$2"; }
wine_prefix() { export WINEPREFIX=$work/prefix WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d" && timeout 120 wineboot -i &>/dev/null; }
fail() { echo "FAIL: $*" >&2 && exit 1; }
close() { wmctrl -c 'Syng en brumbesang!' && timeout "${1:-10}" tail -s 0.1 --pid="$program" -f /dev/null && wait "$program"; }
