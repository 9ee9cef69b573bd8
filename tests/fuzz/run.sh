#!/usr/bin/env bash
# Fuzzes each target for a bounded time, starting from its seed corpus (which
# the fuzz build's ctest also replays). New inputs go to a scratch folder, not
# to the repository. A crash fails the run and leaves its input in the build
# folder as TARGET-crash-*: once fixed, add it to tests/fuzz/corpus/TARGET.
#   run.sh FUZZ_BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
build=$(cd "$1" && pwd) seconds=${2:-60}
corpus=$(cd "$(dirname "$0")" && pwd)/corpus
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for target in extract timetext config; do
  mkdir "$scratch/$target"
  echo "== fuzzing $target for ${seconds}s"
  "$build/tests/fuzz/${target}_fuzz" -max_total_time="$seconds" -close_fd_mask=2 \
    -artifact_prefix="$build/$target-" "$scratch/$target" "$corpus/$target" 2>&1 | grep -E "INITED|DONE|ERROR|SUMMARY|property"
done
