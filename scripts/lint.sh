#!/usr/bin/env bash
# Static analysis of the tool and the stand-in runtime: clang-tidy (.clang-tidy),
# cppcheck, the layout of every C++ file against .clang-format, and every
# shell script with shellcheck.
#   lint.sh [BUILD_DIR]     the build folder must have been configured
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/compile_commands.json" ] ||
  { echo "lint.sh needs a configured build folder: $build has no compile_commands.json"; exit 1; }
code=(startup uptime notes runtime)

echo "== clang-tidy"
run-clang-tidy -quiet -p "$build" "$PWD/(startup|uptime|runtime)/" >"$build/clang-tidy.log" 2>&1 ||
  { grep -E "warning:|error:" "$build/clang-tidy.log" || tail -n 20 "$build/clang-tidy.log"; exit 1; }
echo "clean"

echo "== cppcheck"
cppcheck --enable=warning,style,performance,portability --std=c++20 --language=c++ \
  --error-exitcode=1 --inline-suppr --quiet -I . -I runtime "${code[@]}"
echo "clean"

echo "== clang-format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "clean"

echo "== shellcheck"
git ls-files -z '*.sh' .ci/run | xargs -0 shellcheck
echo "clean"
