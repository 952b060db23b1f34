"""Start-up benchmark: exec to window mapped, for the program and two yardsticks, alone and many at once.

    python3 bench_startup.py <mirunea> <bare window> <Japanese label window> <data.txt> [runs alone] [at once]

The yardsticks are a bare Qt window and a Qt window with one Japanese label in the substitute face.
Runs alone alternate between the three programs, so that a change in the machine's load falls on all.

Each program starts in a folder holding the questionnaire, on a private Xvfb. The time of a
window's MapNotify (seen on the root window) minus the time its process was started is its
start-up time; the window is tied to its process by _NET_WM_PID. Not a test: it prints figures.
"""

import ctypes
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class Screen:
    def __init__(self, session):
        self.x = session._x
        lib = self.x.lib
        lib.XDefaultRootWindow.restype = ctypes.c_ulong
        lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        lib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        lib.XPending.argtypes = [ctypes.c_void_p]
        lib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        lib.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
            ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))]
        lib.XSelectInput(self.x.display, lib.XDefaultRootWindow(self.x.display), SUBSTRUCTURE_NOTIFY_MASK)
        lib.XSync(self.x.display, False)
        self.pid_atom = lib.XInternAtom(self.x.display, b"_NET_WM_PID", False)

    def wait_maps(self, count, timeout=120):
        """(window, time) of the next count top-level windows mapped."""
        lib, display = self.x.lib, self.x.display
        buffer = ctypes.create_string_buffer(24 * 8 * 2)
        maps, deadline = [], time.monotonic() + timeout
        while len(maps) < count:
            if time.monotonic() > deadline:
                raise harness.HarnessError("only %d of %d windows mapped" % (len(maps), count))
            if not lib.XPending(display):
                time.sleep(0.0005)
                continue
            lib.XNextEvent(display, buffer)
            event = XMapEvent.from_buffer(buffer)
            if event.type == MAP_NOTIFY and not event.override_redirect:
                maps.append((event.window, time.monotonic()))
        return maps

    def pid(self, window):
        kind, fmt, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        self.x.lib.XGetWindowProperty(self.x.display, window, self.pid_atom, 0, 1, False, 0, ctypes.byref(kind),
                                      ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                      ctypes.byref(data))
        if not data or count.value != 1:
            return None
        value = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0]
        self.x.lib.XFree(data)
        return value


def measure(program, data, instances):
    """Start-up times in ms of instances runs started together, and the time until all were mapped."""
    with harness.Session(program) as session:
        session.write_data(data)
        screen = Screen(session)
        started = {}
        first = time.monotonic()
        for _ in range(instances):
            before = time.monotonic()
            process = session.spawn_program()
            started[process.pid] = before
        maps = screen.wait_maps(instances)
        times = [(at - started[screen.pid(window)]) * 1000 for window, at in maps]
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
