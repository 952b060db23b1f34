"""Drives the real program on a private Xvfb screen, as a respondent would.

One `Session` owns one X server, one temporary working folder and at most one
run of the program. Use it as a context manager so that the program and the X
server are killed and the folder removed even when a test fails:

    with Session(program, hostname="PC05") as s:
        s.write_data(["Title", "About", "Name", "[T]Q"])   # Shift-JIS, CR LF
        window = s.launch()
        s.type("山田")
        s.key("Tab", "Tab", "Return")
        s.wait_dialog()
        ...

By default there is no window manager: the harness hands the keyboard focus to
each new window itself and closes the sheet with WM_DELETE_WINDOW, as a close box
would. Session(window_manager="openbox" or "xfwm4") runs one on the screen, and
session_bus=True gives everything started there a private D-Bus session bus.
Japanese text is typed through keys bound to its characters (see Session.type).

Standard library only, plus the Debian tools xvfb, xdotool, imagemagick and
util-linux (unshare), and the X client library libX11 (reached through ctypes).
"""

import ctypes
import ctypes.util
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

MAIN_CAPTION = "校内アンケート　ミルネア"
DIALOG_CAPTION = "ミルネア"

# The answer sheet's fixed layout, relative to the window's client area: (left, top, width, height).
CLIENT_SIZE = (990, 689)
WINDOW_POSITION = (9, 10)
NAME_EDIT = (80, 56, 217, 23)
SEND_BUTTON = (800, 40, 177, 41)
# Between the two columns of panels: no control ever covers it.
EMPTY_SPOT = (496, 300)
PALE_GREEN = (192, 220, 192)
SILVER = (192, 192, 192)


def panel_rect(q):
    """Question panel q (1 to 10): panels 1 to 5 on the left, 6 to 10 on the right, top to bottom."""
    return (8 if q <= 5 else 504, 88 + 120 * ((q - 1) % 5), 481, 113)


def _inside_panel(q, left, top, width, height):
    panel_left, panel_top = panel_rect(q)[:2]
    return (panel_left + left, panel_top + top, width, height)


def radio_group_rect(q):
    return _inside_panel(q, 88, 16, 385, 89)


def check_list_rect(q):
    return _inside_panel(q, 88, 24, 385, 81)


def edit_rect(q):
    return _inside_panel(q, 88, 32, 385, 23)


def panel_empty_spot(q):
    """A point inside panel q that no control covers: below the hint label, left of the answer control."""
    left, top = panel_rect(q)[:2]
    return (left + 30, top + 90)


def around(point, reach=3):
    """The square of pixels within reach of a point, e.g. the inside of a check box."""
    x, y = point
    return (x - reach, y - reach, 2 * reach + 1, 2 * reach + 1)


def frame_top(rect):
    """The top two pixel rows of a control: its frame shows the keyboard focus, and no text cursor
    reaches it."""
    left, top, width = rect[:3]
    return (left, top, width, 2)


