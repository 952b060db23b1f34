#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test (what .ci/run runs).
# The configurations are the presets of CMakePresets.json: dev, asan, fuzz, windows.
set -euo pipefail
cd "$(dirname "$0")/.."
# Each phase is announced with the seconds since the start, so a slow phase shows in the log.
phase() { echo "== [${SECONDS} s] $*"; }
# await NAME PID LOG: waits for a job started in the background, prints its log, and ends the run
# with its status if it failed.
await() {
  local status=0
  wait "$2" || status=$?
  cat "$3"
  if [ "$status" -ne 0 ]; then
    echo "$1 FAILED" >&2
    exit "$status"
  fi
}
phase "dependencies"
./scripts/install-deps.sh
# The tree as .clang-format says (a second).
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
phase "format"
./scripts/check-format.sh
phase "developer build"
cmake --preset dev >/dev/null
cmake --build --preset dev

# The Windows program, cross-built with mingw-w64 beside the developer tests: most of those wait on
# X and the programs they drive, and the build takes only what processors they leave (nice 19).
# The load test (forty real windows at once) needs the processors and runs after it, alone.
# Wine keeps its prefix and home inside the build folder (preset "windows" sets its environment).
phase "Windows build, beside the developer tests but the load test"
nice -n 19 ./scripts/build-windows.sh build-windows >"$logs/windows-build" 2>&1 &
windows_build=$!
phase "developer tests but the load test"
tests_status=0
./scripts/rerun-load.sh -LE '^load$' || tests_status=$?
phase "Windows build, waiting for it"
await "Windows build" "$windows_build" "$logs/windows-build"
if [ "$tests_status" -ne 0 ]; then
  exit "$tests_status"
fi
# Only a failed load test gets one rerun, printed and counted.
phase "developer load test"
./scripts/rerun-load.sh -L '^load$'

# Its tests mostly wait on Wine and X, so they run in the background while the sanitizer build
# takes the idle processors at low priority; their log is printed when they end.
phase "Windows tests, in the background"
windows_log=build-windows/windows-tests.log
ctest --preset windows >"$windows_log" 2>&1 &
windows_tests=$!
# A failure elsewhere ends them too.
trap 'kill "$windows_tests" 2>/dev/null || true; rm -rf "$logs"' EXIT

# Under AddressSanitizer and UndefinedBehaviorSanitizer, any report failing a test: the unit and
# GUI tests, and of the end-to-end tests those that feed the real program faults and hostile
# files (preset "asan"); the keyboard and window tests drive the same code the GUI tests cover.
# The fuzzers are built here too: the Windows tests leave processors idle while Wine starts.
phase "sanitizer and fuzzers' builds, beside the Windows tests"
cmake --preset asan >/dev/null
nice -n 10 cmake --build --preset asan
cmake --preset fuzz -DMIRUNEA_FUZZ_SECONDS=30 >/dev/null
nice -n 10 cmake --build --preset fuzz

phase "Windows tests, waiting for them"
await "Windows tests" "$windows_tests" "$windows_log"
trap 'rm -rf "$logs"' EXIT

# The fuzzers run for a fixed time whatever processor they get: at lower priority beside the
# sanitizer tests, which mostly wait on the programs they drive.
phase "sanitizer tests, the fuzzers beside them"
fuzz_log="$logs/fuzz"
nice -n 10 ctest --preset fuzz >"$fuzz_log" 2>&1 &
fuzzers=$!
trap 'kill "$fuzzers" 2>/dev/null || true; rm -rf "$logs"' EXIT
asan_status=0
ctest --preset asan || asan_status=$?
phase "fuzzers, waiting for them"
await "fuzzers" "$fuzzers" "$fuzz_log"
trap 'rm -rf "$logs"' EXIT
if [ "$asan_status" -ne 0 ]; then
  echo "sanitizer tests FAILED" >&2
  exit "$asan_status"
fi
phase "done"
