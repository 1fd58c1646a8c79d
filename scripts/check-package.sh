#!/usr/bin/env bash
# Makes the release files with scripts/package.sh, then checks them.
# The archives: each unpacked holds exactly brimvale.exe and README.txt, a
# program of the archive's architecture whose version resource (the fixed
# numbers and the FileVersion and ProductVersion texts) says the project's
# version, and a guide that names that version. The installer: its version
# resource says the same version; under Wine, in a fresh 32-bit and a fresh
# 64-bit prefix side by side (each with its own display), a silent install
# (files, shortcut, the "Apps & features" entry in the program's registry
# view, the program built for the prefix), an install over a running copy
# (which ends, and one new copy runs), "/exit" with and without a running
# copy, and a silent uninstall (only the settings are left; the autostart
# value is gone). The checksums match; the winget manifest names the
# installer's. Each prefix's output goes to build/installer-<arch>.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/package.sh" >/dev/null
version=$(sed -n 's/^project(Brimvale VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "check-package: no version in CMakeLists.txt"; exit 1; }
setup="$root/dist/brimvale-$version-setup.exe"
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
facts=$(python3 "$root/scripts/pe-version.py" "$setup" || true)
check "installer's version resource says $version.0 (fixed numbers and texts)" \
      '[ "$(grep -c " $version.0$" <<<"$facts")" = 4 ]'
check "checksums match, the installer's too" \
      '(cd "$root/dist" && sha256sum --quiet -c "brimvale-$version-sha256.txt") &&
       grep -q " brimvale-$version-setup.exe$" "$root/dist/brimvale-$version-sha256.txt"'
sha=$(sha256sum "$setup" | cut -d" " -f1 | tr a-f A-F)
check "winget manifest: three files, the installer's checksum for x86 and x64" \
      '[ "$(ls "$root/dist/winget" | wc -l)" = 3 ] &&
       [ "$(grep -c "InstallerSha256: $sha$" "$root/dist/winget/Palvo.Brimvale.installer.yaml")" = 2 ]'

# ---- The installer under Wine, one prefix of each architecture ----
installed() {  # the pids of the installed program running in this prefix
  local pid
  for pid in $(pgrep -f '^C:.Program Files.Brimvale.brimvale\.exe' || true); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
  done
  return 0
}
until_true() {  # $1 = tenths of a second at most, the rest a command
  local n=$1; shift
  for ((; n > 0; n--)); do "$@" && return 0; sleep 0.1; done
  return 1
}
traced() { grep -q "tray icon added" "$1"; }  # the copy writing to $1 shows its tray icon
gone() { [ ! -e "$1" ]; }
# Whether none of the given processes is left (a zombie is left of none). The
# Linux process follows the Windows one a moment later: a second's grace.
ended() {  # $@ = pids
  local pid n left
  for ((n = 10; n > 0; n--)); do
    left=0
    for pid; do
      [ -r "/proc/$pid/stat" ] && ! grep -q '^[0-9]* (.*) Z ' "/proc/$pid/stat" 2>/dev/null && left=1
    done
    [ "$left" = 0 ] && return 0
    sleep 0.1
  done
  return 1
}
entry() {  # the value $1 of the "Apps & features" entry, in the program's registry view
  timeout 30 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brimvale' \
    /v "$1" "/reg:$bits" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
check_installer() (  # $1 = prefix architecture (win32 | win64); prints ok/FAIL lines
  arch=$1 bits=32 tree=win fail=0
  [ "$arch" = win64 ] && bits=64 tree=win64
  started=$(date +%s)
  unset DISPLAY
  # shellcheck source=wine-env.sh
  . "$root/scripts/wine-env.sh"
  logs=$(mktemp -d)
  # The prefix (about 600 MB) is kept only when something failed.
  trap 'wine_session_stop; rm -rf "$logs"; [ "$fail" != 0 ] || rm -rf "$WINEPREFIX"' EXIT
  BRIMVALE_WINEARCH=$arch wine_session_start "$root/build/installer-$arch/wineprefix" fresh
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"  # no Linux menu entries
  cd "$WINEPREFIX/drive_c"
  folder="$WINEPREFIX/drive_c/Program Files/Brimvale" exe='C:\Program Files\Brimvale\brimvale.exe'
  shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Brimvale.lnk"
  ini=$(winepath -u "$(timeout 30 wine cmd /c echo %APPDATA% | tr -d '\r')")/Palvo/Brimvale/Brimvale.ini
  tag="$arch prefix:"
  echo "$tag prefix ready after $(($(date +%s) - started)) s"
  check "$tag silent install succeeds" 'timeout 120 wine "$setup" /S'
  check "$tag program, guide and uninstaller installed" \
        '[ "$(cd "$folder" && ls | tr "\n" " ")" = "README.txt brimvale.exe uninstall.exe " ]'
  check "$tag the $bits-bit program is the one installed" 'cmp -s "$folder/brimvale.exe" "$root/build/$tree/brimvale.exe"'
  check "$tag Start menu shortcut to the program" 'grep -aqi "Brimvale.brimvale.exe" "$shortcut"'
  check "$tag entry: name, version, publisher" \
        '[ "$(entry DisplayName)|$(entry DisplayVersion)|$(entry Publisher)" = "Brimvale|$version|Palvo" ]'
  check "$tag entry: icon, size, location" \
        '[ "$(entry DisplayIcon)" = "$exe,0" ] && [ $(($(entry EstimatedSize))) -gt 100 ] &&
         [ "$(entry InstallLocation)" = "C:\\Program Files\\Brimvale" ]'
  check "$tag entry: uninstall and quiet uninstall" \
        '[ "$(entry UninstallString)" = "\"C:\\Program Files\\Brimvale\\uninstall.exe\"" ] &&
         [ "$(entry QuietUninstallString)" = "\"C:\\Program Files\\Brimvale\\uninstall.exe\" /S" ]'
  [ "$bits" = 64 ] && check "$tag entry only in the 64-bit registry view" '[ -z "$(bits=32 entry DisplayName)" ]'
  echo "$tag install checked after $(($(date +%s) - started)) s"

  # An upgrade while the installed copy runs (tray only, as autostart starts it).
  WINEDEBUG=warn+seh timeout 300 wine "$exe" /m 2>"$logs/old.txt" &
  check "$tag installed copy runs" 'until_true 200 traced "$logs/old.txt"'
  old=$(installed)
  echo "changed" >"$folder/README.txt"
  check "$tag install over the running copy succeeds" \
        'WINEDEBUG=warn+seh timeout 120 wine "$setup" /S 2>"$logs/upgrade.txt"'
  check "$tag the old copy has ended, the files are new" \
        '[ -n "$old" ] && ended $old && cmp -s "$folder/README.txt" <(unzip -p "$root/dist/brimvale-$version-$arch.zip" README.txt)'
  check "$tag one new copy runs" 'until_true 200 traced "$logs/upgrade.txt" && [ "$(installed | wc -w)" = 1 ]'
  echo "$tag upgrade checked after $(($(date +%s) - started)) s"

  # "/exit" with and without a running copy.
  new=$(installed)
  check "$tag /exit ends the running copy and waits for it" \
        'timeout 60 wine "$exe" /exit && [ -n "$new" ] && ended $new'
  check "$tag -EXIT with no copy running ends at once with 0" 'timeout 10 wine "$exe" -EXIT && [ -z "$(installed)" ]'

  # A silent uninstall over a running copy, with autostart and settings.
  timeout 30 wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Brimvale \
    /d "\"$exe\" /m" /f >/dev/null 2>&1
  mkdir -p "$(dirname "$ini")" && printf '[Main]\r\n' >"$ini"
  WINEDEBUG=warn+seh timeout 300 wine "$exe" /m 2>"$logs/last.txt" &
  until_true 200 traced "$logs/last.txt" || true
  check "$tag silent uninstall succeeds" 'timeout 120 wine "$folder/uninstall.exe" /S'
  # It goes on from a copy of itself in a temporary folder.
  check "$tag program folder, shortcut and running copy gone" \
        'until_true 200 gone "$folder" && [ ! -e "$shortcut" ] && [ -z "$(installed)" ]'
  check "$tag entry gone" '[ -z "$(entry DisplayName)" ]'
  check "$tag autostart value gone" \
        '! timeout 30 wine reg query "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run" /v Brimvale >/dev/null 2>&1'
  check "$tag settings kept" '[ -f "$ini" ]'
  echo "$tag all checked after $(($(date +%s) - started)) s"
  exit $fail
)

status=0
pids=()
for arch in win32 win64; do
  check_installer "$arch" >"$root/build/installer-$arch.txt" 2>&1 &
  pids+=($!)
done
for i in 0 1; do
  wait "${pids[$i]}" || status=1
  arch=$([ "$i" = 0 ] && echo win32 || echo win64)
  grep -E '^(ok|FAIL):|after [0-9]+ s' "$root/build/installer-$arch.txt" || true
done
[ "$status" -eq 0 ] || fail=1
exit $fail
