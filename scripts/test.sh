#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the pure
# rules natively, then the unit tests and the end-to-end driver under Wine in
# a fresh private prefix with its own display when there is none.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
trap wine_session_stop EXIT
ctest --test-dir "$root/build/native" --output-on-failure
wine_session_start "$root/build/win/wineprefix" fresh
ctest --test-dir "$root/build/win" --output-on-failure "$@"
