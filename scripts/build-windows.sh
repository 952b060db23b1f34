#!/usr/bin/env bash
# Cross-builds the Windows program with mingw-w64: one static mirunea.exe
# without DLLs of its own, at build-windows/mirunea.exe (or $1/mirunea.exe).
# Further arguments go to CMake's configure step (e.g. -DMIRUNEA_BUILD_TESTS=OFF).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=${1:-build-windows}
# -O2 rather than CMake's -O3: the optimisation Debian builds with, quicker to
# compile, and nothing in the program gains from more.
shift || true
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DMIRUNEA_WERROR=ON "$@" >/dev/null
cmake --build "$build"
echo "Built $(pwd)/$build/mirunea.exe"
