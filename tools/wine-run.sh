#!/usr/bin/env bash
# Runs a Windows program under 64-bit Wine in a private prefix: the host's Wine,
# or, with WINE_RUN_WOW64_TREE and WINE_RUN_ENTER set (the i686 build), the
# 32-bit-capable Wine of that tree, entered through the WINE_RUN_ENTER program
# (tools/wow64-enter.c), whose 64-bit processes run the 32-bit programs.
#
#   wine-run.sh PREFIX PROGRAM [ARGS...]   run PROGRAM in PREFIX
#   wine-run.sh PREFIX --start             only make sure the prefix, display and server are up
#   wine-run.sh PREFIX --stop              stop the server, keeper and display started for PREFIX
#   wine-run.sh PREFIX --register FILE     import a .reg file (the stand-ins' registration)
#
# The first use creates the prefix. One wineserver (-p60) and one keeper process
# stay up between runs so a test costs a fraction of a second instead of a cold
# start. Without DISPLAY a private Xvfb is started, of WINE_RUN_SCREEN's size
# (default 1280x1024) when it starts. Everything started here is
# recorded in PREFIX.run/ and only that is stopped by --stop. With
# WINE_RUN_OUTPUT_AFTER_EXIT set (the test launchers), the program's output goes
# through files, so processes it leaves behind cannot hold the caller's pipe.
set -euo pipefail

prefix=$(realpath -m "$1"); shift
state="$prefix.run"
mkdir -p "$state"

export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
if [ -n "${WINE_RUN_WOW64_TREE:-}" ]; then
  dir=/usr/lib/x86_64-linux-gnu/wine   # inside the tree
  export WINELOADER=$dir/wine WINESERVER=$dir/wineserver
  # Every 32-bit process would say "experimental wow64 mode" on stderr.
  WINEDEBUG="$WINEDEBUG,err-environ"
  wine=("$WINE_RUN_ENTER" "$WINE_RUN_WOW64_TREE" "$dir/wine")
  server=("$WINE_RUN_ENTER" "$WINE_RUN_WOW64_TREE" "$dir/wineserver")
  fonts="$WINE_RUN_WOW64_TREE/usr/share/wine/fonts"
  # The 32-bit regedit writes where a 32-bit installer would: the 32-bit registry view.
  regedit='C:\windows\syswow64\regedit.exe'
else
  export WINELOADER=/usr/lib/wine/wine64
  export WINESERVER=/usr/lib/wine/wineserver64
  # This wine64 has no preloader and sits at 0x7d000000, so a randomised brk
  # heap lands anywhere in the 1 GB above it; about one start in 8000 it covers
  # 0x7ffe0000, Wine cannot map the shared user data and the process dies
  # before it runs (CreateProcess fails with ERROR_INTERNAL_ERROR, cmd says
  # "Can't recognize"). Without randomisation, inherited by every process Wine
  # starts, the heap follows the loader. Where the system forbids that (a
  # restrictive seccomp profile), Wine runs as it is.
  wine=(/usr/lib/wine/wine64)
  if setarch x86_64 --addr-no-randomize true 2>/dev/null; then
    wine=(setarch x86_64 --addr-no-randomize /usr/lib/wine/wine64)
  fi
  server=("$WINESERVER")
  fonts=/usr/share/wine/fonts
  regedit=regedit
fi

alive() { [ -f "$1" ] && kill -0 "$(cat "$1")" 2>/dev/null; }

