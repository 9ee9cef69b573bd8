#!/usr/bin/env bash
# Speed and size, measured (not asserted):
#  - uptime extraction against a memmem/memchr baseline (goal: at least 0.8
#    of the baseline's throughput);
#  - a whole run of zorbel on the sample data (local uptime) against its
#    floor, a program that loads one shared library of its own and calls an
#    empty function in it (goal: median at most 1.3 times the floor's), in
#    the same run as /bin/true and procps' uptime; and zorbel's peak resident
#    memory (goal: at most 2 MiB).
#   speed.sh [BUILD_DIR]      needs hyperfine, procps, time and a C compiler
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
for tool in hyperfine uptime /usr/bin/time cc; do
  command -v $tool >/dev/null ||
    { echo "speed.sh needs $tool: apt-get install hyperfine procps time gcc"; exit 1; }
done
[ -x "$build/tests/extract_bench" ] ||
  { echo "speed.sh needs $build/tests/extract_bench: apt-get install libbenchmark-dev, then build again"; exit 1; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

echo "== Extraction throughput (key at the end of the report)"
"$build/tests/extract_bench" --benchmark_format=csv --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true 2>/dev/null >"$scratch/bench.csv"
awk -F, '/_median"?,/ {
    split($1, part, "/"); sub(/"/, "", part[1]); sub(/_median"?/, "", part[2])
    rate[part[1], part[2]] = $6; sizes[part[2]] = 1
  }
  END {
    for (size in sizes)
      printf "  %9d bytes: %6.2f GB/s extraction, %6.2f GB/s baseline, ratio %.2f\n", size,
        rate["ExtractUptimeFromReport", size] / 1e9, rate["LocateKeyAndLineEnd", size] / 1e9,
        rate["ExtractUptimeFromReport", size] / rate["LocateKeyAndLineEnd", size]
  }' "$scratch/bench.csv" | sort -n

echo "== A whole run on the sample data"
# The floor: started, linked and bound as zorbel is, reading no file.
floor=$scratch/floor
echo 'void floor_call(void) {}' >"$floor.c"
echo 'void floor_call(void); int main(void) { floor_call(); return 0; }' >"$floor-main.c"
cc -O2 -shared -fPIC -Wl,-z,now -o "$scratch/libfloor.so" "$floor.c"
# shellcheck disable=SC2016 # $ORIGIN is the loader's, not the shell's
cc -O2 -Wl,-z,now -Wl,-rpath,'$ORIGIN' -o "$floor" "$floor-main.c" -L"$scratch" -lfloor
# hyperfine -N splits a command into words as a shell would: a path is quoted.
quoted() { printf "'%s'" "${1//\'/\'\\\'\'}"; }
cd /
env -u NN_CONFIG hyperfine -N --warmup 100 --runs 2000 --export-csv "$scratch/runs.csv" \
  -n zorbel "$(quoted "$build/zorbel")" -n floor "$(quoted "$floor")" -n /bin/true /bin/true \
  -n "procps uptime" uptime \
  >/dev/null 2>"$scratch/hyperfine.err" || { cat "$scratch/hyperfine.err"; exit 1; }
awk -F, 'NR > 1 { median[NR - 1] = $4; name[NR - 1] = $1 }
  END {
    for (i = 1; i <= 4; i++)
      printf "  %-14s median %.3f ms, %.2f times the floor, %.2f times /bin/true\n", name[i],
        median[i] * 1000, median[i] / median[2], median[i] / median[3]
  }' "$scratch/runs.csv"

peak=0
for _ in $(seq 20); do
  kib=$(env -u NN_CONFIG /usr/bin/time -f %M "$build/zorbel" 2>&1 >/dev/null | tail -n 1)
  [ "$kib" -gt "$peak" ] && peak=$kib
done
echo "  zorbel peak resident memory: $peak KiB (largest of 20 runs)"
