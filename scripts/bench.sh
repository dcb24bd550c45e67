#!/usr/bin/env bash
# Runs every benchmark suite (one table: the median of a few repetitions of each), then measures
# the real program as a process beside a minimal Qt program and the X clocks (bench/process.sh,
# about a minute and a half). VX_REPS sets the repetitions; VX_NO_PROCESS=1 skips the process part.
set -eu
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -x "$build/bench/velmorax_bench" ]; then
  echo "velmorax: no benchmarks were built (is libbenchmark-dev installed?)" >&2
  exit 1
fi
echo "Benchmarks: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); median of ${VX_REPS:-3} repetitions."
echo "Time is wall-clock; CPU is this thread's CPU time, or the whole process's where the name ends in"
echo "process_time; in these median rows Iterations counts the repetitions. A tick is DrawWatch (two"
echo "settings reads) and the repaint the event loop delivers."
QT_QPA_PLATFORM=offscreen "$build/bench/velmorax_bench" --benchmark_repetitions="${VX_REPS:-3}" \
  --benchmark_report_aggregates_only=true 2>/dev/null |
  awk '/^-+$/ || /^Benchmark/ { print; next } /_median/ { sub(/_median/, ""); print }'
[ "${VX_NO_PROCESS:-0}" = 1 ] && exit 0
"$here/bench/process.sh" "$build"
