#!/bin/sh
# Makes every package of a build into one folder: the .deb and the tarball of
# the native build, and the zip of each Windows build that was made.
#   make_packages.sh BUILD_DIR OUT_DIR
set -eu
build=$(cd "$1" && pwd) out=$2
# The same bytes from every builder: cpack gives the .deb's members the mode
# of the files it writes, and a zip stores its entries' times in local time.
umask 022
export TZ=UTC0
rm -rf "$out"
mkdir -p "$out"
for config in "$build/CPackConfig.cmake" "$build"/windows-*/CPackConfig.cmake; do
  [ -f "$config" ] || continue
  cpack --config "$config" -B "$out" >>"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; exit 1; }
done
rm -rf "$out/_CPack_Packages"
ls "$out"
