"""What xdotool lacks, through libX11 by ctypes: pixels read without a screenshot, a polite close
request, EWMH requests, keys bound once for good, and top-level windows seen as they are mapped."""

import ctypes
import ctypes.util
import time

from .processes import HarnessError

CLIENT_MESSAGE = 33
MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
SUBSTRUCTURE_REDIRECT_MASK = 1 << 20
Z_PIXMAP = 2
ALL_PLANES = 0xFFFFFFFF


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


class _XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class _XEvent(ctypes.Union):
    # XEvent is a union padded to 24 longs.
    _fields_ = [("xclient", _XClientMessageEvent), ("xmap", _XMapEvent), ("pad", ctypes.c_long * 24)]


def _declare(lib):
    """Argument and result types of the functions used, so that 64-bit values pass whole."""
    c_void_p, c_ulong, c_int, c_long = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long
    declarations = {
        "XOpenDisplay": (c_void_p, [ctypes.c_char_p]),
        "XCloseDisplay": (c_int, [c_void_p]),
        "XDefaultRootWindow": (c_ulong, [c_void_p]),
        "XInternAtom": (c_ulong, [c_void_p, ctypes.c_char_p, c_int]),
        "XSendEvent": (c_int, [c_void_p, c_ulong, c_int, c_long, ctypes.POINTER(_XEvent)]),
        "XFlush": (c_int, [c_void_p]),
        "XSync": (c_int, [c_void_p, c_int]),
        "XDisplayKeycodes": (c_int, [c_void_p, ctypes.POINTER(c_int), ctypes.POINTER(c_int)]),
        "XGetKeyboardMapping": (ctypes.POINTER(c_ulong), [c_void_p, ctypes.c_ubyte, c_int, ctypes.POINTER(c_int)]),
        "XChangeKeyboardMapping": (c_int, [c_void_p, c_int, c_int, ctypes.POINTER(c_ulong), c_int]),
        "XFree": (c_int, [c_void_p]),
        "XGetImage": (c_void_p, [c_void_p, c_ulong, c_int, c_int, ctypes.c_uint, ctypes.c_uint, c_ulong, c_int]),
        "XGetPixel": (c_ulong, [c_void_p, c_int, c_int]),
        "XDestroyImage": (c_int, [c_void_p]),
        "XSetErrorHandler": (c_void_p, [c_void_p]),
        "XSelectInput": (c_int, [c_void_p, c_ulong, c_long]),
        "XPending": (c_int, [c_void_p]),
        "XNextEvent": (c_int, [c_void_p, ctypes.POINTER(_XEvent)]),
        "XDisplayWidth": (c_int, [c_void_p, c_int]),
        "XCreateSimpleWindow": (c_ulong, [c_void_p, c_ulong, c_int, c_int, ctypes.c_uint, ctypes.c_uint,
                                          ctypes.c_uint, c_ulong, c_ulong]),
        "XChangeProperty": (c_int, [c_void_p, c_ulong, c_ulong, c_ulong, c_int, c_int, ctypes.c_void_p, c_int]),
        "XMapWindow": (c_int, [c_void_p, c_ulong]),
        "XGetWindowProperty": (c_int, [
            c_void_p, c_ulong, c_ulong, c_long, c_long, c_int, c_ulong, ctypes.POINTER(c_ulong),
            ctypes.POINTER(c_int), ctypes.POINTER(c_ulong), ctypes.POINTER(c_ulong),
            ctypes.POINTER(ctypes.POINTER(ctypes.c_ubyte))]),
    }
    for name, (result, arguments) in declarations.items():
        function = getattr(lib, name)
        function.restype = result
        function.argtypes = arguments


