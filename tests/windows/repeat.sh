#!/usr/bin/env bash
# Runs every Windows test N times in a row, as on a new machine: each run
# from a new Wine prefix, with a new HOME and an empty cache folder, and
# every other run with both cores kept busy (stress). Prints each failing
# test and a closing count; exits 1 if any run failed. Not part of CI: it
# is how a change to the Windows tests is shown not to fail at random.
#   tests/windows/repeat.sh N [BUILD_DIR [CTEST_ARGUMENTS...]]
#   (defaults: build, -j2)
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
  WINEPREFIX=$build/wineprefix "$wineserver" -k 2>/dev/null
  rm -rf "$build/wineprefix"
  home=$(mktemp -d)
  load=""
  if [ $((i % 2)) = 0 ]; then
    stress --cpu "$(nproc)" >/dev/null 2>&1 &
    load=$!
  fi
  if HOME=$home XDG_CACHE_HOME=$home/.cache ctest --test-dir "$build" -L windows "$@" >"$logs/run-$i.log" 2>&1; then
    passed=$((passed + 1)) verdict=passed
  else
    failed=$((failed + 1)) verdict=FAILED
  fi
  if [ -n "$load" ]; then
    kill "$load"
    wait "$load" 2>/dev/null
  fi
  rm -rf "$home"
  echo "run $i${load:+ (all cores busy)}: $verdict: $(grep -E 'tests passed' "$logs/run-$i.log")"
  grep -E '^ +[0-9]+ - .*\((Failed|Timeout|Not Run)\)' "$logs/run-$i.log"
done
echo "repeat: $passed passed, $failed failed (logs in $logs)"
[ "$failed" = 0 ]
