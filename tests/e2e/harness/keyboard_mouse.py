"""Keys, text and clicks sent to an X server through xdotool, as a respondent's hands would."""

import re

from . import processes
from .processes import HarnessError
from .windows import xdotool

# Characters the default (US) keymap of Xvfb types without help.
_KEYMAP_CHARACTERS = frozenset(chr(c) for c in range(0x20, 0x7F)) | {"\t", "\n"}


class KeyboardMouse:
    """x: the XServer; wait_for: as for Windows; the delays between keys in milliseconds (a program
    under Wine wants them longer)."""

    def __init__(self, x, wait_for=processes.wait_until, key_delay=30, type_delay=20):
        self.x = x
        self.wait_for = wait_for
        self.key_delay = key_delay
        self.type_delay = type_delay
        self._bound = set()
        self._spare = None

    def type(self, text):
        """Types text through the keyboard, Japanese included.

        xdotool types a character the keymap lacks by binding it to a scratch key code for a moment;
        a Qt program reads the keymap only when it gets round to the change notice, by which time the
        scratch key may mean another character, so Japanese text came out garbled or lost. Instead each
        such character is bound to a key code of its own, once per server and never changed again,
        before its key is pressed.
        """
        for run in re.findall(r"[\x20-\x7e\t\n]+|[^\x20-\x7e\t\n]+", text):
            if run[0] in _KEYMAP_CHARACTERS:
                xdotool(self.x.env, "type", "--delay", self.type_delay, run)
            else:
                xdotool(self.x.env, "key", "--delay", self.type_delay, *[self._bound_key(c) for c in run])

    def _bound_key(self, character):
        """The keysym name of a character outside the keymap, bound to a key code of its own."""
        name = "U%04X" % ord(character)
        if character not in self._bound:
            if self._spare is None:
                self._spare = self.x.client.spare_keycodes()
            if not self._spare:
                raise HarnessError("more distinct characters typed on one server than spare key codes")
            code = ord(character)
            self.x.client.bind(self._spare.pop(0), code if 0xA0 <= code <= 0xFF else 0x01000000 | code)
            self._bound.add(character)
        return name

    def key(self, *keys):
        """Presses keys in turn, e.g. key("Tab"), key("shift+Tab", "Return"), key("alt+x")."""
        xdotool(self.x.env, "key", "--delay", self.key_delay, *keys)

    def press_and_see(self, window, rect, *keys, what=None):
        """Presses keys and waits until what the window shows in rect changes.

        The program handles keys in order, and a box it opens takes the keyboard from the sheet, so
        a key whose effect on the sheet is seen is the positive sign that every key before it was
        handled and opened no box; pick a rect the keys change and nothing else does (no text
        cursor blinks in it)."""
        before = self.x.client.region(window, *rect)
        if before is None:
            raise HarnessError("cannot read the pixels of %r in window %#x" % (rect, window))
        self.key(*keys)
        self.wait_for(lambda: self.x.client.region(window, *rect) not in (None, before),
                      what or "%s to change the sheet at %r" % (" ".join(keys), rect))

    def click(self, window, x, y, button=1, repeat=1):
        """Clicks at x, y relative to the window's top-left corner (repeat times: a wheel's turns)."""
        xdotool(self.x.env, "mousemove", "--window", window, x, y, "click", "--repeat", repeat, "--delay", 5,
                button)
