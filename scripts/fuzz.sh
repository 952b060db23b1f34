#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, ASan + UBSan) in build-fuzz/ (preset "fuzz") and runs
# them side by side for a bounded time from their seed corpora. Fails on any crash, leak, timeout
# or sanitizer report.
#   scripts/fuzz.sh [seconds per harness, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"

cmake --preset fuzz -DMIRUNEA_FUZZ_SECONDS="$seconds" >/dev/null
cmake --build --preset fuzz
echo "== fuzzers for ${seconds} s each"
ctest --preset fuzz
echo "fuzzing found nothing"
