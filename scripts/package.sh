#!/usr/bin/env bash
# Builds what a school installs, into out/: the Debian package of the Linux program
# (mirunea_<version>_<arch>.deb) and the ZIP of the Windows program (mirunea-<version>-win64.zip).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
out=out

# The optimisation the test suite runs; CPack strips the binary.
cmake -S . -B build-package/linux -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRUNEA_WERROR=ON \
  -DMIRUNEA_BUILD_TESTS=OFF >/dev/null
cmake --build build-package/linux
cpack --config build-package/linux/CPackConfig.cmake -B "$out"

./scripts/build-windows.sh build-package/windows -DMIRUNEA_BUILD_TESTS=OFF
cpack --config build-package/windows/CPackConfig.cmake -B "$out"

rm -rf "$out/_CPack_Packages"
echo "Packages in $(pwd)/$out:"
ls -1 "$out"
