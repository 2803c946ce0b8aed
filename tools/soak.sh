#!/usr/bin/env bash
# Runs the whole CTest suite again and again in random order, to find tests that
# fail only now and then:
#
#   tools/soak.sh [--runs N] [--load] [--arch x86_64|i686|both]
#
# --runs N   how many runs per architecture (default 5)
# --load     keep every core busy with a CPU hog for the whole soak, as on a
#            busy CI machine; the hogs are started and stopped here, by their PIDs
# --arch     which build trees to run (default: every one whose tests run here)
#
# Builds what is missing first. Prints each run's failures and ends with a table
# of every test that failed at least once and how often; exits 1 if any did.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

runs=5
load=0
arch=
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=${2:?--runs needs a number}; shift 2 ;;
    --runs=*) runs=${1#--runs=}; shift ;;
    --load) load=1; shift ;;
    --arch) arch=${2:?--arch needs x86_64, i686 or both}; shift 2 ;;
    --arch=*) arch=${1#--arch=}; shift ;;
    -h|--help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "soak: unknown argument $1" >&2; exit 2 ;;
  esac
done
case "$runs" in ''|*[!0-9]*|0) echo "soak: --runs needs a positive number" >&2; exit 2 ;; esac

"$root/tools/setup.sh"
case "${arch:-all}" in
  all|both) "$root/tools/build.sh" all ;;
  x86_64|i686) "$root/tools/build.sh" "$arch" ;;
  *) echo "soak: --arch must be x86_64, i686 or both" >&2; exit 2 ;;
esac
arches=()
for a in x86_64 i686; do
  [ -n "$arch" ] && [ "$arch" != both ] && [ "$arch" != "$a" ] && continue
  # A build tree runs tests here only where it got a Wine launcher.
  [ -x "$root/build/$a/wine-run" ] && arches+=("$a")
done
[ ${#arches[@]} -gt 0 ] || { echo "soak: no build tree with tests to run" >&2; exit 2; }

logs="$root/build/soak"
rm -rf "$logs"
mkdir -p "$logs"

hogs=()
stop_hogs() {
  for pid in "${hogs[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${hogs[@]}"; do wait "$pid" 2>/dev/null || true; done
  hogs=()
}
cleanup() {
  stop_hogs
  for a in "${arches[@]}"; do
    "$root/build/$a/wine-run" --stop >/dev/null 2>&1 || true
  done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "$load" = 1 ]; then
  for _ in $(seq "$(nproc)"); do
    ( trap 'exit 0' TERM; while :; do :; done ) </dev/null >/dev/null 2>&1 &
    hogs+=($!)
  done
  echo "soak: ${#hogs[@]} CPU hogs running (pids ${hogs[*]})"
fi

start=$(date +%s)
failed_runs=0
for a in "${arches[@]}"; do
  for i in $(seq "$runs"); do
    log="$logs/$a-run$i.log"
    t0=$(date +%s)
    rc=0
    (cd "$root/build/$a" && ctest --schedule-random -j2 --timeout 300 --output-on-failure) \
      </dev/null >"$log" 2>&1 || rc=$?
    # "  12 - Suite.Case (Failed)" lines under CTest's closing list.
    sed -n '/^The following tests FAILED:/,$p' "$log" |
      sed -n 's/^[[:space:]]*[0-9]\+ - \(.*\) (\([^)]*\))[[:space:]]*$/\1\t\2/p' >"$logs/$a-run$i.failed"
    summary=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1 || true)
    echo "soak: $a run $i/$runs: ${summary:-no CTest summary (exit $rc)} ($(( $(date +%s) - t0 )) s)"
    if [ "$rc" -ne 0 ]; then
      failed_runs=$((failed_runs + 1))
      if [ -s "$logs/$a-run$i.failed" ]; then
        sed 's/^/    failed: /' "$logs/$a-run$i.failed"
      else
        echo "    CTest exited $rc without naming a failed test: see $log"
        printf 'ctest run itself (exit %s)\tRun\n' "$rc" >>"$logs/$a-run$i.failed"
      fi
    fi
  done
done
stop_hogs

echo
echo "soak: ${#arches[@]} architecture(s) x $runs run(s), load $([ "$load" = 1 ] && echo on || echo off)," \
     "$(( $(date +%s) - start )) s in all; logs in $logs"
printf '%-8s %-90s %s\n' arch test failures
for a in "${arches[@]}"; do
  cat "$logs/$a"-run*.failed 2>/dev/null | cut -f1 | sort | uniq -c | sort -rn |
    while read -r n name; do printf '%-8s %-90s %s/%s\n' "$a" "$name" "$n" "$runs"; done
done
if [ "$failed_runs" -eq 0 ]; then
  echo "(no test failed)"
  exit 0
fi
exit 1
