#!/bin/sh
# Runs a Windows program under Wine, quietly, in a Wine prefix of its own
# beside the program (Wine makes it on first use).
#   wine.sh PROGRAM.exe [ARGUMENTS...]
WINEPREFIX="$(cd "$(dirname "$1")" && pwd)/wineprefix"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
exec "${WINE64:-/usr/lib/wine/wine64}" "$@"
