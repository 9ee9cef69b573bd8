#!/usr/bin/env bash
# Installs, as root, every Debian package that the build, the tests and CI's
# checks use, the 32-bit Wine among them. CI runs it first; so can you.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  cmake make g++ libgtest-dev libgmock-dev googletest libbenchmark-dev dpkg-dev file valgrind
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 wine32:i386
  clang libclang-rt-14-dev clang-tidy clang-format cppcheck
  lintian mandoc hyperfine procps time
)

dpkg --add-architecture i386 # the 32-bit Wine
# A mirror in the middle of a sync fails an index now and then ("File has
# unexpected size"); apt then keeps the lists it had, and the install below
# decides with those.
apt-get update || echo "apt-get update failed for an index (above): going on with the lists apt has"

# Packages that amd64 and i386 share must be the same version on both. When a
# suite's index for one of them is missing or out of step with the other's,
# the newest versions may not fit together; those of the machine's own
# release do, on both.
target=()
if ! apt-get install -s --no-install-recommends "${packages[@]}" >/dev/null 2>&1; then
  release=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "The newest packages do not install together (an index of the archive is missing or out of step): installing those of $release"
  target=(-t "$release")
fi
apt-get install -y --no-install-recommends "${target[@]}" "${packages[@]}"
