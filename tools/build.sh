#!/usr/bin/env bash
# Configures and builds one or both architectures: tools/build.sh [x86_64|i686|all]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arches=${1:-all}
[ "$arches" = all ] && arches="x86_64 i686"
for arch in $arches; do
  dir="$root/build/$arch"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" >/dev/null
  fi
  echo "build: $arch" >&2
  cmake --build "$dir" -j2
done
