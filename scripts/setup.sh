#!/usr/bin/env bash
# Installs everything Brimvale needs to build and test on Debian: the i686 and
# x86_64 mingw-w64 cross compilers (POSIX thread model for the tests, win32 for
# the shipped program), Wine (32- and 64-bit), zip, unzip and NSIS (makensis) for the releases, a virtual X display, CMake and
# GoogleTest sources, and Liberation Sans, which Wine takes (through fontconfig) for
# "Arial" and the program's other faces: it has Arial's metrics, so every prefix
# lays text out as Windows does. Idempotent and quick when everything is present.
set -euo pipefail

need=(g++ g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 mingw-w64-i686-dev
      g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32 mingw-w64-x86-64-dev
      wine wine32:i386 wine64 xvfb xauth cmake make googletest fonts-wine fonts-liberation xdotool imagemagick
      zip unzip nsis python3)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "setup: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
