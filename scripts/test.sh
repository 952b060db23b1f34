#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRUNEA_WERROR=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j2

# The Windows program, cross-built and tested under Wine; Wine keeps its
# prefix and home inside the build folder.
./scripts/build-windows.sh build-windows
(
  unset LC_ALL
  export WINEPREFIX="$PWD/build-windows/wine/prefix" HOME="$PWD/build-windows/wine/home"
  export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d" LANG=ja_JP.UTF-8
  ctest --test-dir build-windows --output-on-failure -j2
)
