#!/usr/bin/env bash
# Renders the pictures of both deliverables into docs/, at 96, 120, 144 and 192 DPI:
# TarvixUtility's main dialog in own and in preset mode, the key-combination
# dialog, the application chooser, the error box, and the settings host with
# each of Peryl's pages; in English and in German (-de- in the file name).
#
#   tools/pictures.sh
#
# Each resolution has its own Wine prefix (build/x86_64/pictures-<dpi>), since
# Wine reads the resolution when a process starts. tools/pictures/PictureDriver
# puts the program into the state a picture shows and names its window; the
# window is photographed from the prefix's private Xvfb with ImageMagick, a
# screen as large as a notebook's at 200 percent, so that every window fits.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh" x86_64 >/dev/null

build="$root/build/x86_64"
bin="$build/bin"
docs="$root/docs"
scenes="main-own main-preset key-combination application-chooser error-box host-logo-lamp host-lamp-brightness"
unset DISPLAY
mkdir -p "$docs"

picture_name() {
  case "$1" in
    host-*) echo "peryl-$1$2" ;;
    *) echo "tarvix-$1$2" ;;
  esac
}
# Name suffix and LANG per language: Wine gives each process the UI language of
# its LANG (tools/setup-locales.sh makes the German locale).
languages="en:C.UTF-8 de:de_DE.UTF-8"

export WINE_RUN_SCREEN=2560x1600
for dpi in 96 120 144 192; do
  prefix="$build/pictures-$dpi"
  launch() { WINE_RUN_KEEPER="$bin/winekeep.exe" "$root/tools/wine-run.sh" "$prefix" "$@"; }
  trap 'launch --stop' EXIT
  launch --start
  launch --register "$build/stand-ins.reg"
  launch reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  display=":$(cat "$prefix.run/display")"

  for language in $languages; do
    code=${language%%:*}
    lang=${language#*:}
    suffix=""
    [ "$code" = en ] || suffix="-$code"
    for scene in $scenes; do
      out="$docs/$(picture_name "$scene" "$suffix")-$dpi.png"
      work=$(mktemp -d)
      done_file="$work/done"
      # Made here, not by the redirection below: the loop may read it before the
      # background job has opened it.
      : >"$work/driver.out"
      env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG="$lang" \
        WINE_RUN_KEEPER="$bin/winekeep.exe" "$root/tools/wine-run.sh" "$prefix" \
        "$bin/PictureDriver.exe" "$scene" "Z:${done_file//\//\\}" >"$work/driver.out" 2>"$work/driver.err" &
      driver=$!
      window=""
      for _ in $(seq 600); do
        window=$(tr -d '\r' <"$work/driver.out" | awk '$1 == "WINDOW" { print $2 }')
        [ -n "$window" ] && break
        kill -0 "$driver" 2>/dev/null || break
        sleep 0.1
      done
      if [ -z "$window" ]; then
        echo "pictures: no window for $scene ($lang) at $dpi DPI" >&2
        cat "$work/driver.err" >&2
        kill "$driver" 2>/dev/null || true
        wait "$driver" 2>/dev/null || true
        rm -rf "$work"
        exit 1
      fi
      DISPLAY=$display import -window "$window" "$out"
      touch "$done_file"
      wait "$driver" || echo "pictures: $scene did not end cleanly" >&2
      rm -rf "$work"
      echo "$out"
    done
  done
  launch --stop
  trap - EXIT
done
