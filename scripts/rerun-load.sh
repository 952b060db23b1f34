#!/usr/bin/env bash
# Runs the load tests of the developer build (label load: forty real programs at once) and gives
# each one that fails a single rerun, since a busy two-core machine can make one of them miss its
# time. Every rerun is printed and counted; a test that fails twice fails the run. No other test
# is ever rerun. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
failed_log=build/Testing/Temporary/LastTestsFailed.log

rm -f "$failed_log"
if ctest --preset load "$@"; then
  echo "load tests: passed, 0 reruns"
  exit 0
fi
if [ ! -s "$failed_log" ]; then
  echo "load tests: ctest failed without a failed test to rerun" >&2
  exit 1
fi
names=$(cut -d: -f2 "$failed_log" | paste -sd' ')
count=$(wc -l <"$failed_log")
echo "== RERUN of $count load test(s) that failed on the first run: $names"
if ctest --preset load --rerun-failed "$@"; then
  echo "load tests: passed, $count rerun(s): $names"
  exit 0
fi
echo "load tests: FAILED, $count rerun(s), failed again: $(cut -d: -f2 "$failed_log" | paste -sd' ')"
exit 1
