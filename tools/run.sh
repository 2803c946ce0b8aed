#!/usr/bin/env bash
# The run command: installs what is missing, builds the x86_64 programs,
# registers the stand-ins in a private Wine prefix and opens TarvixUtility's
# main dialog. With --host it opens the settings host with Peryl's pages instead.
#
#   tools/run.sh [--host] [ARGS...]
#
# On a desktop (DISPLAY set) the window appears there and the command returns
# when it is closed. Without a display a private Xvfb is used: the command waits
# for the window, saves a screenshot, prints its path and closes the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=tarvix
if [ "${1:-}" = "--host" ]; then mode=host; shift; fi

"$root/tools/setup.sh"
"$root/tools/build.sh" x86_64 >/dev/null

build="$root/build/x86_64"
bin="$build/bin"
# The user's own prefix, apart from the tests' one, so trying things by hand
# and running the tests never disturb each other's stored state.
prefix="$build/userprefix"
launch() { WINE_RUN_KEEPER="$bin/winekeep.exe" "$root/tools/wine-run.sh" "$prefix" "$@"; }
launch --start
launch --register "$build/stand-ins.reg"

if [ "$mode" = host ]; then
  program=("$bin/PlenkitHost.exe" "$bin/Peryl.dll")
  shot="$build/screenshots/host.png"
else
  program=("$bin/TarvixUtility.exe")
  shot="$build/screenshots/tarvix.png"
fi

if [ -n "${DISPLAY:-}" ]; then
  launch "${program[@]}" "$@"
  exit $?
fi

# No display: run on the launcher's private Xvfb, photograph the window, close it.
display=":$(cat "$prefix.run/display")"
mkdir -p "$(dirname "$shot")"
launch "${program[@]}" "$@" &
pid=$!
title=$([ "$mode" = host ] && echo 'Corvane Settings' || echo 'Tarvix Button Utility')
window=""
for _ in $(seq 60); do
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || break
  window=$(DISPLAY=$display xwininfo -root -tree 2>/dev/null | grep -m1 "\"$title" | awk '{print $1}') || true
  if [ -n "$window" ]; then sleep 1; break; fi
done
DISPLAY=$display import -window "${window:-root}" "$shot"
echo "screenshot: $shot"
launch --stop
wait "$pid" 2>/dev/null || true
