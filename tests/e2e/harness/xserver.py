"""A private X server: Xvfb, optionally a window manager and a D-Bus session bus, the environment
that reaches them, and the helper processes started there."""

import os
import shutil
import signal
import tempfile

from . import processes
from .processes import HarnessError
from .properties import property32
from .xclient import XClient

SCREEN_SIZE = (1280, 1024)

WINDOW_MANAGERS = {
    "openbox": ["openbox", "--sm-disable"],
    # Without a settings daemon xfwm4 takes its defaults; no compositor, as on a plain desktop.
    "xfwm4": ["xfwm4", "--compositor=off", "--sm-client-disable"],
}


def _quiet_environment(home, runtime):
    """A fresh user's environment with nothing of the caller's desktop in it."""
    env = {
        "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
        "HOME": home,
        "XDG_RUNTIME_DIR": runtime,
        "LANG": "C.UTF-8",
        "LC_ALL": "C.UTF-8",
        "QT_QPA_PLATFORM": "xcb",
        # No session bus: keeps Qt from autolaunching a dbus-daemon that would outlive the test.
        "DBUS_SESSION_BUS_ADDRESS": "unix:path=/nonexistent/mirunea-e2e",
        "NO_AT_BRIDGE": "1",
    }
    # A sanitizer build is told how to report by the suite that runs it.
    for name in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"):
        if name in os.environ:
            env[name] = os.environ[name]
    return env


class XServer(processes.Started):
    """Use it as a context manager: whatever it started is killed and its folder removed at the end.

    window_manager: None (a bare X server: nobody hands out the focus), "openbox" or "xfwm4" (which
    brings a session bus); screen: (width, height); session_bus: a private D-Bus session bus for
    everything started here; inherit_environment: start from this process's environment (Wine's
    prefix and code page) instead of a fresh user's. `env` is the environment for programs on it.
    """

    def __init__(self, window_manager=None, screen=None, session_bus=False, inherit_environment=False):
        self.window_manager = window_manager
        self.screen_size = screen or SCREEN_SIZE
        self.session_bus = session_bus or window_manager == "xfwm4"
        self.inherit_environment = inherit_environment
        # Made by start().
        self.display = self.env = self.client = self.folder = None
        self._xvfb = self._bus = self._wm = None
        self._helpers = []

    def start(self):
        self.folder = tempfile.mkdtemp(prefix="mirunea-x-")
        runtime = os.path.join(self.folder, "runtime")
        os.mkdir(runtime, 0o700)
        self.env = dict(os.environ) if self.inherit_environment else _quiet_environment(self.folder, runtime)
        # -noreset: the server stays as it is when its last client leaves between two runs.
        self._xvfb, number = processes.start_reporting_ready(
            ["Xvfb", "-screen", "0", "%dx%dx24" % self.screen_size, "-nolisten", "tcp", "-noreset"],
            "-displayfd", self.env)
        self.display = ":" + number
        self.env["DISPLAY"] = self.display
        self.client = XClient(self.display)
        if self.session_bus:
            self._start_session_bus()
        if self.window_manager is not None:
            self._start_window_manager()

    def _start_session_bus(self):
        self._bus, address = processes.start_reporting_ready(
            ["dbus-daemon", "--session", "--nofork", "--nopidfile",
             "--address=unix:path=" + os.path.join(self.folder, "bus")], "--print-address=", self.env)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def _start_window_manager(self):
        self._wm = processes.start(WINDOW_MANAGERS[self.window_manager], self.env)
        # Ready once it names its check window on the root window (EWMH).
        processes.wait_until(self._wm_check_window, "the window manager %s to start" % self.window_manager)

    def _wm_check_window(self):
        if self._wm.poll() is not None:
            raise HarnessError("the window manager %s ended with code %s" % (self.window_manager, self._wm.returncode))
        values = property32(self.env, None, "_NET_SUPPORTING_WM_CHECK")
        return values[0] if values else None

    def add_process(self, command, env=None):
        """Starts a helper (an input method daemon ...) on this screen; stop() kills it."""
        environment = dict(self.env)
        environment.update(env or {})
        process = processes.start(command, environment)
        self._helpers.append(process)
        return process

    def stop(self):
        """Kills whatever still runs here and removes the folder."""
        if self.client is not None:
            try:
                self.client.close()
            finally:
                self.client = None
        helpers, self._helpers = self._helpers, []
        for process in helpers + [self._wm, self._bus]:
            processes.kill_group(process)
        # The X server is asked first so that it removes its lock file and socket.
        processes.kill_group(self._xvfb, signal.SIGTERM)
        self._xvfb = self._wm = self._bus = None
        if self.folder is not None:
            shutil.rmtree(self.folder, ignore_errors=True)
            self.folder = None
