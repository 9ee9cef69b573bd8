#!/bin/sh
# The first case of each Windows suite: zorbel.exe /? must print the usage
# text. A Wine that cannot run the program (a 32-bit program under a Wine
# without 32-bit support) may exit 0 and print nothing; that must never pass.
#   smoke.sh LAUNCHER zorbel.exe
set -u
err=$(mktemp)
trap 'rm -f "$err"' EXIT
out=$("$1" "$2" /? 2>"$err")
status=$?
first=$(printf '%s\n' "$out" | head -n 1)
if [ "$status" -ne 0 ] || [ "$first" != "$(printf 'Usage: Zorbel [ServerName]\r')" ]; then
  echo "FAIL: $2 /? under $1 exited $status and printed no usage text:"
  printf '%s\n' "$out" | head -n 5
  echo "and on standard error:"
  head -n 20 "$err"
  echo "This Wine does not run this build; see 'Testing under Wine' in doc/windows.md."
  exit 1
fi
echo "OK: $2 /? printed the usage text under $1"
