#!/bin/sh
# Runs std_handles_check.exe under Wine and checks that the standard handles
# followed the exchange of standard output and standard error.
#   check_std_handles.sh LAUNCHER PROGRAM.exe
set -u
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$1" "$2" >"$scratch/out" 2>"$scratch/err"
out=$(cat "$scratch/out") err=$(cat "$scratch/err")
if [ "$out" != "through the error handle" ] || [ "$err" != "through the output handle" ]; then
  echo "FAIL: standard output got '$out', standard error got '$err'"
  exit 1
fi
echo "OK: the standard handles follow the exchanged streams"