def centre(rect):
    left, top, width, height = rect
    return (left + width // 2, top + height // 2)


SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 1024

# Characters the default (US) keymap of Xvfb types without help.
_KEYMAP_CHARACTERS = frozenset(chr(c) for c in range(0x20, 0x7F)) | {"\t", "\n"}

POLL_SECONDS = 0.05
# Under ctest -j2 on two cores a cold Qt start can take a few seconds.
DEFAULT_TIMEOUT = 15.0


class HarnessError(AssertionError):
    """A wait ran out or the program did something a test did not expect."""


def sjis(text):
    """The Shift-JIS (code page 932) bytes of a text."""
    return text.encode("cp932")


def sjis_lines(lines, final_break=True):
    """Shift-JIS bytes of the lines joined by CR LF, as a Windows editor saves them."""
    data = b"\r\n".join(sjis(line) for line in lines)
    return data + b"\r\n" if final_break else data


def describe_bytes(data):
    """Lines of Shift-JIS bytes made readable for a failure message (line breaks shown as \\r\\n)."""
    return data.decode("cp932", "backslashreplace").replace("\r", "\\r").replace("\n", "\\n\n")


class AnswerFileAssertions:
    """Mixin for unittest.TestCase: byte-exact comparison with a readable difference."""

    def assertAnswerFile(self, session, lines):
        expected = sjis_lines(lines)
        actual = session.read_answer()
        if actual != expected:
            self.assertEqual(describe_bytes(actual), describe_bytes(expected), "answer file differs")
            self.fail("answer file differs in bytes that decode alike:\n%r\n%r" % (actual, expected))


def program_from_environment():
    """The program under test, named by ctest in MIRUNEA_PROGRAM."""
    program = os.environ.get("MIRUNEA_PROGRAM", "")
    if not program or not os.access(program, os.X_OK):
        raise HarnessError(
            "MIRUNEA_PROGRAM must name the built program (got %r); run the tests through ctest" % program)
    return program


def screenshot_dir_from_environment():
    """Where screenshots go: MIRUNEA_SCREENSHOTS (set by ctest), else a folder in the temporary directory."""
    folder = os.environ.get("MIRUNEA_SCREENSHOTS") or os.path.join(tempfile.gettempdir(), "mirunea-screenshots")
    os.makedirs(folder, exist_ok=True)
    return folder


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class _XEvent(ctypes.Union):
    # XEvent is a union padded to 24 longs.
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


class _Xlib:
    """What xdotool lacks here: a polite close request, and keys bound once for good."""

    CLIENT_MESSAGE = 33

    def __init__(self, display_name):
        path = ctypes.util.find_library("X11") or "libX11.so.6"
        self.lib = ctypes.CDLL(path)
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.lib.XInternAtom.restype = ctypes.c_ulong
        self.lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                        ctypes.POINTER(_XEvent)]
        self.lib.XFlush.argtypes = [ctypes.c_void_p]
        self.lib.XDisplayKeycodes.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                              ctypes.POINTER(ctypes.c_int)]
        self.lib.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
        self.lib.XGetKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_ubyte, ctypes.c_int,
                                                 ctypes.POINTER(ctypes.c_int)]
        self.lib.XChangeKeyboardMapping.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                    ctypes.POINTER(ctypes.c_ulong), ctypes.c_int]
        self.lib.XFree.argtypes = [ctypes.c_void_p]
        self.lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.lib.XGetImage.restype = ctypes.c_void_p
        self.lib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.lib.XGetPixel.restype = ctypes.c_ulong
        self.lib.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        self.lib.XDestroyImage.argtypes = [ctypes.c_void_p]
        self.lib.XSetErrorHandler.argtypes = [ctypes.c_void_p]
        # A window that goes away while we look at it must not end the test process.
        self._ignore_errors = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        self.lib.XSetErrorHandler(ctypes.cast(self._ignore_errors, ctypes.c_void_p))
        self.display = self.lib.XOpenDisplay(display_name.encode())
        if not self.display:
            raise HarnessError("cannot open X display %s" % display_name)

    def close(self):
        if self.display:
            self.lib.XCloseDisplay(self.display)
            self.display = None

    def spare_keycodes(self):
        """Key codes free for our own characters: unmapped ones and multimedia (XF86) keys."""
        low, high = ctypes.c_int(), ctypes.c_int()
        self.lib.XDisplayKeycodes(self.display, ctypes.byref(low), ctypes.byref(high))
        count = high.value - low.value + 1
        per_keycode = ctypes.c_int()
        mapping = self.lib.XGetKeyboardMapping(self.display, low.value, count, ctypes.byref(per_keycode))
        spare = []
        for index in range(count):
            symbols = [mapping[index * per_keycode.value + level] for level in range(per_keycode.value)]
            if all(sym == 0 or 0x1008FF00 <= sym <= 0x1008FFFF for sym in symbols):
                spare.append(low.value + index)
        self.lib.XFree(mapping)
        return [code for code in spare if code > low.value]

    def bind(self, keycode, keysym):
        symbols = (ctypes.c_ulong * 1)(keysym)
        self.lib.XChangeKeyboardMapping(self.display, keycode, 1, symbols, 1)
        self.lib.XSync(self.display, False)

    def pixel(self, window, x, y):
        """RGB of one pixel of a window as the screen shows it now, or None if it cannot be read."""
        z_pixmap, all_planes = 2, 0xFFFFFFFF
        image = self.lib.XGetImage(self.display, window, x, y, 1, 1, all_planes, z_pixmap)
        if not image:
            return None
        value = self.lib.XGetPixel(image, 0, 0)
        self.lib.XDestroyImage(image)
        return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF)

    def client_message_to_root(self, window, message_type, values):
        """An EWMH request about a window, sent to the root window for the window manager."""
        self.lib.XDefaultRootWindow.restype = ctypes.c_ulong
        self.lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        event = _XEvent()
        event.xclient.type = self.CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self.lib.XInternAtom(self.display, message_type.encode(), False)
        event.xclient.format = 32
        for index, value in enumerate(values):
            event.xclient.data[index] = value
        substructure_notify_and_redirect = (1 << 19) | (1 << 20)
        self.lib.XSendEvent(self.display, self.lib.XDefaultRootWindow(self.display), False,
                            substructure_notify_and_redirect, ctypes.byref(event))
        self.lib.XSync(self.display, False)

    def region(self, window, left, top, width, height):
        """The pixels of a rectangle of a window as the screen shows it now (bytes, for comparing),
        or None if they cannot be read."""
        z_pixmap, all_planes = 2, 0xFFFFFFFF
        image = self.lib.XGetImage(self.display, window, left, top, width, height, all_planes, z_pixmap)
        if not image:
            return None
        pixels = bytearray()
        for y in range(height):
            for x in range(width):
                pixels += (self.lib.XGetPixel(image, x, y) & 0xFFFFFF).to_bytes(3, "big")
        self.lib.XDestroyImage(image)
        return bytes(pixels)

    def request_close(self, window):
        """What a window manager sends when the close box is pressed: WM_DELETE_WINDOW."""
        event = _XEvent()
        event.xclient.type = self.CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self.lib.XInternAtom(self.display, b"WM_PROTOCOLS", False)
        event.xclient.format = 32
        event.xclient.data[0] = self.lib.XInternAtom(self.display, b"WM_DELETE_WINDOW", False)
        event.xclient.data[1] = 0  # CurrentTime
        self.lib.XSendEvent(self.display, window, False, 0, ctypes.byref(event))
        self.lib.XSync(self.display, False)


