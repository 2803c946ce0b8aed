#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing,
# then the 32-bit-capable Wine the i686 tests run on (tools/setup-wow64.sh).
# Never adds the i386 architecture and never installs wine32: 32-bit Linux
# programs cannot run here.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools
  wine wine64 libwine-dev fonts-wine xvfb
  cmake ninja-build googletest imagemagick x11-utils
  nsis zip unzip
  gcc libc6-dev mmdebstrap locales
  clang-14 clang-tidy-14 clang-format-14 python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq >/dev/null
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

"${sudo[@]}" env WOW64_WINE_TREE="${WOW64_WINE_TREE:-/opt/wine-wow64}" "$(dirname "$0")/setup-wow64.sh"
# The language tests run Wine under German and French.
"${sudo[@]}" env WOW64_WINE_TREE="${WOW64_WINE_TREE:-/opt/wine-wow64}" "$(dirname "$0")/setup-locales.sh"
