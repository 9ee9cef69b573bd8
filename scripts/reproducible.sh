#!/usr/bin/env bash
# Builds the packages of this source tree twice with reprotest, Debian's
# reproducibility tester, which varies between the two builds what differs
# between builders' machines (build path, umask, file order, time zone,
# locale, clock, CPU count, host name, environment, ...), and compares them.
# Writes the packages and their SHA256SUMS to OUT_DIR.
#   reproducible.sh OUT_DIR [CMAKE_ARGS...]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$1
shift
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
# Not varied: the user and group, which takes sudo and a second user.
vary=-user_group
# The file order is varied through FUSE, which this user must be able to open.
if [ ! -r /dev/fuse ] || [ ! -w /dev/fuse ]; then
  echo "No FUSE for $(id -un) here (/dev/fuse): the order in which folders are listed is not varied"
  vary+=,-fileordering
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/zorbel"
git ls-files -z | xargs -0 cp --parents -t "$scratch/zorbel"

args=""
[ $# = 0 ] || args=$(printf '%q ' "$@")
# shellcheck disable=SC2016 # $(nproc) is for the build's shell: the CPUs reprotest gives it
build='cmake -S . -B build '"$args"' && cmake --build build --parallel "$(nproc)" &&
  scripts/make_packages.sh build packages'
reprotest --vary="$vary" --store-dir="$scratch/builds" \
  -c "($build) >build.log 2>&1 || { tail -n 40 build.log; exit 1; }" \
  "$scratch/zorbel" 'packages/zorbel*' -- null

rm -rf "$out"
mkdir -p "$out"
cp "$scratch"/builds/control/source-root/packages/zorbel* "$out"
(cd "$out" && sha256sum zorbel* >SHA256SUMS && cat SHA256SUMS)
