#!/usr/bin/env bash
# Records the calls the outside components receive in the suite's TarvixUtility
# scenarios, one file per test, so that two trees (before and after a change)
# can be compared with diff -r:
#
#   tools/call-logs.sh [--arch x86_64|i686] OUTPUT-FOLDER
#
# The in-test fakes write what they received (TARVIX_FAKE_CALL_LOG) in the
# model, dialog and stand-in test programs; the process tests run one at a time,
# each with its own Wine session, so that the settings server the program starts
# logs into that test's file too (SIM_CALL_LOG). Process ids are dropped.
# Tests that start two copies at once log in an order the scheduler picks.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=x86_64
if [ "${1:-}" = --arch ]; then arch=${2:?--arch needs x86_64 or i686}; shift 2; fi
out=${1:?an output folder}
build="$root/build/$arch"
mkdir -p "$out/fakes" "$out/stand-ins"
out=$(cd "$out" && pwd)
winpath() { echo "Z:${1//\//\\}"; }

cd "$build"
rm -f "$out"/fakes/*.log "$out"/stand-ins/*.log
TARVIX_FAKE_CALL_LOG=$(winpath "$out/fakes") ctest -j2 -R '^(AssignmentsTest|SpecialButtonTest|MainDialogTest)\.' \
  </dev/null >/dev/null || echo "call-logs: some model or dialog tests failed" >&2
for test in $(ctest -N -R '^(ProgramStartTest|SilentRunTest|TarvixInput|TarvixFailures)\.' | sed -n 's/^ *Test *#[0-9]*: //p'); do
  log="$out/stand-ins/$test.log"
  SIM_CALL_LOG=$(winpath "$log") ctest -R "^$test\$" </dev/null >/dev/null || echo "call-logs: $test failed" >&2
  [ -f "$log" ] && { cut -d' ' -f2- "$log" | tr -d '\r' > "$log.tmp"; mv "$log.tmp" "$log"; }
done
echo "call-logs: $(ls "$out/fakes" | wc -l) fake and $(ls "$out/stand-ins" | wc -l) stand-in logs in $out"
