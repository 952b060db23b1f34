#!/usr/bin/env bash
# Start-up benchmark (not a test): exec to window mapped for the program, a bare Qt 6 window and a
# Qt window with one Japanese label, alone (alternating) and forty at once, on a private Xvfb. Builds into build/ (or $MIRUNEA_BUILD) first.
#   scripts/bench-startup.sh [runs alone, default 10] [instances at once, default 40]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${MIRUNEA_BUILD:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target mirunea mirunea_bare_window mirunea_japanese_label_window >/dev/null
/usr/bin/python3 tests/bench/bench_startup.py "$build/mirunea" "$build/tests/bench/mirunea_bare_window" \
  "$build/tests/bench/mirunea_japanese_label_window" \
  examples/data.txt "${1:-10}" "${2:-40}"
