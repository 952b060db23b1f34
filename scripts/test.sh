#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRUNEA_WERROR=ON >/dev/null
cmake --build build
# The load tests drive forty real windows at once; one rerun keeps a busy machine from failing them.
ctest --test-dir build --output-on-failure -j2 --repeat until-pass:2

# The same suite once more under AddressSanitizer and UndefinedBehaviorSanitizer, any report
# failing it; the classroom's forty programs are left out there (its own run above covers it, and
# forty sanitized Qt programs at once take minutes on two cores). Then the fuzzers, a minute each.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRUNEA_WERROR=ON -DMIRUNEA_SANITIZE=ON >/dev/null
cmake --build build-asan
ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j2 -E e2e_classroom
./scripts/fuzz.sh

# The Windows program, cross-built and tested under Wine; Wine keeps its
# prefix and home inside the build folder.
./scripts/build-windows.sh build-windows
(
  unset LC_ALL
  export WINEPREFIX="$PWD/build-windows/wine/prefix" HOME="$PWD/build-windows/wine/home"
  export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d" LANG=ja_JP.UTF-8
  ctest --test-dir build-windows --output-on-failure -j2
)