class XClient:
    """One connection to an X server."""

    def __init__(self, display_name):
        self.lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        _declare(self.lib)
        # A window that goes away while we look at it must not end the test process.
        self._ignore_errors = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        self.lib.XSetErrorHandler(ctypes.cast(self._ignore_errors, ctypes.c_void_p))
        self.display = self.lib.XOpenDisplay(display_name.encode())
        if not self.display:
            raise HarnessError("cannot open X display %s" % display_name)
        self.root = self.lib.XDefaultRootWindow(self.display)

    def close(self):
        if self.display:
            self.lib.XCloseDisplay(self.display)
            self.display = None

    def _atom(self, name):
        return self.lib.XInternAtom(self.display, name.encode(), False)

    # -- keys ---------------------------------------------------------------

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

    # -- pixels -------------------------------------------------------------

    def pixel(self, window, x, y):
        """RGB of one pixel of a window as the screen shows it now, or None if it cannot be read."""
        image = self.lib.XGetImage(self.display, window, x, y, 1, 1, ALL_PLANES, Z_PIXMAP)
        if not image:
            return None
        value = self.lib.XGetPixel(image, 0, 0)
        self.lib.XDestroyImage(image)
        return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF)

    def region(self, window, left, top, width, height):
        """The pixels of a rectangle of a window as the screen shows it now (bytes, for comparing),
        or None if they cannot be read."""
        image = self.lib.XGetImage(self.display, window, left, top, width, height, ALL_PLANES, Z_PIXMAP)
        if not image:
            return None
        pixels = bytearray()
        for y in range(height):
            for x in range(width):
                pixels += (self.lib.XGetPixel(image, x, y) & 0xFFFFFF).to_bytes(3, "big")
        self.lib.XDestroyImage(image)
        return bytes(pixels)

    # -- messages -----------------------------------------------------------

    def _client_message(self, window, message_type, values):
        event = _XEvent()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = self._atom(message_type)
        event.xclient.format = 32
        for index, value in enumerate(values):
            event.xclient.data[index] = value
        return event

    def client_message_to_root(self, window, message_type, values):
        """An EWMH request about a window, sent to the root window for the window manager."""
        event = self._client_message(window, message_type, values)
        self.lib.XSendEvent(self.display, self.root, False, SUBSTRUCTURE_NOTIFY_MASK | SUBSTRUCTURE_REDIRECT_MASK,
                            ctypes.byref(event))
        self.lib.XSync(self.display, False)

    def request_close(self, window):
        """What a window manager sends when the close box is pressed: WM_DELETE_WINDOW."""
        current_time = 0
        event = self._client_message(window, "WM_PROTOCOLS", [self._atom("WM_DELETE_WINDOW"), current_time])
        self.lib.XSendEvent(self.display, window, False, 0, ctypes.byref(event))
        self.lib.XSync(self.display, False)

    # -- a desktop's panel ---------------------------------------------------

    def _set_property32(self, window, name, kind, values):
        data = (ctypes.c_long * len(values))(*values)
        replace = 0
        self.lib.XChangeProperty(self.display, window, self._atom(name), kind, 32, replace, data, len(values))

    def set_work_area(self, left, top, width, height):
        """Names the work area on the root window as a window manager does for its panels
        (_NET_WORKAREA, one desktop), for programs started afterwards to read."""
        xa_cardinal = 6
        self._set_property32(self.root, "_NET_WORKAREA", xa_cardinal, [left, top, width, height])
        self.lib.XSync(self.display, False)

    def map_top_panel(self, height):
        """A dock along the screen's top edge, height pixels high, that reserves its space as a
        desktop's panel does (_NET_WM_STRUT_PARTIAL); a window manager then leaves it out of the
        work area. It lasts as long as this connection."""
        width = self.lib.XDisplayWidth(self.display, 0)
        panel = self.lib.XCreateSimpleWindow(self.display, self.root, 0, 0, width, height, 0, 0, 0x404040)
        xa_atom, xa_cardinal = 4, 6
        self._set_property32(panel, "_NET_WM_WINDOW_TYPE", xa_atom, [self._atom("_NET_WM_WINDOW_TYPE_DOCK")])
        # left, right, top, bottom, then each edge's start and end: the top one across the screen
        self._set_property32(panel, "_NET_WM_STRUT_PARTIAL", xa_cardinal,
                             [0, 0, height, 0, 0, 0, 0, 0, 0, width - 1, 0, 0])
        self._set_property32(panel, "_NET_WM_STRUT", xa_cardinal, [0, 0, height, 0])
        # Placed where it asks to be (USPosition, USSize), not where the window manager would put it.
        xa_wm_size_hints, us_position_and_size = 41, 1 | 2
        self._set_property32(panel, "WM_NORMAL_HINTS", xa_wm_size_hints,
                             [us_position_and_size, 0, 0, width, height] + [0] * 13)
        self.lib.XMapWindow(self.display, panel)
        self.lib.XSync(self.display, False)
        return panel

    # -- windows mapped -----------------------------------------------------

    def watch_maps(self):
        """From now on, top-level windows being mapped are noted for wait_maps()."""
        self.lib.XSelectInput(self.display, self.root, SUBSTRUCTURE_NOTIFY_MASK)
        self.lib.XSync(self.display, False)

    def wait_maps(self, count, timeout=120):
        """(window, time.monotonic()) of the next count top-level windows mapped since watch_maps(),
        each timed as soon as its MapNotify arrives."""
        event = _XEvent()
        maps, deadline = [], time.monotonic() + timeout
        while len(maps) < count:
            if time.monotonic() > deadline:
                raise HarnessError("only %d of %d windows mapped" % (len(maps), count))
            if not self.lib.XPending(self.display):
                time.sleep(0.0005)
                continue
            self.lib.XNextEvent(self.display, ctypes.byref(event))
            if event.xmap.type == MAP_NOTIFY and not event.xmap.override_redirect:
                maps.append((event.xmap.window, time.monotonic()))
        return maps

    def window_pid(self, window):
        """The process id a window names in _NET_WM_PID, or None."""
        kind, fmt, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_ubyte)()
        any_type = 0
        self.lib.XGetWindowProperty(self.display, window, self._atom("_NET_WM_PID"), 0, 1, False, any_type,
                                    ctypes.byref(kind), ctypes.byref(fmt), ctypes.byref(count),
                                    ctypes.byref(after), ctypes.byref(data))
        if not data:
            return None
        value = ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0] if count.value == 1 else None
        self.lib.XFree(data)
        return value
