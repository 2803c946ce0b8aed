#!/usr/bin/env bash
# Benchmarks, not part of the tests: TarvixUtility's start-up against baseline
# programs (product and baseline run in turn, medians compared) and Peryl's
# operations in one process, under the same Wine and Xvfb as the tests.
#
#   bench/run.sh [--runs N]      N runs of each start-up (at least 5; default 7),
#                                ten times as many of each Peryl operation
#
# Builds x86_64 when needed, uses its own Wine prefix (build/x86_64/benchprefix)
# with the stand-ins registered, prints every run, the medians, the ratios and
# a summary, and keeps a copy in build/x86_64/bench-results.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=7
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    *) echo "usage: bench/run.sh [--runs N]" >&2; exit 2 ;;
  esac
done
case "$runs" in ''|*[!0-9]*) echo "usage: bench/run.sh [--runs N]" >&2; exit 2 ;; esac
if [ "$runs" -lt 5 ]; then
  echo "bench/run.sh: at least 5 runs" >&2
  exit 2
fi

"$root/tools/build.sh" x86_64 >/dev/null

build="$root/build/x86_64"
bin="$build/bin"
prefix="$build/benchprefix"
results="$build/bench-results.txt"
# Always the launcher's private Xvfb, as in the tests, never a desktop.
unset DISPLAY
launch() { WINE_RUN_KEEPER="$bin/winekeep.exe" "$root/tools/wine-run.sh" "$prefix" "$@"; }
trap 'launch --stop' EXIT
launch --start
launch --register "$build/stand-ins.reg"

winpath() { echo "Z:${1//\//\\}"; }

set +e
{
  echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(/usr/lib/wine/wine64 --version)"
  echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo
  status=0
  launch "$bin/StartupBench.exe" silent warm "$runs" || status=1
  echo
  launch "$bin/StartupBench.exe" silent cold "$runs" || status=1
  echo
  launch "$bin/StartupBench.exe" dialog warm "$runs" || status=1
  echo
  # Milliseconds each, in one process: ten times the runs cost under a second.
  launch "$bin/PerylBench.exe" "$((runs * 10))" "$(winpath "$bin/Peryl.dll")" || status=1
  echo
  echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "(a loaded machine stretches the times; compare the spread of the runs)"
  exit $status
} 2>&1 | tr -d '\r' | tee "$results"
status=${PIPESTATUS[0]}
set -e

echo
echo "summary (target: at most this value)"
awk '$1 == "RESULT" { printf "  %-12s %-14s %9.3f   target %6.2f   %s\n", $2, $3, $4, $5, $6 }' "$results"
exit "$status"
