#!/usr/bin/env bash
# Shows, without running anything, that a Windows build imports every runtime
# operation from nNOTES.dll by ordinal and none by name, that the stand-in
# nNOTES.dll exports each at its ordinal, and that neither needs a DLL beyond
# the system's.
#   check_imports.sh OBJDUMP BUILD_DIR FORMAT   (FORMAT: pei-i386 or pei-x86-64)
set -u
objdump=$1 dir=$2 format=$3
expected="nnTerm:13 nnInit:15 nnProgramStart:25 nnMainErrorText:27 nnInitErrorText:29
nnProcessArgs:51 nnProgramEnd:52 nnFree:143 nnLock:182 nnUnlock:183 nnTextToTime:223
nnTimeDiff:308 nnQueryLocalStats:428 nnLoadStatusText:707 nnQueryServerStats:2176"
expected_ordinals=$(tr ' ' '\n' <<<"$expected" | cut -d: -f2 | sort -n | xargs)
expected_pairs=$(tr ' ' '\n' <<<"$expected" | sort | xargs)
status=0
fail() { echo "FAIL: $*"; status=1; }

exe=$("$objdump" -p "$dir/zorbel.exe") || exit 1
dll=$("$objdump" -p "$dir/nNOTES.dll") || exit 1

for pe in exe dll; do
  grep -q "file format $format" <<<"${!pe}" || fail "$pe is not $format"
done

# The entries under "DLL Name: nNOTES.dll", up to the blank line after them.
imports=$(awk '/DLL Name: nNOTES.dll/ {on = 1; getline; next} on && /^[[:space:]]*$/ {exit} on' <<<"$exe")
ordinals=$(while read -r entry _ name _; do
  [ "$name" = "<none>" ] || echo "by-name:$name"
  echo $((16#${entry: -4}))
done <<<"$imports" | sort -n | xargs)
[ "$ordinals" = "$expected_ordinals" ] ||
  fail "zorbel.exe imports '$ordinals' from nNOTES.dll, expected ordinals '$expected_ordinals'"
grep -qE '\bnn[A-Z]' <<<"$exe" && fail "zorbel.exe names an nn operation: $(grep -oE '\bnn[A-Z]\w*' <<<"$exe" | xargs)"

base=$(awk '/^Ordinal Base/ {print $3}' <<<"$dll")
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next} on && /^[[:space:]]*$/ {exit} on' <<<"$dll" |
  tr -d '[]' | while read -r index name; do echo "$name:$((index + base))"; done | sort | xargs)
[ "$exports" = "$expected_pairs" ] || fail "nNOTES.dll exports '$exports', expected '$expected_pairs'"

for pe in exe dll; do
  others=$(grep -oE 'DLL Name: \S+' <<<"${!pe}" | cut -d' ' -f3 | grep -vixE 'KERNEL32.dll|msvcrt.dll|nNOTES.dll' | xargs)
  [ -z "$others" ] || fail "$pe needs DLLs beyond the system's: $others"
done

[ $status -eq 0 ] && echo "OK: $format build imports and exports all 15 operations by ordinal"
exit $status
