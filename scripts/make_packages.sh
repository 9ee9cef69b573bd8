#!/bin/sh
# Makes every package of a build into one folder: the .deb and the tarball of
# the native build, and the zip of each Windows build that was made. Their
# files are dated by SOURCE_DATE_EPOCH, by default the time of the commit
# checked out (outside a git checkout, the time they were built); cpack's
# output goes to BUILD_DIR/cpack.log.
#   make_packages.sh BUILD_DIR OUT_DIR
set -eu
build=$(cd "$1" && pwd) out=$2
if [ -z "${SOURCE_DATE_EPOCH-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$(dirname "$0")" log -1 --format=%ct 2>/dev/null) || unset SOURCE_DATE_EPOCH
fi
[ -z "${SOURCE_DATE_EPOCH-}" ] || export SOURCE_DATE_EPOCH
# The same bytes from every builder: cpack gives the .deb's members the mode
# of the files it writes, a zip stores its entries' times in local time, and
# the tarball and the zips name the owner of the files they were made from,
# who is root only as root or under fakeroot.
umask 022
export TZ=UTC0
as_root=""
if [ "$(id -u)" != 0 ]; then
  if command -v fakeroot >/dev/null; then
    as_root=fakeroot
  else
    echo "No fakeroot here (apt-get install fakeroot): the tarball and the zips name $(id -un) as the owner"
  fi
fi
rm -rf "$out" "$build/cpack.log"
mkdir -p "$out"
for config in "$build/CPackConfig.cmake" "$build"/windows-*/CPackConfig.cmake; do
  [ -f "$config" ] || continue
  $as_root cpack --config "$config" -B "$out" >>"$build/cpack.log" 2>&1 ||
    { cat "$build/cpack.log"; exit 1; }
done
rm -rf "$out/_CPack_Packages"
ls "$out"
