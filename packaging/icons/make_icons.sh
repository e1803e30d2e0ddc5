#!/usr/bin/env bash
# Renders packaging/icons/brumbesang.svg into the icon files that are kept in the repository:
#   packaging/icons/hicolor/<N>x<N>/apps/brumbesang.png  for N = 16, 32, 48, 128, 256 (Linux, freedesktop)
#   packaging/windows/brumbesang.ico  with 16, 32, 48 and 256 px images (the 256 px one PNG-compressed)
#   packaging/web/icon-<N>.png  for N = 192, 512 (the web app manifest's)
# Needs the Debian packages librsvg2-bin (rsvg-convert) and icoutils (icotool):
#   apt-get install -y --no-install-recommends librsvg2-bin icoutils
# Runs from any directory. The output is reproducible: rsvg-convert writes no timestamps.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
svg=$here/brumbesang.svg
ico=$here/../windows/brumbesang.ico

for n in 16 32 48 128 256; do
  out=$here/hicolor/${n}x${n}/apps/brumbesang.png
  mkdir -p "$(dirname "$out")"
  rsvg-convert --width "$n" --height "$n" --format png --output "$out" "$svg"
done

for n in 192 512; do
  rsvg-convert --width "$n" --height "$n" --format png --output "$here/../web/icon-$n.png" "$svg"
done

png() { echo "$here/hicolor/$1x$1/apps/brumbesang.png"; }
icotool --create --output "$ico" "$(png 16)" "$(png 32)" "$(png 48)" --raw="$(png 256)"
echo "made $(cd "$here/.." && pwd)/windows/brumbesang.ico and the PNGs under $here/hicolor"
