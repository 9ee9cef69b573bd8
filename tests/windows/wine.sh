#!/bin/sh
# Runs a Windows program under Wine, quietly. WINE names the Wine (default:
# wine64) and WINEPREFIX its prefix (default: one beside the program, which
# Wine makes on first use). The build writes a launcher for each Windows
# build that sets both, to the one prefix they share: build/wine-i686.sh and
# build/wine-x86_64.sh.
#   wine.sh PROGRAM.exe [ARGUMENTS...]
WINEPREFIX=${WINEPREFIX:-"$(cd "$(dirname "$1")" && pwd)/wineprefix"}
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
exec "${WINE:-/usr/lib/wine/wine64}" "$@"
