#!/usr/bin/env bash
# Runs each fuzz target for a bounded time: scripts/fuzz.sh BUILD_DIR SECONDS
# New inputs go to BUILD_DIR/corpus (the committed seeds stay as they are);
# a failing input is kept as BUILD_DIR/artifacts/<target>-crash-..., and can
# be replayed with: BUILD_DIR/tests/fuzz/fuzz_<target> <that file>.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-60}

# Per input: an evaluation may take at most 10 s, memory at most 2 GB.
declare -A max_len=([configfile]=4096 [textfile]=65536 [evaluator]=33000 [textstore]=4096)

status=0
for target in configfile textfile evaluator textstore; do
  binary="$build/tests/fuzz/fuzz_$target"
  corpus="$build/corpus/$target"
  mkdir -p "$corpus" "$build/artifacts"
  echo "== fuzz_$target for ${seconds} s"
  dict=()
  [ -f "tests/fuzz/$target.dict" ] && dict=(-dict="tests/fuzz/$target.dict")
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      "$binary" "$corpus" "tests/fuzz/corpus/$target" "${dict[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len="${max_len[$target]}" -artifact_prefix="$build/artifacts/$target-" \
      -print_final_stats=1 2>"$build/fuzz_$target.log"; then
    tail -n 60 "$build/fuzz_$target.log"
    echo "fuzz_$target FAILED (log: $build/fuzz_$target.log)"
    status=1
  else
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' \
      "$build/fuzz_$target.log" || true
  fi
done
exit $status
