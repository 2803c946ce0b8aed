#!/bin/sh
# run-fit.sh LAUNCHER PROGRAM REGISTRATION "DPI..." "LANG..."
# Runs the fit test once per resolution and LANG in the prefix LAUNCHER owns:
# the stand-ins registered, the resolution set before each resolution's runs
# (Wine reads it when a process starts). The prefix's server is stopped at the
# end. Fails when any run fails; the program learns every pair through FIT_RUNS.
launcher=$1 program=$2 registration=$3 dpis=$4 langs=$5
runs=""
for dpi in $dpis; do for lang in $langs; do runs="$runs $lang@$dpi"; done; done
FIT_RUNS="$runs"
export FIT_RUNS
trap '"$launcher" --stop' EXIT
"$launcher" --start && "$launcher" --register "$registration" || exit 1
status=0
for dpi in $dpis; do
  "$launcher" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || status=1
  for lang in $langs; do
    echo "--- LANG=$lang, $dpi DPI"
    env -u LC_ALL -u LC_MESSAGES -u LC_CTYPE -u LANGUAGE LANG="$lang" FIT_DPI="$dpi" \
      "$launcher" "$program" || status=1
  done
done
exit $status
