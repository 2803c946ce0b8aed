#!/usr/bin/env bash
# Generates the Unix locales the language tests run Wine under: Wine takes a
# process's UI language from its LANG, and a LANG whose locale is not generated
# falls back to English without a word. Both Wines need them: the host's, and
# the 32-bit-capable one, whose tree has a C library (and locale files) of its own.
#
#   tools/setup-locales.sh     as root; does nothing when the locales are there
set -euo pipefail
tree=${WOW64_WINE_TREE:-/opt/wine-wow64}
locales=(de_DE fr_FR)

has() { "$@" locale -a 2>/dev/null | grep -qix "$locale.utf-\?8"; }

# The host: Debian's way, so locale-gen keeps them on later runs.
missing=()
for locale in "${locales[@]}"; do
  has env && continue
  sed -i "s/^# *\($locale\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  grep -qx "$locale.UTF-8 UTF-8" /etc/locale.gen || echo "$locale.UTF-8 UTF-8" >>/etc/locale.gen
  missing+=("$locale.UTF-8")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup-locales: generating ${missing[*]}" >&2
  locale-gen >/dev/null
fi

# The tree holds no locale sources: its own localedef compiles the host's.
[ -x "$tree/usr/bin/localedef" ] || exit 0
exec 9>"$tree.lock"
flock 9
sources=""
for locale in "${locales[@]}"; do
  has chroot "$tree" && continue
  if [ -z "$sources" ]; then
    sources=$(mktemp -d "$tree/tmp/i18n.XXXXXX")
    trap 'rm -rf "$sources"' EXIT
    cp -r /usr/share/i18n/locales /usr/share/i18n/charmaps "$sources/"
  fi
  echo "setup-locales: generating $locale.UTF-8 in $tree" >&2
  chroot "$tree" env I18NPATH="/tmp/${sources##*/}" \
    localedef -i "$locale" -f UTF-8 "$locale.UTF-8" >/dev/null
  if ! has chroot "$tree"; then
    echo "setup-locales: $locale.UTF-8 could not be generated in $tree" >&2
    exit 1
  fi
done
