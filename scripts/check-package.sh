#!/usr/bin/env bash
# Makes the release archives with scripts/package.sh, then unpacks each one
# and checks it: exactly brimvale.exe and README.txt, a program of the
# archive's architecture whose version resource (the fixed numbers and the
# FileVersion and ProductVersion texts) says the project's version, a guide
# that names that version, and checksums that match.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/package.sh" >/dev/null
version=$(sed -n 's/^project(Brimvale VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "check-package: no version in CMakeLists.txt"; exit 1; }
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi; }
for suffix in win32 win64; do
  zip="$root/dist/brimvale-$version-$suffix.zip"
  check "$suffix archive exists" '[ -f "$zip" ]' || continue
  dir=$(mktemp -d)
  unzip -q "$zip" -d "$dir"
  check "$suffix holds brimvale.exe and README.txt only" \
        '[ "$(cd "$dir" && find . -type f | sort | tr "\n" " ")" = "./README.txt ./brimvale.exe " ]'
  facts=$(python3 "$root/scripts/pe-version.py" "$dir/brimvale.exe" || true)
  check "$suffix program is a $suffix program" 'grep -qx "machine $suffix" <<<"$facts"'
  check "$suffix version resource says $version.0 (fixed numbers and texts)" \
        '[ "$(grep -c " $version.0$" <<<"$facts")" = 4 ]'
  check "$suffix guide names $version" 'grep -q "brimvale-$version-$suffix.zip" "$dir/README.txt"'
  rm -rf "$dir"
done
check "checksums match" '(cd "$root/dist" && sha256sum --quiet -c "brimvale-$version-sha256.txt")'
exit $fail
