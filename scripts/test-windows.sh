#!/usr/bin/env bash
# Builds the 32-bit Windows program with MinGW-w64 and tests it under Wine, on Debian 12 with no
# display and no sound card (Xvfb stands in for the one, a PulseAudio null sink for the other):
#   1. the build: brumbesang.exe (32-bit, needing only DLLs that come with Windows), its folder
#      with the 40 clips, and brumbesang-win32.zip;
#   2. the core's unit tests, cross-compiled and run under Wine;
#   3. the version record, read back out of the executable by Windows' own functions;
#   4. the real program under Wine: its window, its verse boxes, and the verses it sings, recorded
#      from the null sink.
# Installs what it needs itself. Run from anywhere, as root or as a user who may use sudo. Leaves
# a picture of the window in build-win32/window-windows.png.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=$ROOT/build-win32
TOOLS=$ROOT/build-native-tools

echo "== install"
bash scripts/install.sh \
  cmake make g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 googletest libx11-dev clang-format \
  pulseaudio pulseaudio-utils xvfb xauth xdotool imagemagick sox

# The shipped program is 32-bit. Where this machine runs 32-bit programs, it is the one tested
# under Wine; where it cannot (some kernels and sandboxes refuse them), the same code built for
# x86_64 is tested under wine64 instead. Trying a tiny 32-bit program tells which;
# BRUMBESANG_WINE64=1 takes the 64-bit way on any machine.
runs_32bit() {
  local probe
  probe=$(mktemp -d)
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$probe/exit.s"
  as --32 -o "$probe/exit.o" "$probe/exit.s" && ld -m elf_i386 -o "$probe/exit" "$probe/exit.o" &&
    "$probe/exit" 2>/dev/null
  local status=$?
  rm -rf "$probe"
  return $status
}
if [ -z "${BRUMBESANG_WINE64:-}" ] && runs_32bit; then
  echo "this machine runs 32-bit programs: the 32-bit program is tested under wine32"
  WINE_BUILD=$BUILD WINEARCH=win32
  bash scripts/install.sh wine wine32:i386 libpulse0:i386
else
  why="this machine cannot run 32-bit programs"
  [ -z "${BRUMBESANG_WINE64:-}" ] || why="BRUMBESANG_WINE64 is set"
  echo "$why: the program built for x86_64 is tested under wine64"
  WINE_BUILD=$ROOT/build-win64 WINEARCH=win64
  bash scripts/install.sh wine wine64
fi
export WINEARCH

echo "== format"
clang-format --dry-run --Werror $(git ls-files 'src/window/win32/*' 'src/platform/*win32*' \
  'src/platform/*winmm*' 'tests/wine/*.cpp')

echo "== build"
cmake -S . -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRUMBESANG_TESTS=ON -DBRUMBESANG_WERROR=ON >/dev/null
cmake --build "$BUILD" -j "$(nproc)"
if [ "$WINE_BUILD" != "$BUILD" ]; then
  cmake -S . -B "$WINE_BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/x86_64-w64-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRUMBESANG_TESTS=ON -DBRUMBESANG_WERROR=ON >/dev/null
  cmake --build "$WINE_BUILD" -j "$(nproc)"
fi
mkdir -p "$TOOLS"
for tool in clipscan xclose opens; do
  libs=""
  [ "$tool" = xclose ] && libs=-lX11
  g++ -std=c++17 -O2 -Wall -Wextra -Werror "tests/e2e/$tool.cpp" -o "$TOOLS/$tool" $libs
done

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

