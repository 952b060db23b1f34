#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, ASan + UBSan) in build-fuzz/ and runs each for a bounded
# time from its seed corpus. Fails on any crash, leak, timeout or sanitizer report.
#   scripts/fuzz.sh [seconds per harness, default 60]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
build="$root/build-fuzz"

cmake -S "$root/tests/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for name in questionnaire_reader questionnaire_limits answer_record; do
  # New inputs go to a scratch folder so the committed seeds stay as they are.
  work="$build/corpus-$name"
  mkdir -p "$work"
  echo "== fuzz_$name for ${seconds} s"
  (cd "$build" && "./fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=65536 -print_final_stats=1 "$work" "$root/tests/fuzz/corpus/${name/_reader/}" 2>&1 | tail -n 60)
done
echo "fuzzing found nothing"
