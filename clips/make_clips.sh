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

# Loudness. Every word clip is brought to the same loudness of its voiced part,
# as loud as the peak ceiling allows for all of them. The ceiling is -1 dBFS
# less 0.1 dB that the dither and rounding to 16 bit may add.
CEILING=-1.1

# Prints "<voiced RMS> <peak>" in dBFS for the clip $1. The voiced part is the
# non-overlapping 20 ms frames whose RMS lies within 20 dB of the loudest
# frame (so within a factor 100 in energy); a last, shorter frame is left out.
voiced_rms_and_peak() {
    sox "$1" -t dat - | awk -v n=$((RATE / 50)) '
        /^;/ { next }
        {
            x = $2; energy += x * x; if (x < 0) x = -x; if (x > peak) peak = x
            if (++len < n) next
            frame[++frames] = energy; if (energy > loudest) loudest = energy
            energy = len = 0
        }
        END {
            for (i = 1; i <= frames; i++)
                if (frame[i] >= loudest / 100) { voiced += frame[i]; count++ }
            printf "%.4f %.4f\n", 10 * log(voiced / (count * n)) / log(10),
                20 * log(peak) / log(10)
        }'
}

# First pass: make every word in 32-bit float and measure it.
for entry in "${clips[@]}"; do
    name="${entry%%|*}"
    text="${entry#*|}"
    raw="$tmp/$name.raw.wav"

    espeak-ng -v "$VOICE" -m -z -p "$PITCH" -s "$SPEED" -g "$WORDGAP" -w "$raw" \
        "<speak><prosody range=\"x-low\">$text</prosody></speak>"

    # 1. trim the voice, 2. a small, short room reverb so the word sounds held
    # rather than clipped, 3. trim the reverb tail again; then, in a pass of
    # its own because fade needs to know the length, 4. 5 ms fade in and
    # 15 ms fade out against clicks.
    sox "$raw" -t wav -e floating-point -b 32 "$tmp/$name.trim.wav" \
        "${TRIM[@]}" \
        reverb 12 60 25 100 0 0 \
        "${TRIM[@]}"
    sox "$tmp/$name.trim.wav" "$tmp/$name.wav" fade t 0.005 -0 0.015

    echo "$name $(voiced_rms_and_peak "$tmp/$name.wav")" >> "$tmp/levels"
done

# The common voiced RMS: each clip allows at most CEILING minus its own
# peak-to-voiced-RMS ratio; the strictest clip sets the level for all.
target="$(awk -v ceiling="$CEILING" '
    { allowed = ceiling - ($3 - $2) }
    NR == 1 || allowed < target { target = allowed }
    END { printf "%.4f\n", target }' "$tmp/levels")"

# Second pass: gain each clip to the target, then dither to 16 bit so the clip
# never contains digital silence (the program finds the pauses between clips
# as runs of exact zero samples). -R seeds the dither with a fixed value, so
# reruns give identical files.
while read -r name rms _; do
    sox -R "$tmp/$name.wav" "${FORMAT[@]}" "$here/$name.wav" \
        gain "$(awk -v t="$target" -v r="$rms" 'BEGIN { printf "%.4f", t - r }')" \
        dither -s
done < "$tmp/levels"

# 100 ms of digital silence (2205 zero samples). -D: no dither, so every
# sample stays exactly zero.
sox -D -r "$RATE" -c 1 -n "${FORMAT[@]}" "$here/silence.wav" trim 0 2205s

echo "make_clips.sh: wrote $(( ${#clips[@]} + 1 )) clips to $here" \
    "(words at $target dBFS voiced RMS)"
