#!/usr/bin/env bash
# Configures and builds the three trees: build/native (pure rules and their
# tests, host compiler, sanitizers), build/win (the 32-bit i686 Windows program
# and tests) and build/win64 (the same sources as a 64-bit x86_64 program).
# Usage: scripts/build.sh [native] [win] [win64]   (default: all three)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(native win win64)
for dir in "${trees[@]}"; do
  case $dir in
    native)
      cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null ;;
    win | win64)
      arch=i686; [ "$dir" = win64 ] && arch=x86_64
      cmake -S "$root" -B "$root/build/$dir" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$arch-mingw.cmake" >/dev/null ;;
    *)
      echo "build.sh: no tree named $dir (native, win, win64)" >&2
      exit 2 ;;
  esac
  cmake --build "$root/build/$dir" -j"$jobs"
done
