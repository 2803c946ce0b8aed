#!/usr/bin/env bash
# Benchmarks, not part of the tests: TarvixUtility's start-up against the
# job's floors and the baseline programs (all run in turn, medians compared),
# the product's start-up phase by phase (its TARVIX_PHASES timeline, in runs of
# their own), and Peryl's operations in one process, under the same Wine and
# Xvfb as the tests.
#
#   bench/run.sh [--runs N] [--arch i686|x86_64|both]
#                                N runs of each start-up (at least 5; default 7),
#                                ten times as many of each Peryl operation;
#                                each architecture in turn (default both)
#
# Each architecture runs on its own Wine (x86_64 on the host's, i686 on the
# 32-bit-capable one of tools/setup-wow64.sh): compare ratios within one
# architecture, never times across the two. Builds what is needed, uses a Wine
# prefix of its own (build/<arch>/benchprefix) with the stand-ins registered,
# prints every run, the medians, the ratios and a summary, and keeps a copy in
# build/<arch>/bench-results.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=7
arches="x86_64 i686"
usage() { echo "usage: bench/run.sh [--runs N] [--arch i686|x86_64|both]" >&2; exit 2; }
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) [ $# -ge 2 ] || usage; runs=$2; shift 2 ;;
    --arch)
      [ $# -ge 2 ] || usage
      case "$2" in i686|x86_64) arches=$2 ;; both) arches="x86_64 i686" ;; *) usage ;; esac
      shift 2 ;;
    *) usage ;;
  esac
done
case "$runs" in ''|*[!0-9]*) usage ;; esac
if [ "$runs" -lt 5 ]; then
  echo "bench/run.sh: at least 5 runs" >&2
  exit 2
fi
# Always the launcher's private Xvfb, as in the tests, never a desktop.
unset DISPLAY

winpath() { echo "Z:${1//\//\\}"; }

bench_arch() {
  local arch=$1
  "$root/tools/build.sh" "$arch" >/dev/null
  build="$root/build/$arch"
  bin="$build/bin"
  prefix="$build/benchprefix"
  results="$build/bench-results.txt"
  if [ ! -x "$build/wine-run-prefix" ]; then
    echo "bench/run.sh: the $arch build cannot run here (tools/setup.sh, then configure again)" >&2
    return 1
  fi
  local wine_version
  if [ "$arch" = i686 ]; then
    wine_version="Wine $(sed -n 's/^wine=//p' "$(sed -n 's/^WOW64_WINE_TREE:PATH=//p' "$build/CMakeCache.txt")/.tarvix-wow64-ready") (WoW64, 32-bit programs)"
  else
    wine_version=$(/usr/lib/wine/wine64 --version)
  fi
  launch() { "$build/wine-run-prefix" "$prefix" "$@"; }
  launch --start
  launch --register "$build/stand-ins.reg"

  set +e
  {
    echo "architecture: $arch"
    echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $wine_version"
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
  local status=${PIPESTATUS[0]}
  set -e
  launch --stop

  echo
  echo "summary, $arch (target: at most this value)"
  awk '$1 == "RESULT" { printf "  %-12s %-18s %9.3f   target %6.2f   %s\n", $2, $3, $4, $5, $6 }' "$results"
  echo
  echo "phases, $arch (median ms since process creation, over runs with the timeline on)"
  awk '$1 == "PHASE" { name = $3; for (i = 4; i <= NF && $i != "median"; ++i) name = name " " $i;
                       printf "  %-12s %-28s %8s ms\n", $2, name, $(i + 1) }' "$results"
  echo
  return "$status"
}

# The prefix of the architecture under way, when interrupted.
trap '[ -n "${build:-}" ] && "$build/wine-run-prefix" "$build/benchprefix" --stop >/dev/null 2>&1' EXIT
overall=0
for arch in $arches; do
  bench_arch "$arch" || overall=1
done
exit "$overall"