echo "== the package"
EXE=$BUILD/brumbesang/brumbesang.exe
format=$(i686-w64-mingw32-objdump -f "$EXE" | sed -n 's/.*file format //p')
[ "$format" = pei-i386 ] || fail "brumbesang.exe is [$format], expected [pei-i386]"
# Only DLLs that every Windows from 7 on has; libgcc, libstdc++ and winpthread are linked in.
extra=$(i686-w64-mingw32-objdump -p "$EXE" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' |
  grep -vxE 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|COMCTL32.DLL|WINMM.DLL|MSVCRT.DLL' | xargs || true)
[ -z "$extra" ] || fail "brumbesang.exe needs [$extra], expected only DLLs that come with Windows"
want=$( (echo brumbesang/brumbesang.exe; git ls-files 'clips/*.wav' | sed 's|^clips/|brumbesang/|') | sort)
got=$(cmake -E tar tf "$BUILD/brumbesang-win32.zip" | sort)
[ "$got" = "$want" ] || fail "brumbesang-win32.zip holds [$(echo $got)], expected [$(echo $want)]"
[ "$(echo "$want" | grep -c '\.wav$')" -eq 40 ] || fail "the package has $(echo "$want" | grep -c '\.wav$') clips, expected 40"
echo "brumbesang.exe: 32-bit, imports $(i686-w64-mingw32-objdump -p "$EXE" | sed -n 's/^\s*DLL Name: //p' | xargs)"
echo "brumbesang-win32.zip: the executable and $(echo "$want" | grep -c '\.wav$') clips"

# ---- Wine, a display and a sound server of the tests' own, all under one temporary folder.
SCRATCH=$(mktemp -d /tmp/brumbesang-wine.XXXXXX)
XVFB=""
PULSE=""
KEEPER=""
cleanup() {
  set +e
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
  [ -n "$KEEPER" ] && kill "$KEEPER" 2>/dev/null && wait "$KEEPER" 2>/dev/null
  [ -n "$PULSE" ] && kill "$PULSE" 2>/dev/null && wait "$PULSE" 2>/dev/null
  [ -n "$XVFB" ] && kill "$XVFB" 2>/dev/null && wait "$XVFB" 2>/dev/null
  rm -rf "$SCRATCH"
}
trap cleanup EXIT

export HOME=$SCRATCH/home XDG_RUNTIME_DIR=$SCRATCH/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

echo "== display and sound server"
exec 3>"$SCRATCH/display"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp >"$SCRATCH/xvfb.log" 2>&1 &
XVFB=$!
exec 3>&-
for _ in $(seq 1 100); do [ -s "$SCRATCH/display" ] && break; sleep 0.1; done
[ -s "$SCRATCH/display" ] || fail "Xvfb did not start: $(cat "$SCRATCH/xvfb.log")"
export DISPLAY=:$(head -n 1 "$SCRATCH/display")

# A null sink at 48 kHz mono that never suspends, so its monitor streams exact zeros between
# sounds; only the modules named here are loaded (-n), and the daemon stays up however idle.
export SINK=capture
cat >"$SCRATCH/pulse.pa" <<EOF
load-module module-native-protocol-unix auth-anonymous=1
load-module module-null-sink sink_name=$SINK format=s16le rate=48000 channels=1
set-default-sink $SINK
EOF
pulseaudio --daemonize=no --system=false --exit-idle-time=-1 --disallow-exit -n \
  -F "$SCRATCH/pulse.pa" --log-target=file:"$SCRATCH/pulse.log" >/dev/null 2>&1 &
PULSE=$!
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
for _ in $(seq 1 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || fail "pulseaudio did not start: $(tail -n 5 "$SCRATCH/pulse.log")"
# With nothing playing, the null sink renders up to 2 s ahead, and a recording of its monitor
# started then loses its first sounds. A stream of zeros with a short latency keeps the sink in
# step with the clock; mixed with the program's sound, zeros change nothing.
pacat -d "$SINK" --format=s16le --rate=48000 --channels=1 --raw --latency-msec=10 </dev/zero &
KEEPER=$!
sink_latency_us() {
  pactl list sinks | sed -n 's/^\s*Latency: \([0-9]*\) usec.*/\1/p' | head -n 1
}
for _ in $(seq 1 100); do [ "$(sink_latency_us)" -lt 50000 ] && break; sleep 0.1; done
[ "$(sink_latency_us)" -lt 50000 ] || fail "the null sink's latency is $(sink_latency_us) us, expected below 50000"
echo "display $DISPLAY, sound server $PULSE_SERVER, sink $SINK"

echo "== Wine prefix"
export WINEPREFIX=$SCRATCH/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no offer to install Mono or Gecko
mkdir -p "$WINEPREFIX"
wineserver -p # stays up until the end, so that each program starts at once
wineboot -i >"$SCRATCH/wineboot.log" 2>&1
# Wine draws the window's frame and caption itself, as Windows does, since no window manager will.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null

echo "== unit tests under Wine"
wine "$WINE_BUILD/tests/core_tests.exe" --gtest_brief=1 | tr -d '\r'

echo "== version record"
wine "$WINE_BUILD/inspect.exe" version "$(winepath -w "$EXE")" | tr -d '\r' >"$SCRATCH/version.txt"
cat "$SCRATCH/version.txt"
expect_version() {
  local got
  got=$(awk -F'\t' -v name="$1" '$1 == name { print $2 }' "$SCRATCH/version.txt")
  [ "$got" = "$2" ] || fail "the version record's $1 is [$got], expected [$2]"
}
expect_version FILEVERSION 1.0.0.0
expect_version PRODUCTVERSION 1.0.0.0
expect_version FileVersion 1.00
expect_version ProductVersion 1.00
expect_version ProductName Brumbesang
expect_version FileDescription "Syng en brumbesang!"

BUILD=$WINE_BUILD
export BUILD TOOLS
for test in verse_boxes sing_verses window; do
  echo "== end to end under Wine: $test"
  script=tests/wine/$test.sh
  [ -f "$script" ] || script=tests/e2e/$test.sh  # the same steps as on Linux
  # Wine's sound path, a new PulseAudio stream for every sound, now and then garbles a sound on
  # a busy machine beyond what the tests allow for (tests/wine/lib.sh says what they do). A
  # test that fails is run up to twice more; what the earlier runs saw stays in the log above.
  for try in 1 2 3; do
    E2E_LIB=tests/wine/lib.sh SCREENSHOT=$BUILD/window-windows.png bash "$script" && break
    [ "$try" -lt 3 ] || exit 1
    echo "== end to end under Wine: $test failed; once more"
  done
done

echo "== the Windows program: all tests passed"
