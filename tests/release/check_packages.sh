#!/usr/bin/env bash
# Checks the packages as a user gets them: each carries the licence, every
# binary in them is stripped and hardened, each Windows file says what it is,
# of which kind (32- or 64-bit), in its version resource, and each document
# speaks of its own platform only.
#   check_packages.sh PACKAGE_DIR VERSION [HARDENING]
# HARDENING lists what the Linux build added (stack-protector, and fortify
# and fortify-runtime where zorbel and the stand-in call checked functions).
set -euo pipefail
dir=$(cd "$1" && pwd) version=$2 hardening=${3-}
scratch=$(mktemp -d)
failed=0
trap 'if [ "$failed" = 0 ]; then rm -rf "$scratch"; else echo "Its files are kept in $scratch"; fi' EXIT
problem() { echo "FAIL: $*"; failed=1; }
need_file() { [ -f "$1" ] || problem "$2 has no ${1##*/}"; }

elf_stripped() {
  if readelf -S "$1" | grep -qE '\.symtab|\.debug_'; then problem "$2 is not stripped"; fi
}
# Hardened as Debian hardens its packages: position-independent, read-only
# relocations bound at load, a stack protector and checked string and print
# functions.
elf_hardened() {
  local header segments dynamic symbols checked fortify
  header=$(readelf -h "$1") segments=$(readelf -lW "$1") dynamic=$(readelf -d "$1")
  symbols=$(readelf --dyn-syms -W "$1")
  grep -qE 'Type: +DYN' <<<"$header" || problem "$2 is not position-independent"
  grep -q GNU_RELRO <<<"$segments" || problem "$2 has no read-only relocations (RELRO)"
  grep -qE 'BIND_NOW|FLAGS.* NOW' <<<"$dynamic" || problem "$2 is not bound at load (BIND_NOW)"
  if [[ $hardening == *stack-protector* ]] && ! grep -q '__stack_chk_fail' <<<"$symbols"; then
    problem "$2 has no stack protector"
  fi
  checked=$(grep -oE '__[a-z0-9_]+_chk\b' <<<"$symbols" | grep -vc '^__stack_chk_fail$' || true)
  fortify=fortify
  [[ $1 != *libnnotes.so ]] || fortify='fortify-runtime'
  if [[ ";$hardening;" == *";$fortify;"* ]] && [ "$checked" = 0 ]; then
    problem "$2 calls no checked functions (_FORTIFY_SOURCE)"
  fi
}
# Loaded at a random address, its data not executable (ASLR and DEP).
pe_hardened() {
  local headers
  headers=$("$3-objdump" -p "$1")
  for flag in DYNAMIC_BASE NX_COMPAT; do
    grep -qw "$flag" <<<"$headers" || problem "$2 lacks $flag"
  done
}
pe_stripped() {
  if "$3-objdump" -h "$1" | grep -q '\.debug_' || ! "$3-objdump" -t "$1" | grep -q 'no symbols'; then
    problem "$2 is not stripped"
  fi
}
version_resource() { # FILE PACKAGE TRIPLET ORIGINAL_NAME KIND
  local rc numbers
  rc=$("$3-windres" -i "$1" -O rc 2>&1) || { problem "$2: no version resource in $4: $rc"; return; }
  grep -qE "VALUE \"FileDescription\", \"[^\"]*$5" <<<"$rc" || problem "$2: $4 does not say $5 in its description"
  for field in "FileVersion\", \"$version\"" "ProductVersion\", \"$version\"" \
    "ProductName\", \"Zorbel\"" "OriginalFilename\", \"$4\"" "FileDescription\", \"" \
    "LegalCopyright\", \"Copyright (c) "; do
    grep -qF "VALUE \"$field" <<<"$rc" || problem "$2: $4 lacks $field in its version resource"
  done
  numbers=$(cut -d. -f1-4 <<<"$version.0.0.0")
  grep -qF "FILEVERSION ${numbers//./, }" <<<"$rc" || problem "$2: $4 has the wrong FILEVERSION"
}

