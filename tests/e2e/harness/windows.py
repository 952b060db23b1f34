"""The windows on an X server: found by caption, waited for, measured, read as pixels, closed."""

import os
import re
import subprocess
import tempfile

from . import processes
from .image import Image
from .processes import HarnessError
from .properties import property32, text_property


def screenshot_dir_from_environment():
    """Where screenshots go: MIRUNEA_SCREENSHOTS (set by ctest), else a folder in the temporary directory."""
    folder = os.environ.get("MIRUNEA_SCREENSHOTS") or os.path.join(tempfile.gettempdir(), "mirunea-screenshots")
    os.makedirs(folder, exist_ok=True)
    return folder


def xdotool(env, *args, check=True):
    """Runs xdotool with the arguments; its output."""
    result = subprocess.run(["xdotool"] + [str(a) for a in args], env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    if check and result.returncode != 0:
        raise HarnessError("xdotool %s failed: %s" % (" ".join(map(str, args)), result.stderr.decode(errors="replace")))
    return result.stdout.decode(errors="replace")


class Windows:
    """x: the XServer; wait_for(condition, what, timeout): the waits, which may know more (that the
    program ended) than the screen does; screenshot_dir: where screenshot() saves."""

    def __init__(self, x, wait_for=processes.wait_until, screenshot_dir=None):
        self.x = x
        self.wait_for = wait_for
        self.screenshot_dir = screenshot_dir or screenshot_dir_from_environment()

    def _xdotool(self, *args, check=True):
        return xdotool(self.x.env, *args, check=check)

    # -- finding ------------------------------------------------------------

    def visible(self, caption):
        """Ids of the mapped windows whose caption is exactly this text."""
        out = self._xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(caption), check=False)
        return [int(w) for w in out.split()]

    def of_process(self, pid, caption):
        """Ids of the mapped windows of one process whose caption is exactly this text."""
        # --all: xdotool's default is to match either condition.
        out = self._xdotool("search", "--all", "--onlyvisible", "--pid", pid,
                            "--name", "^%s$" % re.escape(caption), check=False)
        return [int(w) for w in out.split()]

    def wait_one(self, caption, timeout=processes.DEFAULT_TIMEOUT):
        """The one mapped window with this caption, once there is one."""
        windows = self.wait_for(lambda: self.visible(caption), "a window %r" % caption, timeout)
        if len(windows) != 1:
            raise HarnessError("expected one window %r, found %d" % (caption, len(windows)))
        return windows[0]

    def wait_gone(self, caption, timeout=processes.DEFAULT_TIMEOUT):
        self.wait_for(lambda: not self.visible(caption), "the window %r to close" % caption, timeout)

    def wait_painted(self, window, x, y, timeout=processes.DEFAULT_TIMEOUT):
        """Waits until the program has drawn the window at x, y: a mapped window shows the black
        screen behind it for some milliseconds before its first paint."""
        self.wait_for(lambda: self.x.client.pixel(window, x, y) not in (None, (0, 0, 0)),
                      "window %#x to be painted" % window, timeout)

    # -- handling -----------------------------------------------------------

    def focus(self, window, sync=True):
        """Hands a window the keyboard focus, as a window manager would. Keys typed afterwards queue
        behind the focus change, so no wait for the program is needed; sync waits until the server
        reports the change (Wine may hand the focus on to a window of its own instead)."""
        self._xdotool("windowfocus", *(["--sync"] if sync else []), window, check=sync)

    def raise_window(self, window):
        """Puts a window on top of its siblings (there is no window manager to do it on a click)."""
        self._xdotool("windowraise", window)

    def resize(self, window, width, height, sync=True):
        """Sets a window's size; sync waits until the server has done it."""
        self._xdotool("windowsize", *(["--sync"] if sync else []), window, width, height)

    def request_close(self, window):
        """Asks a window to close as its close box would (WM_DELETE_WINDOW)."""
        self.x.client.request_close(window)

    def wm_close(self, window):
        """Presses the window's close box through the window manager (_NET_CLOSE_WINDOW), as a task bar does."""
        source_is_pager = 2
        self.x.client.client_message_to_root(window, "_NET_CLOSE_WINDOW", [0, source_is_pager])

    # -- measuring ----------------------------------------------------------

    def geometry(self, window):
        """(x, y, width, height) of a window on the screen."""
        out = self._xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def client_geometry(self, window):
        """(x, y, width, height) of a window's client area on the screen, as xwininfo reads it."""
        out = subprocess.run(["xwininfo", "-id", str(window)], env=self.x.env, check=True,
                             stdout=subprocess.PIPE).stdout.decode(errors="replace")

        def value(label):
            return int(re.search(label + r":\s+(-?\d+)", out).group(1))
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"))

    def frame_extents(self, window):
        """(left, right, top, bottom) of the frame the window manager drew, or None."""
        values = self.property32(window, "_NET_FRAME_EXTENTS")
        return tuple(values) if len(values) == 4 else None

    def outer_geometry(self, window):
        """(x, y, width, height) of the window with its frame, from the client area and _NET_FRAME_EXTENTS."""
        x, y, width, height = self.client_geometry(window)
        left, right, top, bottom = self.frame_extents(window) or (0, 0, 0, 0)
        return (x - left, y - top, width + left + right, height + top + bottom)

    def property32(self, window, name):
        """The 32-bit values of a window's property (window None: the root window's), [] when it has none."""
        return property32(self.x.env, window, name)

    def text_property(self, window, name):
        """A window's UTF-8 text property (_NET_WM_NAME ...), None when it has none."""
        return text_property(self.x.env, window, name)

    # -- pixels -------------------------------------------------------------

    def screenshot(self, name, window=None):
        """Saves the whole screen (or one window) as <screenshot dir>/<name>.png and returns it as an Image."""
        path = os.path.join(self.screenshot_dir, name + ".png")
        target = "root" if window is None else hex(window)
        subprocess.run(["import", "-silent", "-display", self.x.display, "-window", target, path],
                       check=True, env=self.x.env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        return Image(path)
