#!/usr/bin/env bash
# Builds the project and runs every benchmark under Wine in a private prefix
# (its own display when there is none). Each benchmark prints its medians and
# its ratio against the baseline it measures in the same run.
# Usage: scripts/bench.sh [--win64] [name ...]   (default: every bench/*_bench.cpp)
#        a name may carry the benchmark's arguments in quotes: "endurance_bench 3600"
#        --win64 runs the 64-bit build's benchmarks (build/win64, a 64-bit prefix);
#        without it the 32-bit build's (build/win, a 32-bit prefix).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=win arch=i686
if [ "${1:-}" = --win64 ]; then
  tree=win64 arch=x86_64
  export BRIMVALE_WINEARCH=win64
  shift
fi
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" >/dev/null
# The baseline programs are stripped like brimvale.exe (linked with -s), so
# that none carries symbols the others lack into its start or its memory.
$arch-w64-mingw32-strip "$root/build/$tree/empty_window.exe" "$root/build/$tree/windows_floor.exe"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
trap wine_session_stop EXIT
wine_session_start "$root/build/$tree/benchprefix"
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  # Every benchmark; empty_window and windows_floor are baseline programs the others start.
  for f in "$root"/bench/*_bench.cpp; do names+=("$(basename "$f" .cpp)"); done
fi
for n in "${names[@]}"; do
  # A name may carry arguments: "startup_bench 5".
  read -r -a words <<<"$n"
  echo "== $n"
  status=0
  WINE_RUN_TIMEOUT=1800 "$root/scripts/wine-run" "$root/build/$tree/${words[0]}.exe" "${words[@]:1}" | tr -d '\r' ||
    status=$?
  [ "$status" -eq 0 ] || echo "   ($n ended with status $status)"
done
