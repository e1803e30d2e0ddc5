#!/usr/bin/env bash
# Generates the sung word clips and the short pause clip used between them.
#
# Every file is written next to this script as 22050 Hz, mono, 16-bit signed
# PCM WAV. Needs espeak-ng (with the Norwegian Bokmål voice) and sox:
#   apt-get install -y espeak-ng sox
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

for tool in espeak-ng sox; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "make_clips.sh: '$tool' not found (apt-get install -y espeak-ng sox)" >&2
        exit 1
    fi
done

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Voice settings. A raised base pitch (-p) with an almost flat pitch range
# (SSML range="x-low") holds each word on one note instead of the falling
# speech intonation; a slightly lower rate (-s) lets the vowels ring a little
# longer. -g 0 keeps multi-word clips ("to hundre") joined without a pause.
VOICE=nb
PITCH=85
SPEED=140
WORDGAP=0

# Output format.
RATE=22050
FORMAT=(-r "$RATE" -c 1 -b 16 -e signed-integer)

# clip name | text given to espeak-ng
# A few words are spelled the way they are pronounced so espeak-ng says them
# naturally: "og" is sung as "å", "tjue" starts with the kj-sound, and
# "elleve" is said as two syllables.
clips=(
    "1|én"
    "2|to"
    "3|tre"
    "4|fire"
    "5|fem"
    "6|seks"
    "7|sju"
    "8|åtte"
    "9|ni"
    "10|ti"
    "11|elve"
    "12|tolv"
    "13|tretten"
    "14|fjorten"
    "15|femten"
    "16|seksten"
    "17|sytten"
    "18|atten"
    "19|nitten"
    "20|kjue"
    "30|tretti"
    "40|førti"
    "50|femti"
    "60|seksti"
    "70|sytti"
    "80|åtti"
    "90|nitti"
    "100|hundre"
    "200|to hundre"
    "300|tre hundre"
    "400|fire hundre"
    "500|fem hundre"
    "600|seks hundre"
    "700|sju hundre"
    "800|åtte hundre"
    "900|ni hundre"
    "og|å"
    "brumbe|brumbe"
    "brumber|brumber"
)

# Strip silence at both ends: drop audio until 10 ms stay above 0.5 % of full
# scale, then do the same from the back.
TRIM=(silence 1 0.01 0.5% reverse silence 1 0.01 0.5% reverse)

for entry in "${clips[@]}"; do
    name="${entry%%|*}"
    text="${entry#*|}"
    raw="$tmp/$name.raw.wav"
    out="$here/$name.wav"

    espeak-ng -v "$VOICE" -m -z -p "$PITCH" -s "$SPEED" -g "$WORDGAP" -w "$raw" \
        "<speak><prosody range=\"x-low\">$text</prosody></speak>"

    # 1. trim the voice, 2. a small, short room reverb so the word sounds held
    # rather than clipped, 3. trim the reverb tail again, 4. 5 ms fade in and
    # 15 ms fade out against clicks, 5. normalise every clip to -3 dBFS,
    # 6. dither to 16 bit so the clip never contains digital silence (the
    # program finds the pauses between clips as runs of exact zero samples).
    # -R seeds the dither with a fixed value, so reruns give identical files.
    # (fade needs to know the length, so trimming is a pass of its own.)
    sox "$raw" -t wav -e floating-point -b 32 "$tmp/$name.trim.wav" \
        "${TRIM[@]}" \
        reverb 12 60 25 100 0 0 \
        "${TRIM[@]}"
    sox -R "$tmp/$name.trim.wav" "${FORMAT[@]}" "$out" \
        fade t 0.005 -0 0.015 \
        norm -3 \
        dither -s
done

# 100 ms of digital silence (2205 zero samples). -D: no dither, so every
# sample stays exactly zero.
sox -D -r "$RATE" -c 1 -n "${FORMAT[@]}" "$here/silence.wav" trim 0 2205s

echo "make_clips.sh: wrote $(( ${#clips[@]} + 1 )) clips to $here"
