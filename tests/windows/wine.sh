#!/bin/sh
# Runs a Windows program under Wine. WINE names the Wine (default: wine64)
# and WINEPREFIX its prefix (default: one beside the program, which Wine
# makes on first use). The build writes a launcher for each Windows build
# that sets both, to the one prefix they share: build/wine-i686.sh and
# build/wine-x86_64.sh.
#
# Wine reports its own errors and nothing else: a normal run adds no byte,
# and a run that Wine cannot start says why. Wine writes them to standard
# error, each line as "TID:err:CHANNEL:..." or "wine: ...", where the case
# table's runner takes them out of the program's bytes.
#
# The address space layout is not randomised (setarch --addr-no-randomize).
# The Wine loader is linked at 0x7d000000, and the kernel starts its heap
# (brk) at a random place up to 1 GiB above it; Wine then maps the shared
# user data page at the fixed address 0x7ffe0000, which is in that range.
# About one start in a few thousand found its heap already there and died
# with "failed to map the shared user data: c0000018" (STATUS_CONFLICTING_
# ADDRESSES). Without randomisation the heap starts right above the loader.
#
# Wine keeps its server's folder in TMPDIR, a new one for each prefix; here
# it is beside the prefix, so that the tests leave nothing in /tmp. Wine
# reads a program's arguments in the locale's character set: UTF-8 here,
# whatever the caller's.
#   wine.sh PROGRAM.exe [ARGUMENTS...]
WINEPREFIX=${WINEPREFIX:-"$(cd "$(dirname "$1")" && pwd)/wineprefix"}
WINEDEBUG=-all,err+all
WINEDLLOVERRIDES="mscoree,mshtml="
TMPDIR=$WINEPREFIX.tmp
LC_ALL=C.UTF-8
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES TMPDIR LC_ALL
mkdir -p "$TMPDIR"
exec setarch --addr-no-randomize "${WINE:-/usr/lib/wine/wine64}" "$@"
