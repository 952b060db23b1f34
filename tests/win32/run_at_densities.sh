#!/bin/sh
# Runs a test program once per screen density, Wine's LogPixels set to each
# in turn (HKCU\Control Panel\Desktop, read by every Wine process as it
# starts), all on one private X server. The prefix is this test's own: the
# density of the other tests' prefix stays 96.
# Usage: run_at_densities.sh program.exe dpi...
set -eu
program=$1
shift
# A task bar's part of the screen kept from the windows (MIRUNEA_WORK_AREA: left,
# top, width, height), named as a desktop's panel names it for Wine to read.
if [ -n "${MIRUNEA_WORK_AREA:-}" ]; then
  PYTHONPATH="$(dirname "$0")/../e2e" PYTHONDONTWRITEBYTECODE=1 python3 -c '
import os
from harness.xclient import XClient
client = XClient(os.environ["DISPLAY"])
client.set_work_area(*(int(value) for value in os.environ["MIRUNEA_WORK_AREA"].split(",")))
client.close()'
fi
# A server of this prefix left from its creation, without a display, would
# keep the desktop window on no screen.
/usr/bin/wineserver -k 2>/dev/null || true
status=0
# The suite that shares this prefix runs at 96 dpi, after this test as before
# it, and without a server left on this test's display.
trap "/usr/bin/wine reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null; /usr/bin/wineserver -k 2>/dev/null || true" EXIT
for dpi in "$@"; do
  /usr/bin/wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
  echo "--- at $dpi dpi"
  MIRUNEA_EXPECTED_DPI=$dpi /usr/bin/wine "$program" || status=1
done
exit $status
