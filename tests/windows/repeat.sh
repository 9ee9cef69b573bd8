#!/usr/bin/env bash
# Runs every Windows test N times in a row, as on a new machine: each run
# from a new Wine prefix, with a new HOME and an empty cache folder, beside
# a load of three busy jobs per core (stress), as on a crowded CI machine.
# Prints each failing test and a closing count; exits 1 if any run failed.
# Not part of CI: it is how a change to the Windows tests is shown not to
# fail at random.
#   [LOAD_NICE=N] tests/windows/repeat.sh N [BUILD_DIR [CTEST_ARGUMENTS...]]
#   (defaults: build, -j2; the load at nice 0, LOAD_NICE=19 lets the tests go first)
set -u
runs=${1:?usage: repeat.sh N [BUILD_DIR [CTEST_ARGUMENTS...]]}
build=$(cd "${2:-build}" && pwd) || exit 1
shift $(($# < 2 ? $# : 2))
[ $# -gt 0 ] || set -- -j2
set -- --output-on-failure "$@"
command -v stress >/dev/null || { echo "repeat.sh needs stress: apt-get install stress"; exit 1; }
wineserver=$(sed -n 's/^ZORBEL_WINESERVER:FILEPATH=//p' "$build/CMakeCache.txt")
logs=$build/repeat
rm -rf "$logs" && mkdir -p "$logs"
passed=0 failed=0
for i in $(seq "$runs"); do
  "$(dirname "$0")/wine_server.sh" stop "$wineserver" "$build/wineprefix"
  rm -rf "$build/wineprefix" "$build/wineprefix.tmp"
  home=$(mktemp -d)
  nice -n "${LOAD_NICE:-0}" stress --cpu $((3 * $(nproc))) >/dev/null 2>&1 &
  load=$!
  if HOME=$home XDG_CACHE_HOME=$home/.cache ctest --test-dir "$build" -L windows "$@" >"$logs/run-$i.log" 2>&1; then
    passed=$((passed + 1)) verdict=passed
  else
    failed=$((failed + 1)) verdict=FAILED
  fi
  kill "$load"
  wait "$load" 2>/dev/null
  rm -rf "$home"
  echo "run $i: $verdict: $(grep -E "tests passed" "$logs/run-$i.log"), $(grep -oE "Total Test time.*" "$logs/run-$i.log")"
  grep -E '^ +[0-9]+ - .*\((Failed|Timeout|Not Run)\)' "$logs/run-$i.log"
done
echo "repeat: $passed passed, $failed failed, each beside $((3 * $(nproc))) busy jobs at nice ${LOAD_NICE:-0} (logs in $logs)"
[ "$failed" = 0 ]
