#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test (what .ci/run runs).
# The configurations are the presets of CMakePresets.json: dev, asan, fuzz, windows.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
# The tree as .clang-format says.
./scripts/check-format.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
# Every test once, side by side; only a failed load test (forty real windows at once) gets one
# rerun, printed and counted.
./scripts/rerun-load.sh

# Under AddressSanitizer and UndefinedBehaviorSanitizer, any report failing a test: the unit and
# GUI tests, and of the end-to-end tests those that feed the real program faults and hostile
# files (preset "asan"); the keyboard and window tests drive the same code the GUI tests cover.
# Then the fuzzers, side by side.
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
./scripts/fuzz.sh

# The Windows program, cross-built and tested under Wine; Wine keeps its prefix and home inside
# the build folder (preset "windows" sets its environment).
./scripts/build-windows.sh build-windows
ctest --preset windows
