#!/usr/bin/env bash
# Makes the release archives: dist/brimvale-VERSION-win32.zip and
# dist/brimvale-VERSION-win64.zip, each holding brimvale.exe and the user
# guide README.txt, and dist/brimvale-VERSION-sha256.txt with their SHA-256
# checksums. VERSION is the project() version in CMakeLists.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
jobs=$(nproc 2>/dev/null || echo 2)
version=""
zips=()
mkdir -p "$root/dist"
for tree in win:i686 win64:x86_64; do
  dir=${tree%%:*} arch=${tree#*:}
  build="$root/build/$dir"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$arch-mingw.cmake" >/dev/null
  cmake --build "$build" -j"$jobs" --target brimvale >/dev/null
  # version.txt: "VERSION FOUR-PART-VERSION SUFFIX", written by CMake.
  read -r version _ suffix <"$build/version.txt"
  stage=$(mktemp -d)
  cp "$build/brimvale.exe" "$stage/brimvale.exe"
  # The guide with Windows line ends, so that every Notepad shows its lines.
  sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/docs/user-guide.txt" >"$stage/README.txt"
  touch -d '2000-01-01 00:00:00' "$stage"/*   # same archive from the same program
  zip="brimvale-$version-$suffix.zip"
  rm -f "$root/dist/$zip"
  (cd "$stage" && zip -q -X "$root/dist/$zip" brimvale.exe README.txt)
  rm -rf "$stage"
  zips+=("$zip")
done
(cd "$root/dist" && sha256sum "${zips[@]}" >"brimvale-$version-sha256.txt")
for z in "${zips[@]}" "brimvale-$version-sha256.txt"; do echo "dist/$z"; done
