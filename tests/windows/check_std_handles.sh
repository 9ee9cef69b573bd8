#!/bin/sh
# Runs std_handles_check.exe under Wine and checks that the standard handles
# followed the exchange of standard output and standard error: started with
# both handles, and through without_handle.exe without one or both, as a
# service may start it.
#   check_std_handles.sh LAUNCHER PROGRAM.exe
set -u
launcher=$1 program=$2
scratch=$(mktemp -d) failed=0
trap 'rm -rf "$scratch"' EXIT
# Wine's own lines (wine.sh) are not the program's.
wine='^([0-9a-f]{4}:(err|fixme|warn|trace):|wine: )'

# check WITHOUT EXPECTED_OUT EXPECTED_ERR: WITHOUT is none, stdout, stderr or both.
check() {
  if [ "$1" = none ]; then
    "$launcher" "$program" >"$scratch/out" 2>"$scratch/err"
  else
    "$launcher" "$(dirname "$program")/without_handle.exe" "$1" "$program" >"$scratch/out" 2>"$scratch/err"
  fi
  status=$?
  out=$(cat "$scratch/out") err=$(grep -avE "$wine" "$scratch/err")
  if [ $status != 0 ] || [ "$out" != "$2" ] || [ "$err" != "$3" ]; then
    echo "FAIL: started without $1: exited $status; standard output got '$out', standard error got '$err'"
    grep -aE "$wine" "$scratch/err" | sed 's/^/Wine said: /'
    failed=1
  fi
}
check none "through the error handle" "through the output handle"
check stdout "" "through the output handle"
check stderr "through the error handle" ""
check both "" ""
[ $failed = 0 ] && echo "OK: the standard handles follow the exchanged streams, and stay absent where a stream was"
exit $failed
