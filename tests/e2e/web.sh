#!/usr/bin/env bash
# The web page in headless Chromium, driven as a person would (tools/browser.py), its sound
# recorded from the sound server of tools/sandbox.sh, under which it runs. The site is a copy of the
# web build with the end-to-end tests' clips (tools/desktop.sh), 9.wav one that cannot be decoded;
# the browser's text size is 24 pixels, 1.5 times its usual:
#   web.sh SITE      e.g. build-web/brumbesang
set -euo pipefail
source "$(dirname "$0")/../../tools/desktop.sh"
site=$work/site && cp -r "$1" "$site" && test_clips "$site" && echo "no WAV file" >"$site/9.wav"
sox $(printf "$site/90.wav %.0s" {1..10}) "$work/90.wav" && mv "$work/90.wav" "$site"  # 0.8 s
echo "tone 1990" >>"$work/tags" && record  # the stand-in tone's level; then the recording
coproc browser { exec /usr/bin/python3 "$(dirname "$0")/../../tools/browser.py" "$site" 24; }
# Runs the command $1 in the browser (see browser.py); its value in $got.
b() { echo "${1//$'\n'/ }" >&"${browser[1]}" && read -r got <&"${browser[0]}" && [ "${got#error}" = "$got" ] || fail "$1: $got"; }
box() { b "js('return document.getElementById(\"txtVers$1\").value')" && [ "$got" = "$2" ] || fail "box $1 reads [$got], not [$2]"; }
type_box() { b "click('txtVers$1')" && b "keys('End', 'shift+Home', '$2')"; }
# Waits until the page has loaded: the play button has the focus, and the clips are decoded.
loaded() {
  poll 10 'b "js(\"return document.activeElement.id\")" && [ "$got" = cmdPlay ]' || fail "no focus on the play button"
  poll 10 'b "js(\"return Module.sound.clips.size\")" && [ "$got" = 40 ]' || fail "the clips were not decoded"; }

# Once the page has loaded, the play button has the focus. What a screen reader finds: each button
# named by its caption and each box by its label; the page, titled as the window, in Norwegian. The
# page is the layout scaled by the text size (257 x 114 times 1.5), and its widest caption takes
# 9/10 of its control's room or more, and none more than the room. Nothing came from another
# origin. Chromium finds it installable as an app.
b "load()" && loaded
b "names()" && [ "$got" = "button: Spill vers!|button: Stop|textbox: Starte på vers nr.:|textbox: Avslutte på vers nr.:" ] ||
  fail "a screen reader finds [$got]"
b "$(cat <<'EOF'
js("""var form = document.getElementById('Form1').getBoundingClientRect(), widest = 0;
  document.querySelectorAll('label, button').forEach((c) => { var text = document.createRange(), s = getComputedStyle(c);
    text.selectNodeContents(c); widest = Math.max(widest, text.getBoundingClientRect().width /
      (c.clientWidth - parseFloat(s.paddingLeft) - parseFloat(s.paddingRight))); });
  return [document.title, form.width, form.height, document.documentElement.lang, widest > 1 ? 'cut' : widest >= 0.9 ? 'whole' : 'small',
    performance.getEntriesByType('resource').every((r) => r.name.startsWith(location.origin))].join(' ')""")
EOF
)"
[ "$got" = "Syng en brumbesang! 385.5 171 nb whole true" ] || fail "page: [$got]"
b "d.execute_cdp_cmd('Page.getInstallabilityErrors', {})" && [ "$got" = "{'installabilityErrors': []}" ] ||
  fail "not installable: $got"

# The focused play button, the page's first gesture, starts the page's sound on a sink that is
# suspended and slow to begin: verses 1 and 2 (the end box set by a script, no gesture) are heard
# whole. Then it plays them again, and Tab and space on stop cut brumbe.wav. Then Tab goes to the
# start box and the end box.
kill "$recorder" && poll 10 'pactl list sinks short | grep -q SUSPENDED' && record || fail "the sink was not suspended"
b "js('var box = txtVers1; box.value = 2; box.dispatchEvent(new Event(\"input\"))')" && b "keys('space')" &&
  expect_sounds "1.wav brumbe.wav 2.wav brumber.wav"
played | awk '$1 == "brumbe.wav" && $2 < 1999 { exit 1 }' || fail "brumbe.wav was cut: $(played | xargs)"
record && b "keys('space')" && wait_for 2 && b "keys('Tab', 'space')" && expect_sounds "1.wav brumbe.wav" && expect_cut stop
b "keys('Tab', 'End', 'shift+Home', '4', 'Escape', 'Tab', 'End', 'shift+Home', '6')" && box 0 4 && box 1 6

# The box rules, typed: the end box follows each key in the start box, and at most 999. A click
# into a box types after its text.
type_box 0 1 && box 1 1
b "click('txtVers0')" && b "keys('2')" && box 1 12
type_box 1 1500 && box 1 999 && box 0 12

# Verses 99 to 100, 9.wav the tone, the pauses between the clips of a verse exactly the silence
# clip (those of verse 1, heard as the page's sound starts, aside): 100 ms, their median within 1 ms
# and the worst within 3 ms. The end box typed while the tick of verse 99 waits for its 90.wav is
# read after that tick, as a window reads it: verse 100 is sung all the same.
type_box 0 99 && type_box 1 100 && b "click('cmdPlay')" && wait_for 3 && type_box 1 99
expect_sounds "1.wav brumbe.wav 90.wav tone brumber.wav 100.wav brumber.wav"
played | awk 'NR > 2 && $3 < 150 { print ($3 < 100 ? 100 - $3 : $3 - 100) }' | sort -n |
  awk '{ d[NR] = $1 } END { exit !(NR == 3 && d[2] <= 1 && d[3] <= 3) }' || fail "pauses: $(played | xargs)"

# With the network gone, the page loads again from what the service worker kept, as it was at first
# (it keeps nothing), and sings. Leaving the page while a clip plays cuts the clip.
poll 10 'b "js(\"return navigator.serviceWorker.ready.then((r) => r.active.state)\")" && [ "$got" = activated ]' ||
  fail "no service worker"
b "offline()" && b "load()" && loaded
box 0 1 && b "click('cmdPlay')" && wait_for 9 && b "d.get('about:blank')" && expect_sounds \
  "1.wav brumbe.wav 90.wav tone brumber.wav 100.wav brumber.wav 1.wav brumbe.wav" && expect_cut leaving
exec {browser[1]}>&- && wait "$browser_PID"  # the browser quits