# Every prefix holds its own copy of Wine's programs and libraries, 0.7 GB for
# the host's Wine and 1.2 GB with the 32-bit half; a build tree has three
# prefixes, and a full test run of both builds ran out of disk on a small
# machine. A new prefix shares its copies with the finished prefixes beside it:
# only large Windows binaries under windows\ of the same name and content, which
# nothing here writes; settings, registry and small ini files stay the prefix's
# own. Sharing is an optimisation: where it fails, each prefix keeps its copies.
share_wine_files() {
  command -v hardlink >/dev/null || return 0
  local others=() p
  for p in "$(dirname "$prefix")"/*/; do
    p=${p%/}
    if [ "$p" != "$prefix" ] && [ -f "$p/.initialised" ] && [ -d "$p/drive_c/windows" ]; then
      others+=("$p/drive_c/windows")
    fi
  done
  [ ${#others[@]} -gt 0 ] || return 0
  # One sharing at a time, each linking its new files to the copy most shared
  # already: two at once undid each other's links.
  (
    flock 7
    hardlink --quiet --content --respect-name --maximize --minimum-size 64K \
      --include '\.(dll|exe|drv|sys|ocx|cpl|acm|ax|tlb|ttf|ttc)$' \
      "$prefix/drive_c/windows" "${others[@]}" </dev/null >/dev/null 2>&1 9>&-
  ) 7>"$(dirname "$prefix")/.wine-share.lock" || true
}

stop_all() {
  "${server[@]}" -k 2>/dev/null || true
  "${server[@]}" -w 2>/dev/null || true
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
    Xvfb -displayfd 8 -screen 0 "${WINE_RUN_SCREEN:-1280x1024}x24" -nolisten tcp -nolisten unix 8>"$state/display" \
      </dev/null >/dev/null 2>&1 9>&- &
    echo $! >"$state/xvfb.pid"
    # Xvfb writes its display number once it accepts clients; a busy machine can
    # take seconds, so only its death or a minute ends the wait early.
    for _ in $(seq 1200); do
      [ -s "$state/display" ] && break
      alive "$state/xvfb.pid" || break
      sleep 0.05
    done
    if [ ! -s "$state/display" ]; then
      echo "wine-run.sh: Xvfb did not report its display within 60 s (or ended)" >&2
      exit 1
    fi
  fi
  DISPLAY=":$(cat "$state/display")"
fi
export DISPLAY

if [ ! -f "$prefix/.initialised" ]; then
  "${wine[@]}" wineboot -i </dev/null >/dev/null 2>&1 9>&-
  "${server[@]}" -w 9>&-
  # Without a window manager, managed windows have no frame and EndDialog waits 2 s.
  cat >"$state/init.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060
REG
  "${wine[@]}" regedit /s "Z:${state//\//\\}\\init.reg" </dev/null >/dev/null 2>&1 9>&-
  "${server[@]}" -w 9>&-
  # Debian's Wine looks for its own fonts in /usr/share/wine/../fonts, while
  # fonts-wine puts them in /usr/share/wine/fonts: without Tahoma and Marlett
  # dialogs fall back to another face and caption buttons show as "0 1 r".
  # The prefix's own Fonts folder is always searched.
  if [ -d "$fonts" ]; then
    cp "$fonts"/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  share_wine_files
  touch "$prefix/.initialised"
fi

if ! alive "$state/wineserver.pid"; then
  setsid "${server[@]}" -f -p60 </dev/null >/dev/null 2>&1 9>&- &
  echo $! >"$state/wineserver.pid"
  rm -f "$state/keeper.pid"
fi
if ! alive "$state/keeper.pid" && [ -n "${WINE_RUN_KEEPER:-}" ] && [ -f "$WINE_RUN_KEEPER" ]; then
  setsid "${wine[@]}" "$WINE_RUN_KEEPER" </dev/null >/dev/null 2>&1 9>&- &
  echo $! >"$state/keeper.pid"
  # Wine's services and desktop process keep the standard handles of the program
  # that started them: the keeper starts them on /dev/null and holds the desktop.
  # A program run before that could start them on its own output (CTest's pipe).
  if ! "${wine[@]}" "$WINE_RUN_KEEPER" --ready </dev/null >/dev/null 2>&1 9>&-; then
    echo "wine-run.sh: the keeper did not hold Wine's desktop within 60 s" >&2
    exit 1
  fi
fi

flock -u 9
exec 9>&-

[ "${1:-}" = "--start" ] && exit 0
if [ "${1:-}" = "--register" ]; then
  reg=$(realpath "$2")
  "${wine[@]}" "$regedit" /s "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1
  exit 0
fi
if [ -z "${WINE_RUN_OUTPUT_AFTER_EXIT:-}" ]; then
  exec "${wine[@]}" "$@"
fi
# Every process Wine starts, COM's local servers included, inherits the Unix
# stdout and stderr of the one that started it. CTest reads a test's output until
# the pipe closes, so a server that outlived its client would hold the test open
# until the time limit: such processes get files instead. The files are passed
# on while the program runs, so a test that hangs until CTest's limit still shows
# how far it got, and the passing ends with the program.
out=$(mktemp "$state/out.XXXXXX")
err=$(mktemp "$state/err.XXXXXX")
# Wine's server kills (SIGKILL) a process whose Unix side still runs a moment
# after its last thread ended; on a starved machine a test program that had
# finished was killed on its way out and its result lost. Test programs write
# their exit code to this file just before they end.
result=$(mktemp "$state/result.XXXXXX")
trap 'rm -f "$out" "$err" "$result"' EXIT
export WINE_RUN_EXIT_FILE="Z:${result//\//\\}"
exec 3<&0
"${wine[@]}" "$@" <&3 3<&- >"$out" 2>"$err" &
program=$!
exec 3<&-
tail -q -n +1 -s 0.1 --pid="$program" -f "$out" &
outTail=$!
tail -q -n +1 -s 0.1 --pid="$program" -f "$err" >&2 &
errTail=$!
rc=0
wait "$program" || rc=$?
wait "$outTail" "$errTail" || true
code=$(tr -d '\r\n' <"$result")
if [ "$rc" -eq 137 ] && [[ "$code" =~ ^[0-9]+$ ]]; then
  echo "wine-run.sh: the program ended with exit code $code; Wine then killed the rest of its exit" >&2
  rc=$((code & 255))
fi
exit "$rc"
