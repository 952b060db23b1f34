#!/usr/bin/env bash
# Builds the program and opens it on the sample questionnaire (examples/data.txt), started in a
# fresh temporary working folder as it would be in a shared folder.
# With a DISPLAY the window opens there and the script waits until you close it. Without one
# the window is drawn on a private Xvfb screen, saved to build/example-screenshot.png and closed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja
cmake --build "$build" --target mirunea mirunea_layout_dump

if [ -n "${DISPLAY:-}" ]; then
  workdir="$(mktemp -d "${TMPDIR:-/tmp}/mirunea-example.XXXXXX")"
  cp "$root/examples/data.txt" "$workdir/"
  echo "Working folder: $workdir (answer files are written here)"
  cd "$workdir"
  exec "$build/mirunea"
fi

# No display: the end-to-end harness brings its own X server and removes its working folder.
/usr/bin/python3 - "$root" "$build" <<'PYTHON'
import os
import sys

root, build = sys.argv[1], sys.argv[2]
sys.path.insert(0, os.path.join(root, "tests", "e2e"))
import harness

layout = harness.load_layout([os.path.join(build, "tests", "tools", "mirunea_layout_dump")])
with harness.Session(os.path.join(build, "mirunea"), screenshot_dir=build, layout=layout) as session:
    with open(os.path.join(root, "examples", "data.txt"), "rb") as sample:
        session.folder.write_data(sample.read())
    session.launch()
    shot = session.windows.screenshot("example-screenshot")
    session.close_main_window()
    code = session.program.wait_exit()
print(shot.path)
sys.exit(code)
PYTHON
