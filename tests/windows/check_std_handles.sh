#!/bin/sh
# Runs std_handles_check.exe under Wine and checks that the standard handles
# followed the exchange of standard output and standard error.
#   check_std_handles.sh LAUNCHER PROGRAM.exe
set -u
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$1" "$2" >"$scratch/out" 2>"$scratch/err"
status=$?
# Wine's own lines (wine.sh) are not the program's.
wine='^([0-9a-f]{4}:(err|fixme|warn|trace):|wine: )'
out=$(cat "$scratch/out") err=$(grep -avE "$wine" "$scratch/err")
if [ $status != 0 ] || [ "$out" != "through the error handle" ] || [ "$err" != "through the output handle" ]; then
  echo "FAIL: '$1 $2' exited $status; standard output got '$out', standard error got '$err'"
  grep -aE "$wine" "$scratch/err" | sed 's/^/Wine said: /'
  exit 1
fi
echo "OK: the standard handles follow the exchanged streams"
