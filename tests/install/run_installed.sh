#!/bin/sh
# Installs the build into a fresh prefix and runs the installed tool from
# another folder, with no help from the environment: it must find its
# runtime and the sample data by itself.
#   run_installed.sh BUILD_DIR PREFIX
set -eu
build=$1 prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
cd /
out=$(env -u NN_CONFIG -u LD_LIBRARY_PATH "$prefix/bin/zorbel" "Hub One/Acme")
if [ "$out" != "7 days 10:30:15" ]; then
  echo "FAIL: the installed zorbel printed '$out'"
  exit 1
fi
echo "OK: the installed zorbel printed '$out'"
