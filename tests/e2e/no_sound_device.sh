#!/usr/bin/env bash
# With no sound server to reach and no sound card (as on CI), the program sings on SDL's dummy
# driver: silently, but at the clips' real pace, and the run ends. Nothing can be captured, so
# the test watches the clip files being opened: the program opens a clip each time it plays it.
source "$(dirname "$0")/lib.sh"

make_tagged_clips 0.3
start_watching
opened() { awk '$2 ~ /\.wav$/ { print $2 }' "$WORK/opens" | tr '\n' ' ' | sed 's/ $//'; }

# The first run's clips, then the first silence of the second run.
first="silence.wav silence.wav 1.wav silence.wav brumbe.wav"
first="$first silence.wav silence.wav 2.wav silence.wav brumber.wav"
first="$first silence.wav silence.wav 3.wav silence.wav brumber.wav"
want="$first silence.wav"

echo "-- verses 1 to 3 with no sound device, then play again at once"
# A sound server someone else runs on this machine must not be found; SDL picks its driver itself.
start_program -u SDL_AUDIODRIVER PULSE_SERVER=unix:/nonexistent
type_box start 1
type_box end 3
click play
for _ in $(seq 1 100); do
  [ "$(opened)" = "$first" ] && break
  sleep 0.05
done
[ "$(opened)" = "$first" ] || fail "opened: [$(opened)]; expected: [$first]"
# The first run's last clip plays now. A second run may sing only once it has ended.
click play
sleep 1
close_window
[[ "$(opened)" == "$want"* ]] || fail "opened: [$(opened)]; expected it to begin with: [$want]"

# Each sound lasts at least its own length (silence 100 ms, clips 300 ms) before the next file
# is opened, less a little for where the dummy driver's 21 ms buffers fall. A busy machine (or a
# sanitizer build) only makes some sounds last longer, so the upper bounds are loose: no sound
# may hold the run up by more than a quarter of a second, and the whole run must take about the
# clips' time (each verse's end also waits up to one 100 ms timer tick, 50 ms on average). The
# pace itself is a sound's length against its clip's, for the sounds within verses: with a driver
# that keeps real time most come to about 1.06 (a sound ends on a buffer's end); with one that
# runs a fifth slow, over 1.2.
awk '$2 ~ /\.wav$/ { print $1, $2 }' "$WORK/opens" | head -n "$(wc -w <<<"$want")" | awk '
  NR > 1 {
    took = $1 - at
    least = name == "silence.wav" ? 100 : 300
    tick = name ~ /^brumber?\.wav$/ ? 100 : 0
    expected += least + tick / 2
    if (!tick) { n++; slow += took / least > 1.2 }
    if (took < least - 25 || took > least + tick + 250) {
      bad = 1
      printf "%s (sound %d) was followed after %d ms, expected %d to %d\n", name, NR - 1, took, least, least + tick + 250
    }
  }
  NR == 1 { first = $1 }
  { at = $1; name = $2 }
  END {
    took = at - first
    printf "the run took %.2f s, the clips %.2f s; %d of %d sounds over 1.2 times their length\n",
      took / 1000, expected / 1000, slow, n
    if (took > expected * 1.4) { bad = 1; print "the run took far longer than its clips" }
    if (2 * slow > n) { bad = 1; print "most sounds lasted longer than their clips" }
    exit bad
  }' || fail "sounds did not keep their real length"
echo "PASS"
