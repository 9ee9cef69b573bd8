#!/usr/bin/env bash
# Line and branch coverage of the tool and of the stand-in by the Linux
# suite: a coverage build, every Linux test (the end-to-end cases start
# zorbel from folders of their own and still count), then gcovr's figures
# for each file of startup/, uptime/ and runtime/, and an HTML report with
# every line and branch in BUILD/coverage/index.html. Branches that only an
# exception thrown by the C++ library can take are left out. A tool for
# developers, not a gate.
#   scripts/coverage.sh [BUILD_DIR]   (default: build-coverage; needs gcovr)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-coverage}
command -v gcovr >/dev/null || { echo "coverage.sh needs gcovr: apt-get install gcovr"; exit 1; }

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DZORBEL_COVERAGE=ON -DZORBEL_WINDOWS=OFF
cmake --build "$build" --parallel "$(nproc)"
find "$build" -name '*.gcda' -delete
# The Valgrind cases run the same cases again, only slower.
ctest --test-dir "$build" -L linux -E '^valgrind[.]' -j "$(nproc)" --output-on-failure |
  grep -E 'tests passed|tests failed|\((Failed|Timeout)\)'

mkdir -p "$build/coverage"
gcov=(gcovr --root . --object-directory "$build" --filter 'startup/' --filter 'uptime/'
  --filter 'runtime/' --exclude-throw-branches --exclude-unreachable-branches --sort-uncovered
  "$build") # counts only from this build: other builds may hold a Wine prefix, whose z: is /
"${gcov[@]}" --html-details "$build/coverage/index.html" --print-summary
echo "== lines"
"${gcov[@]}"
echo "== branches"
"${gcov[@]}" --branches
echo "HTML report: $build/coverage/index.html"