class Image:
    """A screenshot: the PNG on disk and its pixels, read back through a PPM."""

    def __init__(self, path):
        self.path = path
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                             stdout=subprocess.PIPE).stdout
        fields = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", ppm)
        if not fields:
            raise HarnessError("unexpected image data from convert for %s" % path)
        self.width, self.height = int(fields.group(1)), int(fields.group(2))
        self._pixels = ppm[fields.end():]

    def pixel(self, x, y):
        """RGB triple at x, y."""
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise HarnessError("pixel %d,%d outside the %dx%d image" % (x, y, self.width, self.height))
        offset = (y * self.width + x) * 3
        return tuple(self._pixels[offset:offset + 3])

    def count(self, rgb, left, top, width, height):
        """How many pixels of the rectangle have exactly this colour."""
        return self.count_where(lambda pixel: pixel == tuple(rgb), left, top, width, height)

    def count_where(self, predicate, left=0, top=0, width=None, height=None):
        """How many pixels of the rectangle (the whole image by default) satisfy predicate(rgb)."""
        width = self.width - left if width is None else width
        height = self.height - top if height is None else height
        return sum(1 for y in range(top, top + height) for x in range(left, left + width)
                   if predicate(self.pixel(x, y)))

    def _is_light(self, x, y):
        return min(self.pixel(x, y)) > 240

    def find_indicators(self, left, top, width, height):
        """Centres of the radio circles or check boxes in the leftmost 24 px of a control.

        An indicator's empty inside is a light patch of 6 to 16 px, about as wide as it is high,
        closed by darker pixels all round; the column that crosses most such patches is the
        indicators' middle. Works on unchecked indicators only, so take the picture before clicking.
        """
        best = []
        for x in range(left + 1, left + min(width, 25)):
            found, start = [], None
            for y in range(top, top + height + 1):
                light = y < top + height and self._is_light(x, y)
                if light and start is None:
                    start = y
                elif not light and start is not None:
                    if start > top and y < top + height and self._is_indicator(x, start, y - 1, left, width):
                        found.append((x, (start + y - 1) // 2))
                    start = None
            if best and len(found) == len(best[0]):
                best.append(found)
            elif len(found) > len(best[0] if best else []):
                best = [found]
        return best[len(best) // 2] if best else []

    def _is_indicator(self, x, first, last, left, width):
        rows = last - first + 1
        if not 6 <= rows <= 16:
            return False
        middle = (first + last) // 2
        west = east = x
        while west > left and self._is_light(west - 1, middle):
            west -= 1
        while east < left + width - 1 and self._is_light(east + 1, middle):
            east += 1
        return west > left and east < left + width - 1 and abs((east - west + 1) - rows) <= 3


def _die_with_parent():
    """Runs in each child before exec: a test killed outright takes its X server and program with it."""
    libc = ctypes.CDLL(ctypes.util.find_library("c") or "libc.so.6", use_errno=True)
    pr_set_pdeathsig = 1
    libc.prctl(pr_set_pdeathsig, signal.SIGKILL, 0, 0, 0)


def _kill_group(proc, sig):
    try:
        os.killpg(proc.pid, sig)
        proc.wait(5)
    except ProcessLookupError:
        pass
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()


class Session:
    """A private X screen, a fresh working folder and the program started in it."""

    def __init__(self, program, hostname=None, screenshot_dir=None, window_manager=None, screen=None,
                 session_bus=False):
        """window_manager: None (a bare X server), "openbox" or "xfwm4" (which brings a session bus);
        screen: (width, height); session_bus: a private D-Bus session bus for everything started here."""
        self.program = program
        self.session_bus = session_bus or window_manager == "xfwm4"
        self._bus = None
        self._helpers = []
        self.window_manager = window_manager
        self.screen_size = screen or (SCREEN_WIDTH, SCREEN_HEIGHT)
        self._wm = None
        self.hostname = hostname
        self.screenshot_dir = screenshot_dir or screenshot_dir_from_environment()
        self.workdir = None
        self.display = None
        self.process = None
        self.main_window = None
        self._xvfb = None
        self._x = None
        self._private = None
        self._stderr = None
        self._env = None
        self._bound = set()
        self._spare = None
        self._extra = []

    # -- lifetime ---------------------------------------------------------

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        """Starts the X server and makes the empty working folder."""
        self._private = tempfile.mkdtemp(prefix="mirunea-e2e-")
        self.workdir = os.path.join(self._private, "share")
        os.mkdir(self.workdir)
        runtime = os.path.join(self._private, "runtime")
        os.mkdir(runtime, 0o700)
        self._start_xvfb()
        self._x = _Xlib(self.display)
        self._env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "DISPLAY": self.display,
            "HOME": self._private,
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
                self._env[name] = os.environ[name]
        if self.session_bus:
            self._start_session_bus()
        if self.window_manager is not None:
            self._start_window_manager()

    def _start_session_bus(self):
        socket = os.path.join(self._private, "bus")
        self._bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                      "--address=unix:path=" + socket], env=self._env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     start_new_session=True, preexec_fn=_die_with_parent)
        self.wait_for(lambda: os.path.exists(socket), "the session bus")
        self._env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + socket

    def add_process(self, command, env=None):
        """Starts a helper (an input method daemon ...) on this session's screen; stop() kills it."""
        environment = dict(self._env)
        environment.update(env or {})
        process = subprocess.Popen(command, env=environment, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, start_new_session=True, preexec_fn=_die_with_parent)
        self._helpers.append(process)
        return process

    def _start_window_manager(self):
        commands = {
            "openbox": ["openbox", "--sm-disable"],
            # Without a settings daemon xfwm4 takes its defaults; no compositor, as on a plain desktop.
            "xfwm4": ["xfwm4", "--compositor=off", "--sm-client-disable"],
        }
        self._wm = subprocess.Popen(commands[self.window_manager], env=self._env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                    start_new_session=True, preexec_fn=_die_with_parent)
        # Ready once it names its check window on the root window (EWMH).
        self.wait_for(lambda: self._wm_check_window(), "the window manager %s to start" % self.window_manager)

    def _wm_check_window(self):
        if self._wm.poll() is not None:
            raise HarnessError("the window manager %s ended with code %s" % (self.window_manager, self._wm.returncode))
        values = self.root_property32("_NET_SUPPORTING_WM_CHECK")
        return values[0] if values else None

    def xprop32(self, window, name):
        """The 32-bit values of a window's property, [] when it has none."""
        return self._xprop32(["-id", str(window)], name)

    def _xprop32(self, target, name):
        out = subprocess.run(["xprop"] + target + ["-notype", "32c", name], env=self._env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode(errors="replace")
        # "NAME = 1, 2, 3" for numbers, "NAME: window id # 123" for a window
        values = re.split(r"[=:]", out, maxsplit=1)
        return [int(v, 0) for v in re.findall(r"0x[0-9a-fA-F]+|\d+", values[1])] if len(values) == 2 else []

    def root_property32(self, name):
        return self._xprop32(["-root"], name)

    def text_property(self, window, name):
        """A window's UTF-8 text property (_NET_WM_NAME ...), None when it has none."""
        out = subprocess.run(["xprop", "-id", str(window), "-notype", name], env=self._env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode("utf-8", "replace")
        match = re.search(r'= "(.*)"\s*$', out)
        return match.group(1) if match else None

    def frame_extents(self, window):
        """(left, right, top, bottom) of the frame the window manager drew, or None."""
        values = self.xprop32(window, "_NET_FRAME_EXTENTS")
        return tuple(values) if len(values) == 4 else None

    def client_geometry(self, window):
        """(x, y, width, height) of a window's client area on the screen, as xwininfo reads it."""
        out = subprocess.run(["xwininfo", "-id", str(window)], env=self._env, check=True,
                             stdout=subprocess.PIPE).stdout.decode(errors="replace")
        value = lambda label: int(re.search(label + r":\s+(-?\d+)", out).group(1))
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height"))

    def outer_geometry(self, window):
        """(x, y, width, height) of the window with its frame, from the client area and _NET_FRAME_EXTENTS."""
        x, y, width, height = self.client_geometry(window)
        left, right, top, bottom = self.frame_extents(window) or (0, 0, 0, 0)
        return (x - left, y - top, width + left + right, height + top + bottom)

    def wm_close(self, window):
        """Presses the window's close box through the window manager (_NET_CLOSE_WINDOW), as a task bar does."""
        self._x.client_message_to_root(window, "_NET_CLOSE_WINDOW", [0, 2])

    def _start_xvfb(self):
        # -displayfd lets the server pick a free display and tell us when it is ready.
        read_end, write_end = os.pipe()
        try:
            self._xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 "%dx%dx24" % self.screen_size, "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                start_new_session=True, preexec_fn=_die_with_parent)
        finally:
            os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise HarnessError("Xvfb ended before it reported its display")
                number += chunk
        self.display = ":" + number.decode().strip()

    def launch(self):
        """Starts the program in the working folder and returns its main window once shown."""
        self.start_program()
        return self.wait_main_window()

    def start_program(self, prefix=(), env=None):
        """Starts the program in the working folder without waiting for any window.

        prefix: a command that runs the program after it (setpriv, unshare -m ...), as root after the
        computer name is set; env: variables to change in the program's environment."""
        if self.process is not None:
            raise HarnessError("the program was already started in this session")
        self._stderr = tempfile.TemporaryFile()
        self.process = self._popen(self.hostname, prefix, env, self._stderr)

    def spawn_program(self, hostname=None, prefix=(), env=None):
        """Starts one more run of the program on this session's screen and folder and returns its
        process; stop() kills it. Its output is discarded."""
        process = self._popen(hostname, prefix, env, subprocess.DEVNULL)
        self._extra.append(process)
        return process

    def _popen(self, hostname, prefix, env, output):
        command = list(prefix) + [self.program]
        if hostname is not None:
            # A private UTS namespace lets the test choose the computer name; as a normal user
            # this needs an unprivileged user namespace (-r), as root it does not.
            unshare = ["unshare", "-u"] if os.geteuid() == 0 else ["unshare", "-r", "-u"]
            command = unshare + ["--", "sh", "-c", 'hostname "$0" && exec "$@"', hostname] + command
        environment = dict(self._env)
        environment.update(env or {})
        return subprocess.Popen(command, cwd=self.workdir, env=environment, stdin=subprocess.DEVNULL,
                                stdout=output, stderr=output, start_new_session=True,
                                preexec_fn=_die_with_parent)

    def stop(self):
        """Kills whatever still runs and removes the working folder."""
        if self._x is not None:
            try:
                self._x.close()
            finally:
                self._x = None
        # The program is killed outright; the X server is asked first so that it removes its
        # lock file and socket.
        extra = [(proc, signal.SIGKILL) for proc in self._extra]
        self._extra = []
        helpers = [(proc, signal.SIGKILL) for proc in self._helpers]
        self._helpers = []
        for proc, sig in extra + [(self.process, signal.SIGKILL)] + helpers + [
                (self._wm, signal.SIGKILL), (self._bus, signal.SIGKILL), (self._xvfb, signal.SIGTERM)]:
            if proc is not None and proc.poll() is None:
                _kill_group(proc, sig)
        self._xvfb = None
        self._wm = None
        self._bus = None
        if self._stderr is not None:
            self._stderr.close()
            self._stderr = None
        if self._private is not None:
            shutil.rmtree(self._private, ignore_errors=True)
            self._private = None

    def program_output(self):
        """What the program printed so far (stdout and stderr), for failure messages."""
        if self._stderr is None:
            return ""
        self._stderr.seek(0)
        return self._stderr.read().decode("utf-8", "replace")

    # -- files --------------------------------------------------------------

    def write_file(self, name, data):
        with open(os.path.join(self.workdir, name), "wb") as f:
            f.write(data)

    def write_data(self, data):
        """Writes the questionnaire "data.txt": bytes as they are, a list of texts as Shift-JIS CR LF lines."""
        self.write_file("data.txt", data if isinstance(data, bytes) else sjis_lines(data))

    def files(self):
        return sorted(os.listdir(self.workdir))

    def answer_path(self):
        return os.path.join(self.workdir, (self.hostname or "") + ".ans")

    def read_answer(self):
        """The bytes of the answer file named after this session's computer name."""
        with open(self.answer_path(), "rb") as f:
            return f.read()

    # -- windows ------------------------------------------------------------

    def _xdotool(self, *args, check=True):
        result = subprocess.run(["xdotool"] + [str(a) for a in args], env=self._env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if check and result.returncode != 0:
            raise HarnessError("xdotool %s failed: %s" % (" ".join(map(str, args)),
                                                          result.stderr.decode(errors="replace")))
        return result.stdout.decode(errors="replace")

    def visible_windows(self, caption):
        """Ids of the mapped windows whose caption is exactly this text."""
        out = self._xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(caption), check=False)
        return [int(w) for w in out.split()]

    def windows_of(self, pid, caption):
        """Ids of the mapped windows of one process whose caption is exactly this text."""
        # --all: xdotool's default is to match either condition.
        out = self._xdotool("search", "--all", "--onlyvisible", "--pid", pid,
                            "--name", "^%s$" % re.escape(caption), check=False)
        return [int(w) for w in out.split()]

    def raise_window(self, window):
        """Puts a window on top of its siblings (there is no window manager to do it on a click)."""
        self._xdotool("windowraise", window)

    def wait_for(self, condition, what, timeout=DEFAULT_TIMEOUT):
        """Polls condition() until it returns something true; fails early if the program ended."""
        deadline = time.monotonic() + timeout
        while True:
            result = condition()
            if result:
                return result
            if self.process is not None and self.process.poll() is not None:
                raise HarnessError("the program ended (code %s) while waiting for %s\n%s"
                                   % (self.process.returncode, what, self.program_output()))
            if time.monotonic() > deadline:
                raise HarnessError("timed out after %.1f s waiting for %s\n%s"
                                   % (timeout, what, self.program_output()))
            time.sleep(POLL_SECONDS)

    def wait_window(self, caption, timeout=DEFAULT_TIMEOUT):
        windows = self.wait_for(lambda: self.visible_windows(caption), "a window %r" % caption, timeout)
        if len(windows) != 1:
            raise HarnessError("expected one window %r, found %d" % (caption, len(windows)))
        return windows[0]

    def wait_painted(self, window, x, y, timeout=DEFAULT_TIMEOUT):
        """Waits until the program has drawn the window: a mapped window shows the black screen
        behind it for some milliseconds before its first paint."""
        self.wait_for(lambda: self._x.pixel(window, x, y) not in (None, (0, 0, 0)),
                      "window %#x to be painted" % window, timeout)

    def wait_main_window(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the answer sheet to be shown and painted, and gives it the keyboard focus as a
        window manager would."""
        self.main_window = self.wait_window(MAIN_CAPTION, timeout)
        self.wait_painted(self.main_window, *EMPTY_SPOT, timeout=timeout)
        self.focus(self.main_window)
        return self.main_window

    def wait_dialog(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the error box or the confirmation (caption "ミルネア") to be shown and painted,
        gives it the focus and returns its window."""
        dialog = self.wait_window(DIALOG_CAPTION, timeout)
        self.wait_painted(dialog, 2, 2, timeout=timeout)
        self.focus(dialog)
        return dialog

    def wait_dialog_gone(self, timeout=DEFAULT_TIMEOUT):
        self.wait_for(lambda: not self.visible_windows(DIALOG_CAPTION), "the dialog to close", timeout)
        if self.main_window is not None:
            self.focus(self.main_window)

    def assert_no_dialog(self):
        """Fails if the error box or the confirmation is shown. Call it after press_and_see(): a key
        whose effect was seen proves every key before it was handled."""
        if self.visible_windows(DIALOG_CAPTION):
            raise HarnessError("a dialog %r appeared" % DIALOG_CAPTION)

    def focus(self, window):
        # Without a window manager nobody hands a new window the keyboard focus; keys typed
        # afterwards queue behind the focus change, so no wait for the program is needed.
        self._xdotool("windowfocus", "--sync", window)

    def geometry(self, window):
        """(x, y, width, height) of a window on the screen."""
        out = self._xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    # -- input --------------------------------------------------------------

    def type(self, text):
        """Types text through the keyboard, Japanese included.

        xdotool types a character the keymap lacks by binding it to a scratch key code for a moment;
        a Qt program reads the keymap only when it gets round to the change notice, by which time the
        scratch key may mean another character, so Japanese text came out garbled or lost. Instead each
        such character is bound to a key code of its own, once per session and never changed again,
        before its key is pressed.
        """
        for run in re.findall(r"[\x20-\x7e\t\n]+|[^\x20-\x7e\t\n]+", text):
            if run[0] in _KEYMAP_CHARACTERS:
                self._xdotool("type", "--delay", "20", run)
            else:
                self._xdotool("key", "--delay", "20", *[self._bound_key(c) for c in run])

    def _bound_key(self, character):
        """The keysym name of a character outside the keymap, bound to a key code of its own."""
        name = "U%04X" % ord(character)
        if character not in self._bound:
            if self._spare is None:
                self._spare = self._x.spare_keycodes()
            if not self._spare:
                raise HarnessError("more distinct characters typed in one session than spare key codes")
            code = ord(character)
            self._x.bind(self._spare.pop(0), code if 0xA0 <= code <= 0xFF else 0x01000000 | code)
            self._bound.add(character)
        return name

    def key(self, *keys):
        """Presses keys in turn, e.g. key("Tab"), key("shift+Tab", "Return"), key("alt+x")."""
        self._xdotool("key", "--delay", "30", *keys)

    def press_and_see(self, window, rect, *keys, what=None):
        """Presses keys and waits until what the window shows in rect changes.

        The program handles keys in order, and a box it opens takes the keyboard from the sheet, so
        a key whose effect on the sheet is seen is the positive sign that every key before it was
        handled and opened no box; pick a rect the keys change and nothing else does (no text
        cursor blinks in it)."""
        before = self._x.region(window, *rect)
        if before is None:
            raise HarnessError("cannot read the pixels of %r in window %#x" % (rect, window))
        self.key(*keys)
        self.wait_for(lambda: self._x.region(window, *rect) not in (None, before),
                      what or "%s to change the sheet at %r" % (" ".join(keys), rect))

    def click(self, window, x, y, button=1):
        """Clicks at x, y relative to the window's top-left corner."""
        self._xdotool("mousemove", "--window", window, x, y, "click", button)

    # -- pictures -----------------------------------------------------------

    def screenshot(self, name, window=None):
        """Saves the whole screen (or one window) as <screenshot dir>/<name>.png and returns it as an Image."""
        path = os.path.join(self.screenshot_dir, name + ".png")
        target = "root" if window is None else hex(window)
        subprocess.run(["import", "-silent", "-display", self.display, "-window", target, path],
                       check=True, env=self._env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        return Image(path)

    # -- ending -------------------------------------------------------------

    def close_main_window(self):
        """Asks the answer sheet to close as the close box would (WM_DELETE_WINDOW)."""
        if self.main_window is None:
            raise HarnessError("no main window to close")
        self._x.request_close(self.main_window)

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the program to end and returns its exit code."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("the program did not end within %.1f s\n%s" % (timeout, self.program_output()))


def main():
    """Runs a test module's tests; the exit code tells ctest the result."""
    # A polite kill (ctest's timeout, Ctrl-C) still runs every Session's clean-up.
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(128 + signum))
    unittest.main(verbosity=2)
