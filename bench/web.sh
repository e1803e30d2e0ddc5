#!/usr/bin/env bash
# Figures for the web page (build-web/brumbesang; BUILD_WEB=folder names another), in headless
# Chromium (tools/browser.py) under tools/sandbox.sh:
#   - the download: the program's .wasm and .js, and the clips, as they are and compressed (gzip -9,
#     as a web server compresses them);
#   - the time from the start of loading the page to its controls answering (the play button has
#     the focus, and every control its handler), on a first visit, with a browser of its own, and
#     again from the service worker's cache: the median and the range of five, over the loopback;
#   - the processor time of Chromium, all its processes, per second of singing verses 21 to 25 with
#     the real clips, from the third second of the run on, over 6 s, one processor core kept busy
#     beside it, and beside it the Linux program's (build/brumbesang; BUILD=folder names another),
#     measured the same way.
#
#   bash bench/web.sh
#
# Needs the builds and the packages the tests use. Prints each figure beside its goal; it checks
# nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
SITE=$(realpath "${BUILD_WEB:-build-web}/brumbesang")
BUILD=$(realpath "${BUILD:-build}")
[ -n "${PULSE_SERVER:-}" ] || exec bash tools/sandbox.sh bash "$0" "$@"
TOOLS=$BUILD/tools LATENCY=200
source tools/desktop.sh
kB() { awk -v b="$1" 'BEGIN { printf "%.1f kB", b / 1000 }'; }
gz() { cat "$@" | gzip -9 | wc -c; }
echo "== the download"
echo "  the program: brumbesang.wasm $(kB "$(stat -c %s "$SITE/brumbesang.wasm")"), brumbesang.js" \
  "$(kB "$(stat -c %s "$SITE/brumbesang.js")"); compressed together $(kB "$(gz "$SITE"/brumbesang.{wasm,js})")" \
  "(goal: <= 150 kB)"
echo "  the clips: $(kB "$(cat "$SITE"/*.wav | wc -c)"), compressed $(kB "$(gz "$SITE"/*.wav)");" \
  "the whole site, compressed file by file: $(kB "$(for f in "$SITE"/*; do gz "$f"; done | awk '{ n += $1 } END { print n }')")"

# A browser of its own for each first visit. The time the controls answer is taken in the page, by
# a script that runs before the page's own.
first=() cached=()
for run in 1 2 3 4 5; do
  coproc browser { exec /usr/bin/python3 tools/browser.py "$SITE" 2>/dev/null; }
  b() { echo "${1//$'\n'/ }" >&"${browser[1]}" && read -r got <&"${browser[0]}"; }
  b "d.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': '''new MutationObserver((m, o) => {
    if (document.activeElement && document.activeElement.id == \"cmdPlay\") o.disconnect(window.answered = performance.now());
  }).observe(document, {subtree: true, childList: true})'''})"
  b "load()" && poll 10 'b "js(\"return window.answered\")" && [ "$got" != None ]' && first+=("$got")
  poll 10 'b "js(\"return navigator.serviceWorker.ready.then((r) => r.active.state)\")" && [ "$got" = activated ]'
  b "load()" && poll 10 'b "js(\"return window.answered\")" && [ "$got" != None ]' && cached+=("$got")
  exec {browser[1]}>&- && wait "$browser_PID"
done
range() { printf '%s\n' "$@" | sort -g | awk '{ t[NR] = $1 } END { printf "%.0f ms (%.0f-%.0f)", t[3], t[1], t[5] }'; }
echo "== the page's controls answering, from the start of loading, over the loopback (median of five)"
echo "  first visit: $(range "${first[@]}"); from the service worker's cache: $(range "${cached[@]}")"

# Processor seconds of the processes $@, all their threads.
cpu() {
  for p in "$@"; do cat /proc/"$p"/task/*/schedstat 2>/dev/null; done | awk '{ ns += $1 } END { printf "%.6f\n", ns / 1e9 }'
}
# Processor time per second of the processes that `pids` names, over 6 s from 2 s on.
steady() {
  sleep 2
  local a=$(cpu $(pids)) && sleep 6 && awk -v a="$a" -v b="$(cpu $(pids))" 'BEGIN { printf "%.4f", (b - a) / 6 }'
}
echo "== processor time while singing verses 21 to 25, from the third second on, one core busy beside"
(while :; do :; done) & busy=$!
coproc browser { exec /usr/bin/python3 tools/browser.py "$SITE" 2>/dev/null; }
b "load()" && sleep 2
pids() { pgrep -f /usr/lib/chromium/; }
b "click('txtVers0')" && b "keys('End', 'shift+Home', '21')" && b "click('txtVers1')" &&
  b "keys('End', 'shift+Home', '25')" && b "click('cmdPlay')"
echo "  Chromium, all its processes: $(steady) s/s"
exec {browser[1]}>&- && wait "$browser_PID"
start "$BUILD/brumbesang" 2>/dev/null && sleep 1
pids() { echo "$program"; }
type_box start 21 && type_box end 25 && click play
echo "  the Linux program: $(steady) s/s"
kill "$busy" && wait "$busy" 2>/dev/null || true
