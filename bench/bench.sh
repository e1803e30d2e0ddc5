#!/usr/bin/env bash
# Figures for a verse run of the real program with the real clips, under Xvfb, its sound written
# to a file by SDL's disk driver (which keeps real time, as a sound card does):
#   - CPU seconds the program used per second of singing (a waiting program uses next to none),
#   - the gap between two clips of a verse against the silence clip's length (median and worst),
#   - the time from starting the program to its window being shown,
#   - the program's peak memory.
#
#   bash bench/bench.sh [FIRST_VERSE] [LAST_VERSE]      (default 21 40: twenty verses)
#
# Needs a built program in build/ (scripts/test.sh or scripts/run.sh makes one; BUILD=folder
# names another), xvfb-run and xdotool. Prints the figures beside the program's goals for them;
# it checks nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
FIRST=${1:-21}
LAST=${2:-40}

if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 640x480x24" bash "$0" "$@"; fi

BIN=${BUILD:-build}
TOOLS=$BIN/tests
export BIN TOOLS
source tests/e2e/lib.sh

cp clips/*.wav "$WORK/"
: >"$WORK/tags"  # the real clips carry no tags: only the sounds' places in time are read

# Time to the window: from just before the start to the window being mapped.
cp "$BIN/brumbesang" "$WORK/brumbesang"
t0=$(date +%s%N)
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/played.raw" "$WORK/brumbesang" 2>/dev/null &
PID=$!
until WIN=$(xdotool search --onlyvisible --name '^Syng en brumbesang!$' 2>/dev/null | head -n 1) &&
  [ -n "$WIN" ]; do sleep 0.002; done
t1=$(date +%s%N)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$PID/stat"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

type_box start "$FIRST"
type_box end "$LAST"
sleep 0.3
ticks0=$(cpu_ticks)
ms0=$(now_ms)
click play

# The run is over once nothing has sounded for a second and a half.
sleep 1
while :; do
  sleep 0.5
  last_end=$(played | awk 'END { print $2 + $3 }')
  file_ms=$(($(stat -c %s "$WORK/played.raw") / 96))
  awk -v e="$last_end" -v f="$file_ms" 'BEGIN { exit !(f - e > 1500) }' && break
done
ticks1=$(cpu_ticks)
# Singing ended when the last sound did, that long before the end of what was written.
ms1=$(($(now_ms) - file_ms + ${last_end%.*}))
peak_kb=$(awk '/VmHWM/ { print $2 }' "/proc/$PID/status")
close_window

hz=$(getconf CLK_TCK)
played >"$WORK/sounds"
# Within a verse one silence clip lies between two clips; between verses, two and a tick.
awk 'NR > 1 && $4 < 150 { print $4 - 100 }' "$WORK/sounds" | sort -n >"$WORK/gaps"
awk -v verses=$((LAST - FIRST + 1)) -v sounds="$(wc -l <"$WORK/sounds")" -v cpu=$((ticks1 - ticks0)) \
  -v hz="$hz" -v wall=$((ms1 - ms0)) -v shown=$(((t1 - t0) / 1000000)) -v peak="$peak_kb" '
  { gap[NR] = $1; a = $1 < 0 ? -$1 : $1; if (a > worst) { worst = a; signed = $1 } }
  END {
    n = NR
    median = n % 2 ? gap[(n + 1) / 2] : (gap[n / 2] + gap[n / 2 + 1]) / 2
    printf "verses sung:                    %d (%d sounds)\n", verses, sounds
    printf "singing time:                   %.1f s\n", wall / 1000
    printf "CPU per second of singing:      %.4f s/s (goal: under 0.02)\n", cpu / hz / (wall / 1000)
    printf "gap between clips vs silence:   median %+.1f ms, worst %+.1f ms (%d gaps; silence 100 ms;\n", median, signed, n
    printf "                                goal: median within 3 ms, worst within 10 ms)\n"
    printf "start to window shown:          %d ms (goal: within 150 ms)\n", shown
    printf "peak memory (VmHWM):            %.1f MB (goal: under 30 MB)\n", peak / 1024
  }' "$WORK/gaps"
