#!/usr/bin/env bash
# Checks that the job's floors make the product's outside calls: runs
# TarvixUtility /miseban and JobFloorSilent, then TarvixUtility and
# JobFloorDialog, each on a settings server it starts itself, with the
# stand-ins logging every call (SIM_CALL_LOG), and compares the sequences.
#
#   bench/calls.sh [--arch i686|x86_64]     (default x86_64; the build must exist)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=x86_64
if [ "${1:-}" = --arch ] && [ -n "${2:-}" ]; then arch=$2; fi
build="$root/build/$arch"
prefix="$build/benchprefix"
out="$build/calls"
unset DISPLAY
launch() { "$build/wine-run-prefix" "$prefix" "$@"; }
trap 'launch --stop >/dev/null 2>&1' EXIT
mkdir -p "$out"

# One program's calls; a dialog is left once the start's Commit was logged.
record() {
  local name=$1 program=$2 arguments=$3 dialog=$4 log="$out/$1.txt"
  rm -f "$log"
  launch --stop >/dev/null 2>&1   # so the program starts the settings server, which inherits the log
  launch --start >/dev/null
  launch --register "$build/stand-ins.reg" >/dev/null
  if [ "$dialog" = no ]; then
    SIM_CALL_LOG="Z:${log//\//\\}" launch "$build/bin/$program" $arguments
  else
    SIM_CALL_LOG="Z:${log//\//\\}" launch "$build/bin/$program" &
    local waited=0
    until grep -q 'settings Commit' "$log" 2>/dev/null; do
      [ $waited -lt 600 ] || { echo "calls.sh: $program logged no Commit within 60 s" >&2; exit 1; }
      sleep 0.1; waited=$((waited + 1))
    done
    launch --stop >/dev/null 2>&1
    wait || true
  fi
  cut -d' ' -f2- "$log" | tr -d '\r' > "$out/$name.calls"
}

status=0
compare() {
  if diff -u "$out/$1.calls" "$out/$2.calls" > "$out/$1-$2.diff"; then
    echo "$1 and $2: the same $(wc -l < "$out/$1.calls") calls"
  else
    echo "$1 and $2 differ: $out/$1-$2.diff"
    status=1
  fi
}
record silent-product TarvixUtility.exe /miseban no
record silent-floor JobFloorSilent.exe "" no
compare silent-product silent-floor
record dialog-product TarvixUtility.exe "" yes
record dialog-floor JobFloorDialog.exe "" yes
compare dialog-product dialog-floor
exit $status
