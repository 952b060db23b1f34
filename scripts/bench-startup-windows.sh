#!/usr/bin/env bash
# Windows start-up benchmark (not a test): exec to the window first shown under Wine, mirunea.exe
# against a bare Win32 window with one Japanese static in the same face, alternating, on a private
# Xvfb. Cross-builds into build-windows/ (or $MIRUNEA_BUILD) first; the Wine prefix is the
# benchmark's own, inside it.
#   scripts/bench-startup-windows.sh [runs each, default 15]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${MIRUNEA_BUILD:-build-windows}"
./scripts/build-windows.sh "$build" >/dev/null
cmake --build "$build" --target mirunea_win32_japanese_static >/dev/null
export WINEPREFIX="$PWD/$build/wine/bench-prefix" HOME="$PWD/$build/wine/home" WINEDEBUG=-all \
  WINEDLLOVERRIDES="winemenubuilder.exe,winedbg.exe=d" LANG=ja_JP.UTF-8 TZ=UTC
unset LC_ALL
sh tests/win32/prepare_wine_prefix.sh >/dev/null 2>&1
/usr/bin/python3 tests/bench/bench_startup_windows.py "$build/mirunea.exe" \
  "$build/tests/bench/mirunea_win32_japanese_static.exe" examples/data.txt "${1:-15}"
