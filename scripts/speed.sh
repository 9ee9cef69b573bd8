#!/usr/bin/env bash
# Speed and size, measured (not asserted):
#  - uptime extraction against a memmem/memchr baseline (goal: at least 0.8
#    of the baseline's throughput);
#  - a whole run of zorbel on the sample data (local uptime) against /bin/true
#    and procps' uptime (goal: median at most 1.3 times /bin/true), and
#    zorbel's peak resident memory (goal: at most 2 MiB).
#   speed.sh [BUILD_DIR]      needs hyperfine, procps and time (Debian packages)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
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
cd /
env -u NN_CONFIG hyperfine -N --warmup 100 --runs 2000 --export-csv "$scratch/runs.csv" \
  "$build/zorbel" /bin/true uptime >/dev/null 2>&1
awk -F, 'NR > 1 { median[NR - 1] = $4; name[NR - 1] = $1 }
  END {
    for (i = 1; i <= 3; i++)
      printf "  %-28s median %.3f ms, %.2f times /bin/true\n", name[i], median[i] * 1000,
        median[i] / median[2]
  }' "$scratch/runs.csv"

peak=0
for _ in $(seq 20); do
  kib=$(env -u NN_CONFIG /usr/bin/time -f %M "$build/zorbel" 2>&1 >/dev/null | tail -n 1)
  [ "$kib" -gt "$peak" ] && peak=$kib
done
echo "  zorbel peak resident memory: $peak KiB (largest of 20 runs)"
