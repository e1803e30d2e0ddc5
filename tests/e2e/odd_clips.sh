#!/usr/bin/env bash
# Clips that are missing, broken or in another WAV format than ours. A clip the program cannot
# play gives the stand-in tone (150 ms, named "tone" by clipscan); a valid WAV of any format SDL
# reads plays at its own level; and in every case the verse goes on to its next clip.
source "$(dirname "$0")/lib.sh"

# One verse per row, sung from its number clip and brumber.wav:
#   verse  what is done to its number clip       what plays   about how long (ms; sox fills
#                                                              up the last ADPCM block)
ROWS="
2   missing                                       tone         150
3   empty                                         tone         150
4   cut-in-data                                   4.wav        200
5   cut-in-header                                 tone         150
6   not-a-wav                                     tone         150
7   absurd-rate                                   tone         150
8   no-samples                                    tone         150
9   8-bit-unsigned                                9.wav        80
10  44.1kHz-stereo                                10.wav       80
11  24-bit                                        11.wav       80
12  32-bit-float                                  12.wav       80
13  u-law                                         13.wav       80
14  ima-adpcm                                     14.wav       83
15  ms-adpcm                                      15.wav       92
"

level_of() { awk -v n="$1" '$1 == n { print $2 / 32767 }' "$WORK/tags"; }

# The clip $1 made again at its own level, written with the sox output options that follow.
remake() {
  local clip=$1
  shift
  sox -D -n "$@" "$WORK/$clip" synth 0.08 square 50 vol "$(level_of "$clip")"
}

doctor() {
  local f="$WORK/$1"
  case $2 in
  missing) rm "$f" ;;
  empty) : >"$f" ;;
  cut-in-data) head -c $((44 + 2 * 4410)) "$WORK/long.wav" >"$f" ;;  # 200 ms of its 400
  cut-in-header) head -c 30 "$WORK/long.wav" >"$f" ;;
  not-a-wav) echo "Dette er ingen lyd." >"$f" ;;
  absurd-rate)  # 8 channels of floats, with a sample rate of 2^31 - 1 in the header
    sox -D -n -r 22050 -c 8 -b 32 -e floating-point "$f" synth 0.08 square 50
    printf '\377\377\377\177' | dd of="$f" bs=1 seek=24 conv=notrunc status=none ;;
  no-samples) sox -D -n -r 22050 -c 1 -b 16 "$f" trim 0 0 ;;
  8-bit-unsigned) remake "$1" -r 22050 -c 1 -b 8 -e unsigned ;;
  44.1kHz-stereo) remake "$1" -r 44100 -c 2 -b 16 ;;
  24-bit) remake "$1" -r 22050 -c 1 -b 24 ;;
  32-bit-float) remake "$1" -r 22050 -c 1 -b 32 -e floating-point ;;
  u-law) remake "$1" -r 22050 -c 1 -e u-law ;;
  ima-adpcm) remake "$1" -r 22050 -c 1 -e ima-adpcm ;;
  ms-adpcm) remake "$1" -r 22050 -c 1 -e ms-adpcm ;;
  *) fail "no such doctoring: $2" ;;
  esac
}

make_tagged_clips 0.08
# 8-bit samples step by 256: levels from 9.wav's on round to within clipscan's 2 % of the tag.
sox -D -n -r 22050 -c 1 -b 16 "$WORK/long.wav" synth 0.4 square 50 vol "$(level_of 4.wav)"
want=""
while read -r verse how plays ms; do
  [ -n "$verse" ] || continue
  doctor "$verse.wav" "$how"
  want="$want $plays brumber.wav"
done <<<"$ROWS"
last=$(awk 'NF { v = $1 } END { print v }' <<<"$ROWS")

echo "-- verses 2 to $last, each with an odd number clip"
start_program
type_box start 2
type_box end "$last"
click play
wait_for_sounds "$(wc -w <<<"$want")"
expect_names "${want# }"
# Each number clip lasts as long as it should.
played | awk '$1 != "brumber.wav"' | paste - <(awk 'NF { print $2, $4 }' <<<"$ROWS") |
  awk '{ d = $3 - $8; if (d < -5 || d > 5) { bad = 1; print $7 ": " $1 " lasted " $3 " ms, expected " $8 } }
       END { exit bad }' || fail "a clip lasted longer or shorter than it should"
# A header's word is not taken for how much memory to use.
peak=$(awk '/VmHWM/ { print int($2 / 1024) }' "/proc/$PID/status")
[ "$peak" -lt 200 ] || fail "the program's peak memory was $peak MB, expected under 200 MB"
close_window

echo "-- no silence clip: the stand-in takes its place, and verse 1 is sung to its end"
rm "$WORK/silence.wav" "$WORK/played.raw"
start_program
type_box start 1
click play
sleep 2
# With no pause between them, clipscan hears one sound: stand-in, stand-in, 1.wav (80 ms),
# stand-in, brumbe.wav (80 ms).
got=$(played | awk '{ print $1, $3 }')
awk '$1 == "tone" && $2 > 600 && $2 < 620 { ok = 1 } END { exit !ok || NR != 1 }' <<<"$got" ||
  fail "played: [$got]; expected: [tone 610] (ms)"
close_window

echo "PASS"
