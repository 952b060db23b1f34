"""The answer sheet's designed layout, read from the program's own layout table.

The table is printed as JSON by the dump tool built beside the program (tests/tools/layout_dump.cpp),
named by ctest in MIRUNEA_LAYOUT_DUMP; the Windows build's tool runs under Wine. Rectangles here are
(left, top, width, height) in the window's client area at 96 dots per inch, whatever the control's
parent."""

import functools
import json
import os
import subprocess

from .processes import HarnessError

# The toolkit's silver (Background::Silver), the question panels' colour.
SILVER = (192, 192, 192)


def centre(rect):
    left, top, width, height = rect
    return (left + width // 2, top + height // 2)


def around(point, reach=3):
    """The square of pixels within reach of a point, e.g. the inside of a check box."""
    x, y = point
    return (x - reach, y - reach, 2 * reach + 1, 2 * reach + 1)


def frame_top(rect):
    """The top two pixel rows of a control: its frame shows the keyboard focus, and no text cursor
    reaches it."""
    left, top, width = rect[:3]
    return (left, top, width, 2)


def _contains(rect, point):
    left, top, width, height = rect
    return left <= point[0] < left + width and top <= point[1] < top + height


class Layout:
    """The window's place, sizes, caption and colour, and every control's rectangle by its name."""

    def __init__(self, table):
        self.window = window = table["window"]
        self.caption = window["caption"]
        self.window_position = (window["left"], window["top"])
        self.outer_size = (window["outerWidth"], window["outerHeight"])
        self.client_size = (window["clientWidth"], window["clientHeight"])
        self.background = tuple(window["background"])
        self.controls = table["controls"]
        for control in self.controls:
            if "unknown" in (control["kind"], control["background"]):
                raise HarnessError("the layout dump tool has no name for the kind or background of %s"
                                   % control["name"])
        self._rects = {}
        for control in self.controls:
            origin = self._rects[control["parent"]][:2] if control["parent"] else (0, 0)
            self._rects[control["name"]] = (origin[0] + control["left"], origin[1] + control["top"],
                                            control["width"], control["height"])
        self.panel_count = sum(1 for c in self.controls if c["kind"] == "group box" and not c["parent"])
        self._check_spots()

    def rect(self, name):
        try:
            return self._rects[name]
        except KeyError:
            raise HarnessError("the layout has no control %r" % name) from None

    @property
    def name_edit(self):
        return self.rect("Ename")

    @property
    def send_button(self):
        return self.rect("Button1")

    def panel_rect(self, q):
        """Question panel q (from 1): the first half of the panels on the left, the rest on the right."""
        return self.rect("GroupBox%d" % q)

    def radio_group_rect(self, q):
        return self.rect("RadioGroup%d" % q)

    def check_list_rect(self, q):
        return self.rect("CheckListBox%d" % q)

    def edit_rect(self, q):
        return self.rect("Edit%d" % q)

    def _column_length(self):
        return self.panel_count // 2

    @property
    def empty_spot(self):
        """A point between the two columns of panels, halfway down them: no control ever covers it."""
        first, last = self.panel_rect(1), self.panel_rect(self._column_length())
        right_column = self.panel_rect(self._column_length() + 1)
        return ((first[0] + first[2] + right_column[0]) // 2, (first[1] + last[1] + last[3]) // 2)

    def gap_below_panel(self, q):
        """The row of pixels halfway between panel q and the panel below it."""
        panel, below = self.panel_rect(q), self.panel_rect(q + 1)
        return (panel[1] + panel[3] + below[1]) // 2

    def panel_empty_spot(self, q):
        """A point inside panel q that no control covers: below the hint label, left of the answer
        controls."""
        left, top, _, height = self.panel_rect(q)
        hint = self.rect("Lbl%d" % q)
        answer_left = min(self.rect(name % q)[0] for name in ("RadioGroup%d", "CheckListBox%d", "Edit%d"))
        return ((left + answer_left) // 2, (hint[1] + hint[3] + top + height) // 2)

    def _check_spots(self):
        """The spots the tests read colours at must be where the table puts no control: else a change
        of the table would turn into failures that blame the program."""
        spots = [("between the columns", self.empty_spot, None)]
        spots += [("in panel %d" % q, self.panel_empty_spot(q), "GroupBox%d" % q)
                  for q in range(1, self.panel_count + 1)]
        for what, spot, container in spots:
            if container is not None and not _contains(self.rect(container), spot):
                raise HarnessError("the empty spot %s %r lies outside it" % (what, spot))
            covering = [c["name"] for c in self.controls
                        if c["name"] != container and _contains(self.rect(c["name"]), spot)]
            if covering:
                raise HarnessError("the empty spot %s %r is covered by %s" % (what, spot, covering))


def load(command):
    """The layout printed by the dump tool that command runs."""
    result = subprocess.run(list(command), stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    if result.returncode != 0:
        raise HarnessError("%s failed: %s" % (" ".join(command), result.stderr.decode(errors="replace")))
    return Layout(json.loads(result.stdout.decode("utf-8")))


@functools.lru_cache(maxsize=None)
def from_environment():
    """The layout of the program under test, from the dump tool ctest names in MIRUNEA_LAYOUT_DUMP."""
    tool = os.environ.get("MIRUNEA_LAYOUT_DUMP", "")
    if not tool or not os.access(tool, os.X_OK):
        raise HarnessError(
            "MIRUNEA_LAYOUT_DUMP must name the built layout dump tool (got %r); run the tests through ctest" % tool)
    return load([tool])
