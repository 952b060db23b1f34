#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test (what .ci/run runs).
# The configurations are the presets of CMakePresets.json: dev, asan, fuzz, windows.
set -euo pipefail
cd "$(dirname "$0")/.."
# Each phase is announced with the seconds since the start, so a slow phase shows in the log.
phase() { echo "== [${SECONDS} s] $*"; }
phase "dependencies"
./scripts/install-deps.sh
# The tree as .clang-format says.
phase "format"
./scripts/check-format.sh
phase "developer build"
cmake --preset dev >/dev/null
cmake --build --preset dev
# Every test once, side by side; only a failed load test (forty real windows at once) gets one
# rerun, printed and counted.
phase "developer tests"
./scripts/rerun-load.sh

# The Windows program, cross-built and tested under Wine; Wine keeps its prefix and home inside
# the build folder (preset "windows" sets its environment). Its tests mostly wait on Wine and X, so
# they run in the background while the sanitizer build takes the idle processors at low priority;
# their log is printed when they end.
phase "Windows build"
./scripts/build-windows.sh build-windows
phase "Windows tests, in the background"
windows_log=build-windows/windows-tests.log
ctest --preset windows >"$windows_log" 2>&1 &
windows_tests=$!
# A failure elsewhere ends them too.
trap 'kill "$windows_tests" 2>/dev/null || true' EXIT

# Under AddressSanitizer and UndefinedBehaviorSanitizer, any report failing a test: the unit and
# GUI tests, and of the end-to-end tests those that feed the real program faults and hostile
# files (preset "asan"); the keyboard and window tests drive the same code the GUI tests cover.
phase "sanitizer build, beside the Windows tests"
cmake --preset asan >/dev/null
nice -n 10 cmake --build --preset asan

phase "Windows tests, waiting for them"
windows_status=0
wait "$windows_tests" || windows_status=$?
trap - EXIT
cat "$windows_log"
if [ "$windows_status" -ne 0 ]; then
  echo "Windows tests FAILED" >&2
  exit "$windows_status"
fi

phase "sanitizer tests"
ctest --preset asan
# Then the fuzzers, side by side.
phase "fuzzers"
./scripts/fuzz.sh
phase "done"
