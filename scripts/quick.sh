#!/usr/bin/env bash
# The edit-compile-test loop: builds the developer build (build/, preset "dev") and runs its unit
# and GUI tests (preset "quick"). The end-to-end, load, sanitizer, fuzz and Wine passes are left
# to ./scripts/test.sh. Extra arguments go to ctest, e.g. scripts/quick.sh -R cp932
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/CMakeCache.txt ]; then
  ./scripts/install-deps.sh
  cmake --preset dev >/dev/null
fi
cmake --build --preset dev
ctest --preset quick "$@"
