#!/usr/bin/env bash
# Installs what is missing, builds, and runs Brimvale under Wine. With a
# display it shows there; without one it starts a private Xvfb, saves a
# screenshot of the main window after a few seconds and keeps running until
# Ctrl-C. Extra arguments are passed to the program (for example /m).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
headless=0; [ -z "${DISPLAY:-}" ] && headless=1
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
trap wine_session_stop EXIT
wine_session_start "$root/build/win/runprefix"
cp "$root/build/win/brimvale.exe" "$WINEPREFIX/drive_c/work/brimvale.exe"
cd "$WINEPREFIX/drive_c/work"
wine brimvale.exe "$@" &
app=$!
if [ "$headless" = 1 ]; then
  shot="$root/build/screenshot.png"
  sleep 5
  win=$(xdotool search --name '^Brimvale$' 2>/dev/null | head -n 1 || true)
  import -display "$DISPLAY" -window "${win:-root}" "$shot" 2>/dev/null \
    && echo "Screenshot of the main window saved to $shot" \
    || echo "Could not take a screenshot (is imagemagick installed?)"
  echo "Brimvale is running on the virtual display $DISPLAY; press Ctrl-C to stop."
fi
wait "$app" || true
