#!/usr/bin/env bash
# Installs, as root, every Debian package that the build, the tests, CI and
# the checks beyond the tests use, the 32-bit Wine among them. CI runs it
# first; so can you.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(
  cmake make ninja-build g++ libgtest-dev libgmock-dev googletest libbenchmark-dev dpkg-dev file valgrind
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64 wine32:i386
  clang libclang-rt-14-dev clang-tidy clang-format cppcheck
  lintian mandoc hyperfine procps time shellcheck gcovr
  reprotest disorderfs faketime diffoscope-minimal fakeroot
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
# shellcheck disable=SC1091 # the system's own file, not ours to check
release=$(. /etc/os-release && echo "$VERSION_CODENAME")
target=()
if ! apt-get install -s --no-install-recommends "${packages[@]}" >/dev/null 2>&1; then
  echo "The newest packages do not install together (an index of the archive is missing or out of step): installing those of $release"
  target=(-t "$release")
fi
apt-get install -y --no-install-recommends "${target[@]}" "${packages[@]}"

# The 32-bit Wine is a 32-bit Linux program. Where this kernel runs none
# ("Exec format error"), it runs under QEMU's user-mode emulation, from the
# release's backports: the release's own QEMU takes most of a minute to start
# Wine, the backported one a fraction of a second.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "This kernel runs no 32-bit programs: the 32-bit Wine runs under qemu-i386 from $release-backports"
  # shellcheck disable=SC2016 # $(REPO_URI) is apt's placeholder, not the shell's
  uri=$(apt-get indextargets --format '$(REPO_URI)' "Codename: $release" | head -n 1)
  sources=/etc/apt/sources.list.d/$release-backports.sources
  printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: %s\n' \
    "$uri" "$release" /usr/share/keyrings/debian-archive-keyring.gpg >"$sources"
  apt-get update -o Dir::Etc::SourceList="$sources" -o Dir::Etc::SourceParts=- \
    -o APT::Get::List-Cleanup=0 || echo "apt-get update failed for $release-backports (above): going on with the lists apt has"
  apt-get install -y --no-install-recommends -t "$release-backports" qemu-user
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e $binfmt/register ] || mount -t binfmt_misc binfmt_misc $binfmt
  [ -e $binfmt/qemu-i386 ] || printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' >$binfmt/register
  /usr/lib/wine/wine --version >/dev/null || { echo "The 32-bit Wine does not run here, even under qemu-i386"; exit 1; }
fi
