#!/usr/bin/env bash
# Runs every test of the developer build (preset "dev") and gives a failed load test (label load:
# forty real programs at once, which a busy two-core machine can make miss its time) one rerun.
# Every rerun is printed and counted; a load test that fails twice fails the run, and no other
# test is ever rerun. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
failed_log=build/Testing/Temporary/LastTestsFailed.log

failed_names() { cut -d: -f2 "$failed_log" | sort; }

rm -f "$failed_log"
if ctest --preset dev "$@"; then
  echo "tests: passed, 0 reruns"
  exit 0
fi
if [ ! -s "$failed_log" ]; then
  echo "tests: ctest failed without a failed test to rerun" >&2
  exit 1
fi
load_names=$(ctest --preset load -N | sed -n 's/^ *Test *#[0-9]*: //p' | sort)
not_load=$(comm -23 <(failed_names) <(echo "$load_names"))
if [ -n "$not_load" ]; then
  echo "tests: FAILED: $(echo "$not_load" | paste -sd' ') (no reruns but for load tests)"
  exit 1
fi
names=$(failed_names | paste -sd' ')
count=$(wc -l <"$failed_log")
echo "== RERUN of $count load test(s) that failed on the first run: $names"
if ctest --preset load --rerun-failed "$@"; then
  echo "tests: passed, $count rerun(s): $names"
  exit 0
fi
echo "tests: FAILED, $count rerun(s), failed again: $(failed_names | paste -sd' ')"
exit 1
