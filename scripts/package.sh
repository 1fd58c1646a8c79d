#!/usr/bin/env bash
# Makes the release files in dist/:
# - brimvale-VERSION-win32.zip and brimvale-VERSION-win64.zip, each holding
#   brimvale.exe and the user guide README.txt;
# - brimvale-VERSION-setup.exe, the installer for both (installer/brimvale.nsi,
#   made with NSIS): on 64-bit Windows it installs the 64-bit program;
# - brimvale-VERSION-sha256.txt with the SHA-256 checksums of all three;
# - winget/, the winget manifest of the installer (version, installer and
#   default-locale files), naming the installer's checksum and its address.
# VERSION is the project() version in CMakeLists.txt.
#
# The installer's address in the winget manifest: the folder the release
# files are published in, followed by the installer's file name. Set
# BRIMVALE_DOWNLOAD_BASE to the real folder when making a release; the
# default only shows the shape (it is not a real download).
download_base=${BRIMVALE_DOWNLOAD_BASE:-https://downloads.example.com/brimvale/@VERSION@}
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
jobs=$(nproc 2>/dev/null || echo 2)
version="" version4=""
files=()
programs=()
mkdir -p "$root/dist"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
for tree in win:i686 win64:x86_64; do
  dir=${tree%%:*} arch=${tree#*:}
  build="$root/build/$dir"
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$arch-mingw.cmake" >/dev/null
  cmake --build "$build" -j"$jobs" --target brimvale >/dev/null
  # version.txt: "VERSION FOUR-PART-VERSION SUFFIX", written by CMake.
  read -r version version4 suffix <"$build/version.txt"
  mkdir "$stage/$suffix"
  cp "$build/brimvale.exe" "$stage/$suffix/brimvale.exe"
  # The guide with Windows line ends, so that every Notepad shows its lines.
  sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$root/docs/user-guide.txt" >"$stage/$suffix/README.txt"
  touch -d '2000-01-01 00:00:00' "$stage/$suffix"/*   # same files from the same program
  zip="brimvale-$version-$suffix.zip"
  rm -f "$root/dist/$zip"
  (cd "$stage/$suffix" && zip -q -X "$root/dist/$zip" brimvale.exe README.txt)
  files+=("$zip")
  programs+=("$stage/$suffix/brimvale.exe")
done

setup="brimvale-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DVERSION4="$version4" \
         -DEXE32="${programs[0]}" -DEXE64="${programs[1]}" -DGUIDE="$stage/win32/README.txt" \
         -DOUTFILE="$root/dist/$setup" "$root/installer/brimvale.nsi" >/dev/null
files+=("$setup")
(cd "$root/dist" && sha256sum "${files[@]}" >"brimvale-$version-sha256.txt")

# The winget manifest: one installer for x86 and x64 (it chooses the program
# itself), machine scope, NSIS's own switches (/S, /D=).
winget="$root/dist/winget"
rm -rf "$winget"
mkdir -p "$winget"
url="${download_base//@VERSION@/$version}/$setup"
sha=$(sha256sum "$root/dist/$setup" | cut -d' ' -f1 | tr a-f A-F)
schema=1.12.0
id=Palvo.Brimvale
cat >"$winget/$id.yaml" <<YAML
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.version.$schema.schema.json
PackageIdentifier: $id
PackageVersion: $version
DefaultLocale: en-US
ManifestType: version
ManifestVersion: $schema
YAML
cat >"$winget/$id.installer.yaml" <<YAML
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.installer.$schema.schema.json
PackageIdentifier: $id
PackageVersion: $version
InstallerType: nullsoft
Scope: machine
ElevationRequirement: elevatesSelf
UpgradeBehavior: install
ProductCode: Brimvale
Installers:
- Architecture: x86
  InstallerUrl: $url
  InstallerSha256: $sha
- Architecture: x64
  InstallerUrl: $url
  InstallerSha256: $sha
ManifestType: installer
ManifestVersion: $schema
YAML
cat >"$winget/$id.locale.en-US.yaml" <<YAML
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.defaultLocale.$schema.schema.json
PackageIdentifier: $id
PackageVersion: $version
PackageLocale: en-US
Publisher: Palvo
PackageName: Brimvale
Moniker: brimvale
License: Freeware
ShortDescription: A small resident memory monitor and optimiser with a tray icon.
ManifestType: defaultLocale
ManifestVersion: $schema
YAML

for f in "${files[@]}" "brimvale-$version-sha256.txt"; do echo "dist/$f"; done
for f in "$winget"/*; do echo "dist/winget/${f##*/}"; done
