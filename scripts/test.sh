#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test. The two
# Windows builds come first; then, side by side, the unit tests and the
# end-to-end driver under Wine for the 32-bit program in a fresh 32-bit prefix
# and for the 64-bit program in a fresh 64-bit prefix, each suite with its own
# virtual display; meanwhile the pure rules are built and tested natively and
# the release files are made and checked (the installer under Wine in two
# more fresh prefixes). Each Wine suite writes its output
# to build/<tree>/test-output.txt: a summary of each is printed at the end,
# and the whole output of a suite that failed. The last lines sum up every
# test in ctest's words. The exit status is non-zero when anything failed.
# Extra arguments go to both Wine suites' ctest runs (for example -R unit_wine).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" win win64

# One Wine suite, in a subshell of its own: its prefix, its display (even
# when there is a display already: two suites on one display would take the
# focus from each other), its wineserver; all its output to its file.
run_suite() {  # $1 = tree, $2 = prefix architecture; the rest go to ctest
  local dir=$1 arch=$2
  shift 2
  (
    unset DISPLAY
    # shellcheck source=wine-env.sh
    . "$root/scripts/wine-env.sh"
    trap wine_session_stop EXIT
    BRIMVALE_WINEARCH=$arch wine_session_start "$root/build/$dir/wineprefix" fresh
    wine_session_for_tests
    ctest --test-dir "$root/build/$dir" --output-on-failure "$@"
  ) >"$root/build/$dir/test-output.txt" 2>&1
}

suites=(win:win32 win64:win64)
pids=()
started=$(date +%s)
for suite in "${suites[@]}"; do
  echo "== ${suite#*:} program: running, output in build/${suite%%:*}/test-output.txt"
  run_suite "${suite%%:*}" "${suite#*:}" "$@" &
  pids+=($!)
done
# Stopped with the script, the suites end too (their own traps end their sessions).
trap 'kill "${pids[@]}" 2>/dev/null || true' INT TERM

status=0
echo "== pure rules, natively"
native_log="$root/build/native-test-output.txt"
{ bash "$root/scripts/build.sh" native && ctest --test-dir "$root/build/native" --output-on-failure; } \
  >"$native_log" 2>&1 || status=1
grep -E 'Test +#[0-9]+:|tests passed|Total Test time' "$native_log" || true
[ "$status" -eq 0 ] || cat "$native_log"

# The release files: made from both builds, unpacked, installed and checked.
echo
echo "== release files"
bash "$root/scripts/check-package.sh" || status=1

failed=0 total=0
count() {  # adds ctest's "N% tests passed, F tests failed out of T" of a file to the sums
  local line words
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1 || true)
  if [ -z "$line" ]; then
    failed=$((failed + 1)) total=$((total + 1))  # no result at all counts as one failure
    return
  fi
  read -r -a words <<<"$line"
  failed=$((failed + words[3])) total=$((total + words[8]))
}
count "$native_log"
for i in "${!suites[@]}"; do
  dir=${suites[$i]%%:*}
  suite_status=0
  wait "${pids[$i]}" || suite_status=$?
  log="$root/build/$dir/test-output.txt"
  echo
  if [ "$suite_status" -ne 0 ]; then
    status=1
    echo "== ${suites[$i]#*:} program (build/$dir): FAILED (status $suite_status); its whole output:"
    cat "$log"
  else
    echo "== ${suites[$i]#*:} program (build/$dir): passed"
    grep -E 'Test +#[0-9]+:|tests passed|Total Test time' "$log" || true
  fi
  count "$log"
done
echo
echo "== every suite (native, 32-bit, 64-bit); the Wine suites took $(($(date +%s) - started)) s side by side"
echo "$((total > 0 ? (total - failed) * 100 / total : 0))% tests passed, $failed tests failed out of $total"
[ "$failed" -eq 0 ] || status=1
exit $status
