# Sourced by the run and test scripts: a private Wine prefix under the build
# folder, a virtual display when there is none, and a persistent wineserver.
# wine_session_start creates it; wine_session_stop (run on EXIT) ends all of it.

# The prefix's architecture is win32 unless BRIMVALE_WINEARCH says win64: the
# 32-bit suite keeps a 32-bit prefix (no WoW64, figures stay comparable), the
# 64-bit suite needs a 64-bit one.
wine_session_start() {   # $1 = prefix folder, $2 = "fresh" to recreate it
  export WINEPREFIX="$1" WINEARCH="${BRIMVALE_WINEARCH:-win32}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "${2:-}" = fresh ]; then rm -rf "$WINEPREFIX"; fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  BRIMVALE_XVFB_PID=""
  if [ -z "${DISPLAY:-}" ]; then
    local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$fifo" >/dev/null 2>&1 &
    BRIMVALE_XVFB_PID=$!
    local num; read -r -t 20 num <"$fifo" || true; rm -f "$fifo"
    [ -n "$num" ] || { echo "wine-env: Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$num"
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 180 wineboot -i >/dev/null 2>&1 || true
    timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
    # Every Windows profile holds the Run key; a new prefix does not.
    timeout 60 wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /f >/dev/null 2>&1 || true
  fi
  timeout 30 wineserver -p >/dev/null 2>&1 || true
  timeout 60 wine cmd /c exit >/dev/null 2>&1 || true
  mkdir -p "$WINEPREFIX/drive_c/work"
}

# For the test suites, in a started session: the windows of the unit-test
# program and of the shell (explorer.exe, which holds the tray) are left to
# Wine's X11 driver itself ("Managed" = N) instead of to a window manager.
# There is none on the virtual display, and a managed window waits 2 s for it
# at every hiding or destruction of a shown window, which was most of the
# unit suite's time. The tests see the same windows, styles and messages.
# The program under test in the end-to-end runs keeps managed windows, as in
# every other session (a person at a desktop keeps the window manager's
# frames and moves). The shell already runs: the session starts again.
wine_session_for_tests() {
  local program
  for program in unit_tests.exe explorer.exe; do
    timeout 60 wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" \
      /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
  done
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  timeout 30 wineserver -w >/dev/null 2>&1 || true
  timeout 30 wineserver -p >/dev/null 2>&1 || true
  timeout 60 wine cmd /c exit >/dev/null 2>&1 || true
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then timeout 30 wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${BRIMVALE_XVFB_PID:-}" ]; then
    kill "$BRIMVALE_XVFB_PID" 2>/dev/null || true
    unset DISPLAY   # the display was this session's own: a next session starts another
    BRIMVALE_XVFB_PID=""
  fi
}
