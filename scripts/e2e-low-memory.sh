#!/usr/bin/env bash
# Runs the end-to-end driver's low-memory group with the commit charge near
# its limit: Wine takes the free page file from /proc/meminfo, so a private
# copy showing 200 MB available and no swap is bind-mounted over it in a
# mount namespace of this run alone (the driver and the programs it starts
# see it; nothing else on the machine does). Needs root and unshare; without
# them the group is skipped (exit code 77). Runs in the Wine session the
# caller has started (its WINEPREFIX).
# Usage: e2e-low-memory.sh E2E_DRIVER.exe BRIMVALE.exe   (CTest: e2e_low_memory)
set -euo pipefail
driver=$1 program=$2
[ -n "${WINEPREFIX:-}" ] || { echo "e2e-low-memory: no WINEPREFIX: run inside a Wine session" >&2; exit 2; }
if [ "$(id -u)" != 0 ] || ! command -v unshare >/dev/null; then
  echo "e2e-low-memory: needs root and unshare: skipped"
  exit 77
fi
meminfo=$(mktemp)
trap 'rm -f "$meminfo"' EXIT
awk '$1 == "MemFree:" || $1 == "MemAvailable:" { print $1, 204800, "kB"; next }
     $1 == "Buffers:" || $1 == "Cached:" || $1 ~ /^Swap(Total|Free|Cached):$/ { print $1, 0, "kB"; next }
     { print }' /proc/meminfo >"$meminfo"
unshare --mount --propagation private bash -c '
  mount --bind "$1" /proc/meminfo
  cd "$WINEPREFIX/drive_c/work"
  timeout 300 wine "$2" "$3" --gtest_filter="LowMemory.*"' low-memory "$meminfo" "$driver" "$program" | tr -d '\r'
