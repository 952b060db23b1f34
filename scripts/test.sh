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

# Under AddressSanitizer and UndefinedBehaviorSanitizer, any report failing a test: the unit and
# GUI tests, and of the end-to-end tests those that feed the real program faults and hostile
# files (preset "asan"); the keyboard and window tests drive the same code the GUI tests cover.
# Then the fuzzers, side by side.
phase "sanitizer build"
cmake --preset asan >/dev/null
cmake --build --preset asan
phase "sanitizer tests"
ctest --preset asan
phase "fuzzers"
./scripts/fuzz.sh

# The Windows program, cross-built and tested under Wine; Wine keeps its prefix and home inside
# the build folder (preset "windows" sets its environment).
phase "Windows build"
./scripts/build-windows.sh build-windows
phase "Windows tests"
ctest --preset windows
phase "done"
