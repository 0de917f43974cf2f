#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) and runs each for a while
# from its committed seed corpus: `scripts/fuzz.sh [SECONDS]`, 60 by default.
# New inputs go to build/fuzz/corpus-<target>, never into the seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

status=0
for target in engine keyword_file decoding inside_word; do
  work="build/fuzz/corpus-$target"
  mkdir -p "$work"
  echo "== fuzz $target for ${seconds}s"
  if ! timeout $((seconds + 120)) "build/fuzz/fuzz/${target}_fuzz" -max_total_time="$seconds" \
      -print_final_stats=1 -artifact_prefix="build/fuzz/$target-" "$work" "fuzz/corpus/$target" \
      2>"build/fuzz/$target.log"; then
    echo "fuzz $target: FAILED (see build/fuzz/$target.log)"
    tail -n 30 "build/fuzz/$target.log"
    status=1
  else
    grep -E '^stat::number_of_executed_units' "build/fuzz/$target.log" | sed "s/^/fuzz $target: /"
  fi
done
exit $status
