#!/usr/bin/env bash
# Brings the 32-bit-capable Wine onto the machine: Debian unstable's Wine 10
# runs 32-bit Windows code inside 64-bit processes ("new WoW64"), so the i686
# build can be tested on a machine that refuses 32-bit Linux programs. It lives
# in its own amd64 Debian tree, entered through tools/wow64-enter.c; the host's
# Wine, its package set and its architectures stay as they are (no i386, no wine32).
#
#   tools/setup-wow64.sh        make, check and smoke-test the tree once
#
# The tree is at $WOW64_WINE_TREE (default /opt/wine-wow64), outside the work
# tree so every clone on the machine shares it. A tree counts as ready once the
# smoke test passed and wrote its marker; later calls only look at the marker.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=${WOW64_WINE_TREE:-/opt/wine-wow64}
marker="$tree/.tarvix-wow64-ready"
no_cpu32="$tree.no-cpu32"   # written when the machine itself refuses 32-bit code
wine_dir=usr/lib/x86_64-linux-gnu/wine
recipe=1   # raise when the tree's contents must change: older trees are then refused

ready() { [ -f "$marker" ] && grep -qx "recipe=$recipe" "$marker"; }
has_wow64() { compgen -G "$tree/$wine_dir/i386-windows/*.dll" >/dev/null; }

ready && has_wow64 && exit 0

mkdir -p "$(dirname "$tree")"
exec 9>"$tree.lock"
flock 9
ready && has_wow64 && exit 0   # made meanwhile by another clone's set-up

if [ -f "$marker" ]; then
  echo "setup-wow64: $tree was made by another version of this set-up; move it away and run again" >&2
  exit 1
fi
if [ ! -e "$tree" ]; then
  # The reachable mirror may be a frozen copy whose unstable Release file is past
  # its Valid-Until date. Built aside and moved in, so a broken download never
  # looks like a tree.
  echo "setup-wow64: making the 32-bit-capable Wine tree in $tree (about a minute, 1.6 GB)" >&2
  rm -rf "$tree.new"
  mmdebstrap --quiet --variant=apt --architectures=amd64 \
    --include=wine,wine64,libwine,fonts-wine,libgnutls30t64 \
    --aptopt='Acquire::Check-Valid-Until "false"' --aptopt='APT::Install-Recommends "false"' \
    sid "$tree.new" http://deb.debian.org/debian >&2
  mv "$tree.new" "$tree"
fi

# A Wine built without new WoW64 (e.g. Debian 13's 10.0~repack-6) has no 32-bit
# PE DLLs and could not start one of our i686 programs.
if [ ! -x "$tree/$wine_dir/wine" ] || [ ! -x "$tree/$wine_dir/wineserver" ]; then
  echo "setup-wow64: $tree holds no Wine at $wine_dir; move it away and run again" >&2
  exit 1
fi
if ! has_wow64; then
  echo "setup-wow64: the Wine in $tree cannot run 32-bit Windows code ($wine_dir/i386-windows is empty)" >&2
  exit 1
fi

# Smoke test: a 32-bit console program and the 32-bit cmd.exe in a throw-away prefix.
work=$(mktemp -d /tmp/wow64-smoke.XXXXXX)
cleanup() {
  [ -x "$work/enter" ] && WINEPREFIX="$work/prefix" "$work/enter" "$tree" "/$wine_dir/wineserver" -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cc -O2 -o "$work/enter" "$root/tools/wow64-enter.c"
cat >"$work/smoke.c" <<'C'
#include <windows.h>
#include <stdio.h>
int main(void)
{
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    printf("bits=%u wow64=%d\n", (unsigned)(sizeof(void *) * 8), wow64);
    return 32;
}
C
i686-w64-mingw32-gcc -O2 -s -o "$work/smoke.exe" "$work/smoke.c"
run() {
  WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 \
  WINELOADER="/$wine_dir/wine" WINESERVER="/$wine_dir/wineserver" WOW64_BIND="$work" \
    "$work/enter" "$tree" "/$wine_dir/wine" "$@" </dev/null 2>/dev/null
}
rm -f "$no_cpu32"
run wineboot -i >/dev/null || true
status=0; out=$(run "$work/smoke.exe") || status=$?
out=${out//$'\r'/}   # the Windows console's line ends
if [ "$status" -ne 32 ] || [ "$out" != "bits=32 wow64=1" ]; then
  # A machine whose kernel runs 64-bit user code only cannot run any 32-bit
  # code, Wine or not: the i686 build is still made, its tests cannot run here.
  cc -O2 -o "$work/cpu32-probe" "$root/tools/cpu32-probe.c"
  if refused=$("$work/cpu32-probe"); then
    echo "setup-wow64: a 32-bit program does not run in $tree (exit $status, said '$out')" >&2
    exit 1
  fi
  printf '%s\n' "$refused" >"$no_cpu32"
  echo "setup-wow64: this machine runs no 32-bit code ($(tr '\n' ';' <"$no_cpu32" | sed 's/;$//; s/;/; /g')); the i686 tests cannot run here" >&2
  exit 0
fi
status=0; run 'C:\windows\syswow64\cmd.exe' /c exit 7 >/dev/null || status=$?
if [ "$status" -ne 7 ]; then
  echo "setup-wow64: the 32-bit cmd.exe does not run in $tree (exit $status)" >&2
  exit 1
fi

version=$(dpkg-query --admindir="$tree/var/lib/dpkg" -W -f='${Version}' wine 2>/dev/null || echo unknown)
printf 'recipe=%s\nwine=%s\n' "$recipe" "$version" >"$marker"
echo "setup-wow64: Wine $version in $tree runs 32-bit Windows programs" >&2
