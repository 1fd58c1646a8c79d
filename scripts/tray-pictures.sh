#!/usr/bin/env bash
# Draws the tray picture for 594 MB, 1,234 MB, 9,999 MB and 23 G at the
# taskbar's sizes (16, 20, 24 and 32 pixels) with the program's own drawing
# code under Wine (tools/tray_pictures.cpp, 32-bit build), and saves each, and
# one sheet of all of them, enlarged eight times without smoothing, as PNG
# files under docs/tray/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
[ -f "$root/build/win/CMakeCache.txt" ] || bash "$root/scripts/build.sh"
cmake --build "$root/build/win" --target tray_pictures -j2 >/dev/null
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
trap wine_session_stop EXIT
wine_session_start "$root/build/win/wineprefix"
out="$WINEPREFIX/drive_c/work/tray-pictures"
rm -rf "$out" && mkdir -p "$out"
(cd "$WINEPREFIX/drive_c/work" && timeout 120 wine "$root/build/win/tray_pictures.exe" 'C:\work\tray-pictures')
mkdir -p "$root/docs/tray"
# No time stamps in the files: drawing the same pictures again changes nothing.
stable="-strip -define png:exclude-chunks=date,time"
rows=()
for figure in 594MB 1234MB 9999MB 23G; do
  row=()
  for size in 16 20 24 32; do
    convert "$out/$figure-${size}px.ppm" -filter point -resize 800% $stable "$root/docs/tray/$figure-${size}px.png"
    row+=("$root/docs/tray/$figure-${size}px.png")
  done
  # A grey gap right of each picture; pictures of one figure side by side, aligned at the bottom.
  convert "${row[@]}" -background '#c0c0c0' -gravity east -splice 16x0 -gravity south +append "$out/row-$figure.png"
  rows+=("$out/row-$figure.png")
done
convert "${rows[@]}" -background '#c0c0c0' -gravity south -splice 0x16 -gravity west -append $stable "$root/docs/tray/sheet.png"
echo "tray pictures written to docs/tray/"
