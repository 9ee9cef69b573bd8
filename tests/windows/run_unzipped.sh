#!/usr/bin/env bash
# Unpacks a Windows zip into a fresh folder with a long name that the ANSI
# code page cannot hold, and runs zorbel.exe from there as the zip's
# stand-in-runtime/README.txt tells a user: in a console (cmd) whose PATH
# starts with the stand-in's folder, set by the README's own line.
# Checks the uptime line, the usage text, a failure's exit status and the
# zip's README.txt's test of it, alone and in its batch file; the stand-in's
# text that names its long path, whole but for the path's middle; and that
# without the stand-in on the PATH the system loader refuses to start
# zorbel.exe (exit status 53 under Wine, 0xC0000135 on Windows).
#   run_unzipped.sh LAUNCHER ZIP VERSION
set -u
launcher=$(realpath "$1") zip=$(realpath "$2") version=$3
scratch=$(mktemp -d) failed=0
trap 'if [ "$failed" = 0 ]; then rm -rf "$scratch"; else echo "Its files are kept in $scratch"; fi' EXIT
folder="$scratch/Łódź Tools - OneDrive - Acme Corporation - Documents - Zorbel 1.2 for Windows/zorbel x"
mkdir -p "$folder" && cd "$folder" && cmake -E tar xf "$zip" || exit 1
fail() { echo "FAIL: $*"; failed=1; }

# The README's own line, so the test follows what users are told.
set_path=$(grep -m 1 'set PATH=' stand-in-runtime/README.txt | sed 's/^ *//; s/\r$//')
[ "$set_path" = 'set PATH=%CD%\stand-in-runtime;%PATH%' ] ||
  fail "README.txt no longer says: set PATH=%CD%\\stand-in-runtime;%PATH% (it says '$set_path')"
printf '@%s\r\n@zorbel.exe %%*\r\n' "$set_path" >with-stand-in.bat
printf '@zorbel.exe %%*\r\n' >without-stand-in.bat

# check WHAT STATUS OUTPUT BATCH ARGUMENTS...: the exact bytes (backslash
# escapes) on standard output and the exit status of a run through cmd.
check() {
  local what=$1 status=$2 output=$3 got_status
  shift 3
  "$launcher" cmd /c "$@" >got 2>err
  got_status=$?
  printf '%b' "$output" >expected
  [ "$got_status" = "$status" ] && cmp -s got expected && return
  fail "$what: 'cmd /c $*' exited $got_status (expected $status); got, then expected, then its standard error:"
  od -c got | head -n 8
  od -c expected | head -n 8
  head -n 20 err
}

check "the uptime line" 0 '7 days 10:30:15\r\n' with-stand-in.bat "Hub One/Acme"
check "a failure" 255 "Error getting stats from server 'Branch/Acme'\r\nNotes API Error: The server is not responding\r\n" \
  with-stand-in.bat Branch/Acme
check "nNOTES.dll not on the PATH" 53 '' without-stand-in.bat "Hub One/Acme"
# README.txt's batch file, as printed: its exit test and what it writes.
{ printf '@%s\r\n' "$set_path"; sed -n '/^ *@echo off/,/^ *)/p' README.txt; } >uptimes.bat
rm -f uptime.txt
check "README.txt's batch file, which must name Branch/Acme alone" 255 'No uptime for Branch/Acme: see uptime.txt\r\n' uptimes.bat
printf "Mail01/Acme: 3 days 04:05:06\r\nHub One/Acme: 7 days 10:30:15\r\nBranch/Acme: Error getting stats from server 'Branch/Acme'\r\nNotes API Error: The server is not responding\r\n" >expected
cmp -s uptime.txt expected || { fail "README.txt's batch file wrote to uptime.txt:"; cat uptime.txt; }
# The stand-in's text names its sample's path, too long for the buffer zorbel gives it.
"$launcher" cmd /c with-stand-in.bat Nope/Acme >got 2>err
case $(sed -n 2p got) in
"Notes API Error: The server is not known to the sample configuration '"*...*"\sample\zorbel.ini': copy it, add a [server] section to the copy and name the copy with =PATH or NN_CONFIG"$'\r') ;;
*) fail "the text for a server that the sample does not know is not whole: $(cat got err)" ;;
esac
"$launcher" cmd /c with-stand-in.bat /? >usage 2>err || fail "the usage text: exit status $?: $(head -n 20 err)"
if [ "$(head -n 1 usage)" != $'Usage: Zorbel [ServerName]\r' ] || [ "$(tail -n 1 usage)" != "version $version"$'\r' ]; then
  fail "the usage text: $(head -c 200 usage)"
fi

[ $failed = 0 ] && echo "OK: ${zip##*/} runs as its README.txt says"
exit $failed
