#!/usr/bin/env bash
# Configures and builds the three trees: build/native (pure rules and their
# tests, host compiler, sanitizers), build/win (the 32-bit i686 Windows program
# and tests) and build/win64 (the same sources as a 64-bit x86_64 program).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/native" -j"$jobs"
for tree in win:i686 win64:x86_64; do
  dir=${tree%%:*} arch=${tree#*:}
  cmake -S "$root" -B "$root/build/$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$arch-mingw.cmake" >/dev/null
  cmake --build "$root/build/$dir" -j"$jobs"
done
