"""Windows start-up benchmark: exec to the window first shown under Wine, for mirunea.exe and a bare
Win32 window with one Japanese static in the same face, alternating, on one private Xvfb.

    python3 bench_startup_windows.py <mirunea.exe> <yardstick.exe> <data.txt> [runs, default 15]

Wine's environment (WINEPREFIX, HOME, LANG ...) comes from the caller. A persistent wineserver
serves every run, and each program runs once unmeasured first, so that no run pays for starting
the server or for a cold font cache. A run's time is the MapNotify of its first top-level window
(seen on the root window) minus the time its process was started; the program is killed after.
Not a test: it prints figures.
"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402

WINE = "/usr/bin/wine"


def measure(x, program):
    """Milliseconds from spawn to the first window mapped."""
    before = time.monotonic()
    process = program.spawn()
    (_, mapped), = x.client.wait_maps(1, timeout=60)
    process.kill()
    process.wait()
    return (mapped - before) * 1000


def main():
    program, yardstick, data_file = (os.path.abspath(arg) for arg in sys.argv[1:4])
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 15
    with open(data_file, "rb") as f:
        data = f.read()
    server = subprocess.Popen(["/usr/bin/wineserver", "-p", "-f"])
    folder = harness.WorkingFolder()
    try:
        folder.write_data(data)
        with harness.XServer(inherit_environment=True) as x:
            x.client.watch_maps()
            programs = [(name, harness.Program(exe, folder, x.env, launcher=[WINE]))
                        for name, exe in (("mirunea.exe", program), ("Japanese static", yardstick))]
            for _, runs_of in programs:
                measure(x, runs_of)
            times = {name: [] for name, _ in programs}
            try:
                for _ in range(runs):
                    for name, runs_of in programs:
                        times[name].append(measure(x, runs_of))
                        # Wine ends a killed process's windows a moment later: let them go first.
                        time.sleep(0.3)
            finally:
                for _, runs_of in programs:
                    runs_of.stop()
    finally:
        folder.remove()
        subprocess.run(["/usr/bin/wineserver", "-k"], check=False)
        server.wait()
    print("exec to window first shown under Wine, ms (%d runs each, alternating)" % runs)
    for name, values in times.items():
        print("  %-16s median %6.0f  min %6.0f  max %6.0f" % (name, statistics.median(values), min(values),
                                                            max(values)))
    ratio = statistics.median(times["mirunea.exe"]) / statistics.median(times["Japanese static"])
    print("  ratio mirunea.exe / Japanese static (medians): %.2f" % ratio)


if __name__ == "__main__":
    main()
