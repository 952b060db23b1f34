"""Start-up benchmark: exec to window mapped, for the program and two yardsticks, alone and many at once.

    python3 bench_startup.py <mirunea> <bare window> <Japanese label window> <data.txt> [runs alone] [at once]

The yardsticks are a bare Qt window and a Qt window with one Japanese label in the substitute face.
Runs alone alternate between the three programs, so that a change in the machine's load falls on all.

Each program starts in a folder holding the questionnaire, on a private Xvfb. The time of a
window's MapNotify (seen on the root window) minus the time its process was started is its
start-up time; the window is tied to its process by _NET_WM_PID. Not a test: it prints figures.
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402


def measure(program, data, instances):
    """Start-up times in ms of instances runs started together, and the time until all were mapped."""
    with harness.Session(program) as session:
        session.folder.write_data(data)
        x = session.x.client
        x.watch_maps()
        started = {}
        first = time.monotonic()
        for _ in range(instances):
            before = time.monotonic()
            process = session.program.spawn()
            started[process.pid] = before
        maps = x.wait_maps(instances)
        times = [(at - started[x.window_pid(window)]) * 1000 for window, at in maps]
        return times, (max(at for _, at in maps) - first) * 1000


def main():
    program, bare, label, data_file = (os.path.abspath(arg) for arg in sys.argv[1:5])
    alone_runs = int(sys.argv[5]) if len(sys.argv) > 5 else 10
    crowd = int(sys.argv[6]) if len(sys.argv) > 6 else 40
    with open(data_file, "rb") as f:
        data = f.read()
    programs = (("mirunea", program), ("Japanese label", label), ("bare Qt window", bare))
    alone = {name: [] for name, _ in programs}
    for _ in range(alone_runs):
        for name, path in programs:
            alone[name].append(measure(path, data, 1)[0][0])
    results = {}
    for name, path in programs:
        together, all_mapped = (measure(path, data, crowd) if crowd > 0 else ([0.0], 0.0))
        results[name] = (statistics.median(alone[name]), statistics.median(together), max(together), all_mapped)
    print("exec to window mapped, ms (median of %d alone, alternating; %d at once: median, slowest, all mapped)"
          % (alone_runs, crowd))
    for name, (median_alone, median, slowest, all_mapped) in results.items():
        print("  %-15s alone %6.0f" % (name, median_alone)
              + ("   at once: median %6.0f  slowest %6.0f  all %6.0f" % (median, slowest, all_mapped)
                 if crowd > 0 else ""))
    m = results["mirunea"]
    for yardstick in ("Japanese label", "bare Qt window"):
        y = results[yardstick]
        print("  ratio mirunea / %s: alone %.2f%s" % (
            yardstick, m[0] / y[0],
            ", at once median %.2f, all mapped %.2f" % (m[1] / y[1], m[3] / y[3]) if crowd > 0 else ""))


if __name__ == "__main__":
    main()
