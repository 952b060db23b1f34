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
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from bench_startup import Screen  # noqa: E402

WINE = "/usr/bin/wine"


def measure(session, screen, exe):
    """Milliseconds from spawn to the first window mapped."""
    session.program = exe
    before = time.monotonic()
    process = session.spawn_program(prefix=(WINE,))
    (_, mapped), = screen.wait_maps(1, timeout=60)
    process.kill()
    process.wait()
    return (mapped - before) * 1000


def main():
    program, yardstick, data_file = (os.path.abspath(arg) for arg in sys.argv[1:4])
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 15
    with open(data_file, "rb") as f:
        data = f.read()
    server = subprocess.Popen(["/usr/bin/wineserver", "-p", "-f"])
    try:
        with harness.Session(program) as session:
            session.write_data(data)
            screen = Screen(session)
            programs = (("mirunea.exe", program), ("Japanese static", yardstick))
            for _, exe in programs:
                measure(session, screen, exe)
            times = {name: [] for name, _ in programs}
            for _ in range(runs):
                for name, exe in programs:
                    times[name].append(measure(session, screen, exe))
                    # Wine ends a killed process's windows a moment later: let them go first.
                    time.sleep(0.3)
    finally:
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
