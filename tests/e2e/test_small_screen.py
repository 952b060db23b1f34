"""The sheet on a school laptop's small screen at a high scaling: the window fits the work area, the
client area scrolls, and the example questionnaire is answered and sent with the mouse alone.

One program start per screen: 1280 x 1024 at 150 % and 1366 x 768 at 150 % without a window
manager, and 1366 x 768 at 125 % under openbox with a panel along the top that reserves 48 px.
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import SILVER, Session  # noqa: E402

HOST = "PC09"
EXAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "data.txt")
NAME = "Taro"
# The example's panel 5: four things to tick; the last is ticked at the bottom of the sheet.
TICKED_PANEL, TICKED_ROW = 5, 3
WHEEL_UP, WHEEL_DOWN, WHEEL_LEFT, WHEEL_RIGHT = 4, 5, 6, 7


def expected_answers():
    """The example with nothing answered but the name and the last choice of panel 5."""
    choices = {1: 5, 2: 5, 4: 3, 5: 4, 6: 4}
    lines = [HOST, NAME]
    for q in range(1, 8):
        if q in choices:
            kind = "C" if q in (2, 5) else "R"
            lines.append("[Q%d%s]" % (q, kind))
            lines += ["1" if (q, row) == (TICKED_PANEL, TICKED_ROW) else "0" for row in range(choices[q])]
        else:
            lines += ["[Q%dT]" % q, ""]
    return lines + ["[END]"]


class SmallScreenTest(harness.AnswerFileAssertions, unittest.TestCase):
    def test_1280x1024_at_150_percent(self):
        self.answer_on_small_screen((1280, 1024), 1.5)

    def test_1366x768_at_150_percent(self):
        self.answer_on_small_screen((1366, 768), 1.5)

    def test_1366x768_at_125_percent_under_openbox_with_a_top_panel(self):
        self.answer_on_small_screen((1366, 768), 1.25, window_manager="openbox", top_panel=48)

    def answer_on_small_screen(self, screen, scale, window_manager=None, top_panel=0):
        s = self.enterContext(Session(harness.program_from_environment(), hostname=HOST, screen=screen,
                                      window_manager=window_manager))
        with open(EXAMPLE, "rb") as example:
            s.folder.write_file("data.txt", example.read())
        work = (0, top_panel, screen[0], screen[1] - top_panel)
        if top_panel:
            # Mapped once the window manager has started up: it names the work area then.
            harness.wait_until(lambda: s.windows.property32(None, "_NET_WORKAREA"), "the window manager's work area")
            s.x.client.map_top_panel(top_panel)
            s.wait_for(lambda: s.windows.property32(None, "_NET_WORKAREA")[:4] == list(work),
                       "the work area less the panel")
        s.program.start(env={"QT_SCALE_FACTOR": str(scale)})
        window = s.wait_main_window()
        layout, pale_green = s.layout, s.layout.background
        name = "small-screen-%dx%d-%g%s" % (screen + (scale, "-" + window_manager if window_manager else ""))

        # The frame (or, without a window manager, the client area) inside the work area, shrunk to
        # it where the designed one would not fit.
        if window_manager:
            s.wait_for(lambda: s.windows.frame_extents(window), "a frame round the window")
            frame = s.wait_for(lambda: (lambda g: g if g[1] >= work[1] else None)(s.windows.outer_geometry(window)),
                               "the frame placed below the panel")
        else:
            frame = s.windows.client_geometry(window)
        designed = layout.outer_size if window_manager else layout.client_size
        self.assertTrue(work[0] <= frame[0] and work[1] <= frame[1] and frame[0] + frame[2] <= work[0] + work[2]
                        and frame[1] + frame[3] <= work[1] + work[3], "%r outside the work area %r" % (frame, work))
        for size, designed_size, room in zip(frame[2:], designed, work[2:]):
            if designed_size * scale > room:
                self.assertGreaterEqual(size, room - 2, "shrunk to the work area: %r in %r" % (frame, work))
        client = s.windows.client_geometry(window)[2:]

        def device(point, offset=(0, 0)):
            return (round((point[0] - offset[0]) * scale), round((point[1] - offset[1]) * scale))

        # Where the controls end and the scroll bars begin: the rows between panels and the column
        # between the two columns show pale green up to the bars.
        def first_other_than_pale_green(pixels, start=0):
            colours = [tuple(pixels[i:i + 3]) for i in range(0, len(pixels), 3)]
            return next((start + i for i, colour in enumerate(colours) if colour != pale_green), start + len(colours))
        gap_row = device((0, layout.gap_below_panel(1)))[1]
        between = device(layout.empty_spot)[0]
        below_header = device((0, 90))[1]
        view_width = first_other_than_pale_green(s.x.client.region(window, 0, gap_row, client[0], 1))
        view_height = first_other_than_pale_green(
            s.x.client.region(window, between, below_header, 1, client[1] - below_header), below_header)
        extent = (layout.panel_rect(6)[0] + layout.panel_rect(6)[2], layout.panel_rect(5)[1] + layout.panel_rect(5)[3])
        end = (max(0, extent[0] - view_width / scale), max(0, extent[1] - view_height / scale))
        # A bar for each way the sheet does not fit (and one may call for the other).
        vertical_bar, horizontal_bar = view_width < client[0] - 4, view_height < client[1] - 4
        self.assertTrue(vertical_bar or horizontal_bar, "no scroll bar")
        if extent[1] * scale > client[1]:
            self.assertTrue(vertical_bar, "no vertical scroll bar")
        if extent[0] * scale > client[0]:
            self.assertTrue(horizontal_bar, "no horizontal scroll bar")

        def scroll(button, spot, offset, what):
            """Turns the wheel over the sheet until it shows the part at offset: the pale green spot
            between controls where offset puts it, not the panel that was there before."""
            at = device(spot, offset)
            s.input.click(window, view_width // 2, view_height // 2, button, repeat=8)
            s.wait_for(lambda: s.x.client.pixel(window, *at) == pale_green, what)

        # Pale green between two panels of the left column: spots of the vertical scroll, the lower
        # one seen at its end, the upper at its start; between the columns beside panel 1: of the
        # horizontal one.
        below_panel_4 = (layout.panel_empty_spot(4)[0], layout.gap_below_panel(4))
        below_panel_1 = (layout.panel_empty_spot(1)[0], layout.gap_below_panel(1))
        beside_panel_1 = (layout.empty_spot[0], layout.panel_empty_spot(1)[1])

        # To the bottom: the last choice of panel 5 ticked with a click on its box.
        s.input.type(NAME)
        scroll(WHEEL_DOWN, below_panel_4, (0, end[1]), "the sheet scrolled to its bottom")
        list_rect = layout.check_list_rect(TICKED_PANEL)
        left, top = device(list_rect, (0, end[1]))
        size = (round(list_rect[2] * scale), min(round(list_rect[3] * scale), view_height - top))

        def four_boxes():
            """The pictured check boxes of panel 5, once all four are drawn."""
            picture = s.windows.screenshot(name + "-bottom", window)
            boxes = picture.find_indicators(left, top, *size, scale)
            return (picture, boxes) if len(boxes) == 4 else None
        picture, boxes = s.wait_for(four_boxes, "the four check boxes of panel %d" % TICKED_PANEL)
        s.input.click(window, *boxes[TICKED_ROW])
        s.wait_for(lambda: s.x.client.pixel(window, *boxes[TICKED_ROW]) != picture.pixel(*boxes[TICKED_ROW]),
                   "the box ticked")

        # Back to the top and to the far right, where the send button is, and pressed.
        scroll(WHEEL_UP, below_panel_1, (0, 0), "the sheet scrolled to its top")
        if end[0]:
            scroll(WHEEL_RIGHT, beside_panel_1, (end[0], 0), "the sheet scrolled to its right end")
        button = layout.send_button
        centre = device((button[0] + button[2] / 2, button[1] + button[3] / 2), (end[0], 0))
        self.assertLess(centre[0], view_width)
        self.assertNotIn(s.x.client.pixel(window, *centre), (pale_green, SILVER), "the send button in view")
        s.input.click(window, *centre)
        s.wait_dialog()
        s.input.key("Return")
        s.wait_dialog_gone()
        self.assertAnswerFile(s, expected_answers())


if __name__ == "__main__":
    harness.main()
