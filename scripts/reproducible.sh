#!/usr/bin/env bash
# Builds the packages of this source tree twice, from copies in two different
# folders, with the same SOURCE_DATE_EPOCH, and compares them byte for byte.
# Writes SHA256SUMS of the first build's packages beside them.
#   reproducible.sh OUT_DIR [CMAKE_ARGS...]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$1
shift
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
scratch=$(mktemp -d)

for copy in first second-in-another-folder; do
  mkdir -p "$scratch/$copy/zorbel"
  git ls-files -z | xargs -0 cp --parents -t "$scratch/$copy/zorbel"
  cmake -S "$scratch/$copy/zorbel" -B "$scratch/$copy/build" "$@" >"$scratch/$copy.log" 2>&1 &&
    cmake --build "$scratch/$copy/build" --parallel >>"$scratch/$copy.log" 2>&1 &&
    scripts/make_packages.sh "$scratch/$copy/build" "$scratch/$copy/packages" >/dev/null ||
    { cat "$scratch/$copy.log"; rm -rf "$scratch"; exit 1; }
done

different=0
for package in "$scratch"/first/packages/zorbel*; do
  name=${package##*/}
  if cmp "$package" "$scratch/second-in-another-folder/packages/$name"; then
    echo "identical: $name"
  else
    different=1
  fi
done
rm -rf "$out"
mkdir -p "$out"
cp "$scratch"/first/packages/zorbel* "$out"
(cd "$out" && sha256sum zorbel* >SHA256SUMS && cat SHA256SUMS)
if [ $different = 0 ]; then
  rm -rf "$scratch"
else
  echo "The builds are kept for a closer look (diffoscope): $scratch"
fi
exit $different
