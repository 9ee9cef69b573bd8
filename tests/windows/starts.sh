#!/usr/bin/env bash
# Counts how often Wine fails to start a Windows program: starts zorbel.exe /?
# of each Windows build N times, one start after another (both builds side
# by side), on one kept-up Wine server, with Wine's errors on, while a load
# of three busy jobs per core runs beside it. A start fails when it exits
# non-zero or prints no usage text; failures are counted by the first line
# Wine wrote (its thread number left out). Not part of CI: it is how a
# change to the way Wine runs is shown to start every time.
#   [LOAD_NICE=N] tests/windows/starts.sh N [BUILD_DIR]
#   (defaults: build; the load at nice 0, LOAD_NICE=19 lets Wine go first)
set -u
starts=${1:?usage: starts.sh N [BUILD_DIR]}
build=$(cd "${2:-build}" && pwd) || exit 1
nice=${LOAD_NICE:-0}
command -v stress >/dev/null || { echo "starts.sh needs stress: apt-get install stress"; exit 1; }
here=$(dirname "$(realpath "$0")")
wineserver=$(sed -n 's/^ZORBEL_WINESERVER:FILEPATH=//p' "$build/CMakeCache.txt")
launchers=("$build"/wine-*.sh)
[ -e "${launchers[0]}" ] || { echo "no Windows build runs in $build"; exit 1; }
logs=$build/starts
rm -rf "$logs" && mkdir -p "$logs"

# Starts one build's zorbel.exe again and again; keeps what each failed start wrote.
count() {
  local launcher=$1 arch out i failed=0
  arch=${launcher##*/wine-} && arch=${arch%.sh}
  out=$logs/$arch
  for i in $(seq "$starts"); do
    if ! "$launcher" "$build/windows-$arch/zorbel.exe" /? >"$out.stdout" 2>"$out.stderr" ||
      [ "$(head -c 26 "$out.stdout")" != "Usage: Zorbel [ServerName]" ]; then
      failed=$((failed + 1))
      { sed -n '1{s/^[0-9a-f]\{4\}://;p}' "$out.stderr"; [ -s "$out.stderr" ] || echo "(nothing)"; } |
        head -n 1 >>"$out.failures"
      cp "$out.stderr" "$out.failed-$i.stderr"
    fi
  done
  echo "$arch: $starts starts, $failed failed$([ $failed = 0 ] || echo " (1 in $((starts / failed)))")"
  [ ! -f "$out.failures" ] || sort "$out.failures" | uniq -c
}

"$here/wine_server.sh" start "$wineserver" "$build/wineprefix" "${launchers[@]}" || exit 1
nice -n "$nice" stress --cpu $((3 * $(nproc))) >/dev/null 2>&1 &
load=$!
begin=$(date +%s) counters=()
for launcher in "${launchers[@]}"; do
  count "$launcher" >"$logs/${launcher##*/}.count" &
  counters+=("$!")
done
wait "${counters[@]}"
kill "$load"
wait "$load" 2>/dev/null
"$here/wine_server.sh" stop "$wineserver" "$build/wineprefix"
cat "$logs"/*.count
echo "in $(($(date +%s) - begin)) s, beside $((3 * $(nproc))) busy jobs at nice $nice (logs in $logs)"
! grep -qE ', [1-9][0-9]* failed' "$logs"/*.count
