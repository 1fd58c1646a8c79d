#!/usr/bin/env bash
# Runs the end-to-end driver's taskbar-scale group once at each display scale
# a user picks most (100, 125, 150 and 200 %: the prefix's LogPixels 96, 120,
# 144 and 192), in the Wine session the caller has started (its WINEPREFIX).
# Wine's shell reads the scale when it starts and keeps it, so the session's
# wineserver is restarted for every scale; the scale is put back to 96 at the
# end, with the server persistent again as the session had it.
# Usage: e2e-tray-scales.sh E2E_DRIVER.exe BRIMVALE.exe   (CTest: e2e_tray_scales)
set -euo pipefail
driver=$1 program=$2
[ -n "${WINEPREFIX:-}" ] || { echo "e2e-tray-scales: no WINEPREFIX: run inside a Wine session" >&2; exit 2; }
key='HKCU\Control Panel\Desktop'
restart_session() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -p >/dev/null 2>&1 || true
  timeout 60 wine cmd /c exit >/dev/null 2>&1 || true
}
status=0
for dpi in 96 120 144 192; do
  echo "== LogPixels $dpi"
  timeout 60 wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  restart_session
  (cd "$WINEPREFIX/drive_c/work" && timeout 300 wine "$driver" "$program" --gtest_filter='TaskbarScale.*') | tr -d '\r' ||
    status=1
done
timeout 60 wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
restart_session
exit $status
