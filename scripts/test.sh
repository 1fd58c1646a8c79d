#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the pure
# rules natively, then the unit tests and the end-to-end driver under Wine,
# for the 32-bit program in a fresh 32-bit prefix and for the 64-bit program
# in a fresh 64-bit prefix, each with its own display when there is none.
# Extra arguments go to both ctest runs (for example -R unit_wine).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
trap wine_session_stop EXIT
ctest --test-dir "$root/build/native" --output-on-failure
status=0
for suite in win:win32 win64:win64; do
  dir=${suite%%:*}
  echo "== ${suite#*:} program ($dir)"
  BRIMVALE_WINEARCH=${suite#*:} wine_session_start "$root/build/$dir/wineprefix" fresh
  ctest --test-dir "$root/build/$dir" --output-on-failure "$@" || status=1
  wine_session_stop
done
# The release archives: made from both builds, unpacked and checked.
echo "== release archives"
bash "$root/scripts/check-package.sh" || status=1
exit $status
