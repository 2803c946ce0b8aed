#!/bin/sh
# run-per-lang.sh LAUNCHER PROGRAM FILTER LANG...
# Runs the test program once per LANG (the only locale setting left in force)
# and fails when any run fails. The program learns the whole list through
# LANGUAGE_CHOICE_LANGS, so a table row no run covers fails too.
launcher=$1 program=$2 filter=$3
shift 3
LANGUAGE_CHOICE_LANGS="$*"
export LANGUAGE_CHOICE_LANGS
status=0
for lang in "$@"; do
  echo "--- LANG=$lang"
  env -u LC_ALL -u LC_MESSAGES -u LC_CTYPE -u LANGUAGE LANG="$lang" \
    "$launcher" "$program" --gtest_filter="$filter" || status=1
done
exit $status
