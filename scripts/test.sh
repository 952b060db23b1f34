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
# the build folder (preset "windows" sets its environment).
phase "Windows build"
./scripts/build-windows.sh build-windows

# Under AddressSanitizer and UndefinedBehaviorSanitizer, any report failing a test: the unit and
# GUI tests, and of the end-to-end tests those that feed the real program faults and hostile
# files (preset "asan"); the keyboard and window tests drive the same code the GUI tests cover.
phase "sanitizer build"
cmake --preset asan >/dev/null
cmake --build --preset asan
phase "sanitizer tests"
ctest --preset asan

# The Windows tests mostly wait on Wine and X, and the fuzzers run for a fixed time: the fuzzers,
# side by side at low priority, take what the Windows tests leave of the processors. The Windows
# tests' log is printed when they end.
phase "Windows tests in the background, fuzzers beside them"
windows_log=build-windows/windows-tests.log
ctest --preset windows >"$windows_log" 2>&1 &
windows_tests=$!
# A failure elsewhere ends them too.
trap 'kill "$windows_tests" 2>/dev/null || true' EXIT
nice -n 10 ./scripts/fuzz.sh

phase "Windows tests, waiting for them"
windows_status=0
wait "$windows_tests" || windows_status=$?
trap - EXIT
cat "$windows_log"
if [ "$windows_status" -ne 0 ]; then
  echo "Windows tests FAILED" >&2
  exit "$windows_status"
fi
phase "done"
