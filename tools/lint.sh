#!/usr/bin/env bash
# The checks reviewers would otherwise make by eye, on the build trees of
# tools/build.sh (they read its compile_commands.json and generated headers):
#   1. a second compiler: clang compiles every product file for both targets,
#      syntax only, and fails on any diagnostic;
#   2. static analysis: clang-tidy with .clang-tidy over the product code;
#   3. one format: clang-format with .clang-format over product, tests,
#      stand-ins and benchmarks.
#
#   tools/lint.sh               run all three; exits 1 on any finding
#   tools/lint.sh --fix-format  rewrite every checked file to the format
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" != --fix-format ]; then
  for arch in x86_64 i686; do
    if [ ! -f "$root/build/$arch/compile_commands.json" ]; then
      [ -f "$root/build/$arch/build.ninja" ] || "$root/tools/build.sh" "$arch"
      cmake "$root/build/$arch" >/dev/null  # configured before the build exported its commands
    fi
  done
fi
exec python3 "$root/tools/lint.py" "$@"
