#!/usr/bin/env bash
# The test command: installs what is missing, builds both architectures, and
# runs every test of the x86_64 build under Wine through CTest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" all

build="$root/build/x86_64"
trap '"$build/wine-run" --stop >/dev/null 2>&1 || true' EXIT
cd "$build"
ctest -j2 --output-on-failure --timeout 300 </dev/null
