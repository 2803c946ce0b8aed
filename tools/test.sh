#!/usr/bin/env bash
# The test command: installs what is missing, builds both architectures, and
# runs every test of each under Wine through CTest: x86_64 on the host's Wine,
# then i686 (the shipping architecture) on the 32-bit-capable Wine of
# tools/setup-wow64.sh. Each prints CTest's summary; fails if either fails.
# Before the tests, tools/lint.sh (second compiler, analysis, format) also
# decides the result.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh" || exit 1
# Short of disk, tests fail at random wherever they write a file; say so first.
avail_mb=$(( $(df --output=avail -k "$root" | tail -n 1) / 1024 ))
if [ "$avail_mb" -lt 4096 ]; then
  echo "test: only $avail_mb MB free where the builds go; a run of both needs up to about 3.5 GB" >&2
fi
"$root/tools/build.sh" all || exit 1

failed=()
# A finding fails the command, but the tests still run and report.
"$root/tools/lint.sh" || failed+=(lint)
skipped=()
no_cpu32="${WOW64_WINE_TREE:-/opt/wine-wow64}.no-cpu32"
for arch in x86_64 i686; do
  build="$root/build/$arch"
  if [ ! -x "$build/wine-run" ]; then
    # Configured before the 32-bit-capable Wine was there: configure again.
    cmake "$build" >/dev/null && cmake --build "$build" -j2 || exit 1
  fi
  if [ ! -x "$build/wine-run" ] && [ "$arch" = i686 ] && [ -f "$no_cpu32" ]; then
    # Said loudly rather than failed: no Wine can run 32-bit code on this kernel.
    echo "test: i686 tests NOT RUN: this machine runs no 32-bit code ($(tr '\n' ';' <"$no_cpu32" | sed 's/;$//; s/;/; /g')); the i686 build is made and its tests run on a machine that can" >&2
    skipped+=("$arch")
    continue
  fi
  if [ ! -x "$build/wine-run" ]; then
    echo "test: the $arch build has no tests (see its configure output)" >&2
    exit 1
  fi
  echo "test: $arch" >&2
  (
    trap '"$build/wine-run" --stop >/dev/null 2>&1 || true' EXIT
    cd "$build" && ctest -j2 --output-on-failure --timeout 300 </dev/null
  ) || failed+=("$arch")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "test: failed on ${failed[*]}" >&2
  exit 1
fi
[ ${#skipped[@]} -eq 0 ] || echo "test: passed on x86_64; NOT RUN on ${skipped[*]} (see above)" >&2
