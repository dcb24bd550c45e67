#!/usr/bin/env bash
# Runs every benchmark suite.
set -eu
build=${1:-build}
if [ -x "$build/bench/velmorax_bench" ]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/velmorax_bench"
else
  echo "velmorax: no benchmarks were built (is libbenchmark-dev installed?)" >&2
  exit 1
fi
