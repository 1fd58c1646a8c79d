#!/usr/bin/env bash
# Draws the tray picture for 7 MB, 594 MB, 1,234 MB (low memory: the red
# bar), 9,999 MB, 23 G, 999 G, 1 T and a clean at work at the taskbar's sizes
# (16, 20, 24 and 32 pixels) with the program's own drawing code under Wine
# (tools/tray_pictures.cpp, 32-bit build). Saves each enlarged eight times
# without smoothing, and one sheet of all of them at their real size on a
# light and on a dark background (sheet.png), as PNG files under docs/tray/.
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
rm -f "$root/docs/tray/"*.png
# No time stamps in the files: drawing the same pictures again changes nothing.
stable="-strip -define png:exclude-chunks=date,time"
figures=(7MB 594MB 1234MB 9999MB 23G 999G 1T cleaning)
rows=()
for figure in "${figures[@]}"; do
  row=()
  for size in 16 20 24 32; do
    convert "$out/$figure-${size}px.ppm" -filter point -resize 800% $stable "$root/docs/tray/$figure-${size}px.png"
    row+=("$out/$figure-${size}px.ppm")
  done
  # Real size: pictures of one figure side by side, 8 pixels apart, aligned at the bottom.
  convert "${row[@]}" -background none -gravity east -splice 8x0 -gravity south +append +repage "$out/row-$figure.png"
  rows+=("$out/row-$figure.png")
done
convert "${rows[@]}" -background none -gravity south -splice 0x8 -gravity west -append +repage "$out/all.png"
# The same sheet on a light and on a dark background, side by side.
convert "$out/all.png" -bordercolor none -border 8 +repage \( +clone -background '#f3f3f3' -flatten \) \
  \( -clone 0 -background '#202020' -flatten \) -delete 0 +append $stable "$root/docs/tray/sheet.png"
echo "tray pictures written to docs/tray/"
