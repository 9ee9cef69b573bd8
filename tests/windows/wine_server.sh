#!/bin/sh
# Keeps one Wine server up for the whole test run, on the one prefix that
# both Windows builds share (a 64-bit prefix runs 32-bit programs too).
#
# Why: Debian runs wineserver with -p0, so without this every pause between
# two Windows tests ends the prefix's session: the server shuts its services
# down, closes its socket and exits, and the next program boots a new
# session (wineboot) from scratch. A program that starts while the old
# server is still shutting down is refused and waits for it in a few short
# retries; if the old server is slow to exit (a loaded machine, a prefix
# still being set up) the program gives up with "a wine server seems to be
# running, but I cannot connect to it", exit status 1 and no output at all.
# With one server up from before the first test to after the last, no
# program ever meets a shutdown; what a program prints and how it exits is
# checked as before.
#
#   wine_server.sh start WINESERVER PREFIX LAUNCHER...   (each build's launcher)
#   wine_server.sh stop WINESERVER PREFIX
set -u
action=$1 wineserver=$2
WINEPREFIX=$3 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" TMPDIR=$3.tmp # as wine.sh
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES TMPDIR
mkdir -p "$TMPDIR"
shift 3
log=$WINEPREFIX.log

# Runs one step of the set-up with its output in the log (Wine's session
# services, which outlive the program, must not hold this test's output
# open); a step that fails is named with its exit status and what it wrote.
step() {
  mark=$(wc -c <"$log" 2>/dev/null || echo 0)
  "$@" >>"$log" 2>&1 </dev/null && return 0
  status=$?
  echo "FAIL: '$*' exited $status while setting up $WINEPREFIX; it wrote:"
  tail -c +$((mark + 1)) "$log"
  exit 1
}

# A server left up by an interrupted run would never end by itself.
"$wineserver" -k 2>/dev/null
[ "$action" = stop ] && exit 0
: >"$log"

# Make the prefix (or bring it up to date) and wait until every process of
# its set-up has ended and the server has written the registry and exited.
for launcher in "$@"; do
  step "$launcher" cmd /c exit
  step "$wineserver" -w
done

# One server, kept up (-p), with its session booted once by a first program.
step "$wineserver" -p
for launcher in "$@"; do
  step "$launcher" cmd /c exit
done
echo "OK: one Wine server keeps $WINEPREFIX up for the tests"
