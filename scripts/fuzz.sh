#!/usr/bin/env bash
# Runs each fuzz target of a sanitizer build (make fuzz) for FUZZ_SECONDS, all at once, starting
# from the seeds in fuzz/corpus/<target>/. New inputs the fuzzers find stay in the build folder;
# an input that crashes a target is kept there too, and its name is printed. Fails on any finding.
set -u
build=${1:-build-asan}
seconds=${FUZZ_SECONDS:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
targets=(ini moon userimage)

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}

out="$build/fuzz/runs"
mkdir -p "$out"
pids=()
for t in "${targets[@]}"; do
  exe="$build/fuzz/fuzz_$t"
  [ -x "$exe" ] || { echo "fuzz: $exe is missing (make fuzz builds it)" >&2; exit 1; }
  mkdir -p "$out/corpus-$t"
  dict=()
  [ -f "$root/fuzz/$t.dict" ] && dict=(-dict="$root/fuzz/$t.dict")
  "$exe" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/crash-$t-" "${dict[@]}" "$out/corpus-$t" "$root/fuzz/corpus/$t" \
    >"$out/$t.log" 2>&1 &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  if wait "${pids[$i]}"; then
    runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$out/$t.log")
    inputs=$(find "$out/corpus-$t" -type f | wc -l)
    echo "fuzz_$t: ${runs:-?} inputs tried in ${seconds} s, no finding (${inputs} new inputs kept in $out/corpus-$t)"
  else
    failed=1
    echo "fuzz_$t: FAILED; the end of its log ($out/$t.log):" >&2
    tail -n 60 "$out/$t.log" | sed 's/^/  /' >&2
    ls "$out"/crash-"$t"-* 2>/dev/null | sed 's/^/  input kept: /' >&2
  fi
done
exit $failed
