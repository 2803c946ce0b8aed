#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in a private prefix.
#
#   wine-run.sh PREFIX PROGRAM [ARGS...]   run PROGRAM in PREFIX
#   wine-run.sh PREFIX --start             only make sure the prefix, display and server are up
#   wine-run.sh PREFIX --stop              stop the server, keeper and display started for PREFIX
#   wine-run.sh PREFIX --register FILE     import a .reg file (the stand-ins' registration)
#
# The first use creates the prefix. One wineserver (-p60) and one keeper process
# stay up between runs so a test costs a fraction of a second instead of a cold
# start. Without DISPLAY a private Xvfb is started. Everything started here is
# recorded in PREFIX.run/ and only that is stopped by --stop.
set -euo pipefail

prefix=$(realpath -m "$1"); shift
state="$prefix.run"
mkdir -p "$state"

export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINELOADER=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEARCH=win64
wine=/usr/lib/wine/wine64

alive() { [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

stop_all() {
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
  for f in keeper wineserver xvfb; do
    if alive "$state/$f.pid"; then kill "$(cat "$state/$f.pid")" 2>/dev/null || true; fi
    rm -f "$state/$f.pid"
  done
  rm -f "$state/display"
}

if [ "${1:-}" = "--stop" ]; then
  exec 9>"$state/lock"; flock 9
  stop_all
  exit 0
fi

# --- under the lock: display, prefix, server, keeper -------------------------
exec 9>"$state/lock"
flock 9

if [ -z "${DISPLAY:-}" ]; then
  if ! alive "$state/xvfb.pid"; then
    rm -f "$state/display"
    Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp -nolisten unix 8>"$state/display" \
      </dev/null >/dev/null 2>&1 9>&- &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do [ -s "$state/display" ] && break; sleep 0.05; done
  fi
  DISPLAY=":$(cat "$state/display")"
fi
export DISPLAY

if [ ! -f "$prefix/.initialised" ]; then
  "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&-
  "$WINESERVER" -w 9>&-
  # Without a window manager, managed windows have no frame and EndDialog waits 2 s.
  cat >"$state/init.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060
REG
  "$wine" regedit /s "Z:${state//\//\\}\\init.reg" </dev/null >/dev/null 2>&1 9>&-
  "$WINESERVER" -w 9>&-
  # Debian's Wine looks for its own fonts in /usr/share/wine/../fonts, while
  # fonts-wine puts them in /usr/share/wine/fonts: without Tahoma and Marlett
  # dialogs fall back to another face and caption buttons show as "0 1 r".
  # The prefix's own Fonts folder is always searched.
  if [ -d /usr/share/wine/fonts ]; then
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  touch "$prefix/.initialised"
fi

if ! alive "$state/wineserver.pid"; then
  setsid "$WINESERVER" -f -p60 </dev/null >/dev/null 2>&1 9>&- &
  echo $! >"$state/wineserver.pid"
  rm -f "$state/keeper.pid"
fi
if ! alive "$state/keeper.pid" && [ -n "${WINE_RUN_KEEPER:-}" ] && [ -f "$WINE_RUN_KEEPER" ]; then
  setsid "$wine" "$WINE_RUN_KEEPER" </dev/null >/dev/null 2>&1 9>&- &
  echo $! >"$state/keeper.pid"
  # Not before the keeper has the desktop up: a desktop process that a test
  # started would hold the test's output open (see tools/winekeep.c).
  "$wine" "$WINE_RUN_KEEPER" --ready </dev/null >/dev/null 2>&1 9>&- ||
    echo "wine-run: the keeper did not bring the desktop up within 60 s" >&2
fi

flock -u 9
exec 9>&-

[ "${1:-}" = "--start" ] && exit 0
if [ "${1:-}" = "--register" ]; then
  reg=$(realpath "$2")
  "$wine" regedit /s "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1
  exit 0
fi
exec "$wine" "$@"
