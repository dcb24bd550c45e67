#!/usr/bin/env bash
# `make wintest`: the Qt-free core and its unit tests cross-built as Windows programs with
# MinGW-w64 (GoogleTest from Debian's sources, built by the same compiler) and run under Wine, in
# a Wine prefix inside the build folder. No display is needed. Ends with the number of tests
# that ran under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-win}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVELMORAX_CORE_ONLY=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs"

# The prefix is made once, before tests start side by side.
export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all
start=$(date +%s)
scripts/wine-run.sh "$WINEPREFIX" cmd /c exit
echo "wintest: Wine prefix ready in $(($(date +%s) - start)) s"
trap 'wineserver -k 2>/dev/null || true' EXIT

status=0
# A Wine process now and then stays after its program has ended; such a run is cut off by its
# timeout and run again, once.
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 120 --repeat after-timeout:2 || status=$?

# Each test program's own summary, from the full log CTest keeps.
log=$build/Testing/Temporary/LastTest.log
count() { awk -v tag="$1" '$1 == "[" && $2 == tag && $3 == "]" && $4 ~ /^[0-9]+$/ {s += $4} END {print s + 0}' "$log"; }
programs=$(awk '/^[0-9]+\/[0-9]+ Test: / {n++} END {print n + 0}' "$log")
echo "wintest: $programs Windows test programs under Wine: $(count PASSED) tests passed," \
  "$(count SKIPPED) skipped, $(count FAILED) failed"
awk '/^\[  SKIPPED \] [A-Za-z]/ && $5 == "" && !seen[$0]++ {print "wintest: " $0}' "$log"
exit "$status"