deb=$(ls "$dir"/zorbel_"$version"_*.deb)
mkdir "$scratch/deb"
dpkg-deb -x "$deb" "$scratch/deb"
need_file "$scratch/deb/usr/share/doc/zorbel/copyright" "${deb##*/}"
need_file "$scratch/deb/usr/share/doc/zorbel/changelog.gz" "${deb##*/}"
need_file "$scratch/deb/usr/share/doc/zorbel/stand-in-runtime.md" "${deb##*/}"
if grep -qE '<!--|nNOTES.dll' "$scratch/deb/usr/share/doc/zorbel/stand-in-runtime.md"; then
  problem "${deb##*/}: stand-in-runtime.md shows a marker line (<!--) or speaks of Windows"
fi
zcat "$scratch/deb/usr/share/man/man1/zorbel.1.gz" | grep -q "^\.TH .*\"zorbel $version\"" ||
  problem "${deb##*/}: the man page does not say version $version"
zcat "$scratch/deb/usr/share/doc/zorbel/changelog.gz" | head -n 1 | grep -qF "zorbel ($version)" ||
  problem "${deb##*/}: the changelog's newest entry is not version $version"
for binary in "$scratch/deb/usr/bin/zorbel" "$(find "$scratch/deb/usr/lib" -name libnnotes.so)"; do
  elf_stripped "$binary" "${deb##*/}: ${binary##*/}"
  elf_hardened "$binary" "${deb##*/}: ${binary##*/}"
done
echo "checked ${deb##*/}"

tarball=$(ls "$dir"/zorbel-"$version"-*.tar.gz)
mkdir "$scratch/tgz"
tar -xzf "$tarball" -C "$scratch/tgz"
need_file "$(ls -d "$scratch"/tgz/*)/usr/share/doc/zorbel/LICENSE" "${tarball##*/}"
elf_stripped "$(ls "$scratch"/tgz/*/usr/bin/zorbel)" "${tarball##*/}: zorbel"
echo "checked ${tarball##*/}"

for zip in "$dir"/zorbel-"$version"-windows-*.zip; do
  [ -f "$zip" ] || continue
  triplet=x86_64-w64-mingw32 kind=64-bit
  [ "${zip%x86.zip}" != "$zip" ] && triplet=i686-w64-mingw32 kind=32-bit
  unpacked="$scratch/${zip##*/}"
  mkdir "$unpacked"
  (cd "$unpacked" && cmake -E tar xf "$zip")
  for text in LICENSE.txt README.txt stand-in-runtime/README.txt; do
    need_file "$unpacked/$text" "${zip##*/}"
    if [ -f "$unpacked/$text" ] && grep -qv $'\r$' "$unpacked/$text"; then
      problem "${zip##*/}: $text has lines without CR LF line ends"
    fi
    if [ -f "$unpacked/$text" ] && grep -q '<!--' "$unpacked/$text"; then
      problem "${zip##*/}: $text shows a marker line of the document tests (<!--)"
    fi
  done
  grep -q "the $kind build" "$unpacked/README.txt" || problem "${zip##*/}: README.txt does not say it is the $kind build"
  if grep -qE 'libnnotes|/usr/share' "$unpacked/stand-in-runtime/README.txt"; then
    problem "${zip##*/}: stand-in-runtime/README.txt speaks of Linux"
  fi
  for file in zorbel.exe stand-in-runtime/nNOTES.dll; do
    pe_stripped "$unpacked/$file" "${zip##*/}: $file" "$triplet"
    pe_hardened "$unpacked/$file" "${zip##*/}: $file" "$triplet"
    version_resource "$unpacked/$file" "${zip##*/}" "$triplet" "${file##*/}" "$kind"
  done
  echo "checked ${zip##*/}"
done
exit $failed
