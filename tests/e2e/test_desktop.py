"""The sheet under a real window manager: frame, place, names, icon, the boxes, resizing, closing.

MIRUNEA_WINDOW_MANAGER names the window manager (openbox or xfwm4); ctest runs the module once for each.
"""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Session  # noqa: E402

HOST = "PC07"
WINDOW_MANAGER = os.environ.get("MIRUNEA_WINDOW_MANAGER", "openbox")
QUESTIONNAIRE = ["Survey", "About", "Name", "[T]Question"]
# The caption "ミルネア" beside the window menu and the frame's buttons, in a title bar's bold face.
MINIMUM_BOX_WIDTH = 230


class DesktopTest(harness.AnswerFileAssertions, unittest.TestCase):
    def setUp(self):
        self.program = harness.program_from_environment()
        self.session = self.enterContext(Session(self.program, hostname=HOST, window_manager=WINDOW_MANAGER))
        self.session.folder.write_data(QUESTIONNAIRE)

    def framed(self, window):
        return self.session.wait_for(lambda: self.session.windows.frame_extents(window), "a frame round %#x" % window)

    def open_confirmation(self):
        s = self.session
        s.input.click(s.main_window, *harness.centre(s.layout.send_button))
        box = s.wait_dialog()
        self.framed(box)
        return box

    def test_window_opens_framed_at_its_designed_place_and_outer_size_with_its_names_and_icon(self):
        s = self.session
        window = s.launch()
        self.framed(window)
        # The window manager may take a moment to place the frame; the size is right from the first map.
        s.wait_for(lambda: s.windows.outer_geometry(window)[:2] == s.layout.window_position,
                   "the frame at %d, %d" % s.layout.window_position, 3)
        self.assertEqual(s.windows.outer_geometry(window), s.layout.window_position + s.layout.outer_size)
        self.assertEqual(s.windows.text_property(window, "_NET_WM_NAME"), s.layout.caption)
        # A task bar lists the windows of _NET_CLIENT_LIST under their _NET_WM_NAME.
        self.assertIn(window, s.windows.property32(None, "_NET_CLIENT_LIST"))
        icon = s.windows.property32(window, "_NET_WM_ICON")
        sizes, index = [], 0
        while index + 2 <= len(icon):
            width, height = icon[index], icon[index + 1]
            pixels = icon[index + 2:index + 2 + width * height]
            self.assertEqual(len(pixels), width * height, "truncated _NET_WM_ICON")
            sizes.append((width, height))
            if (width, height) == (32, 32):
                self.assertGreater(len({p & 0xFFFFFF for p in pixels if p >> 24}), 1, "a blank icon")
            index += 2 + width * height
        self.assertIn((32, 32), sizes)

    def test_confirmation_is_centred_by_its_frame_wide_enough_for_its_caption_and_closes_every_way(self):
        s = self.session
        s.launch()
        screen_centre = (s.x.screen_size[0] / 2, s.x.screen_size[1] / 2)
        for way in ("Return", "Escape", "ok", "close box"):
            with self.subTest(way=way):
                box = self.open_confirmation()
                s.wait_for(lambda: s.windows.frame_extents(box) and s.windows.outer_geometry(box)[0] > 0,
                           "the box placed", 3)
                x, y, width, height = s.windows.outer_geometry(box)
                self.assertLessEqual(abs(x + width / 2 - screen_centre[0]), 1, (x, y, width, height))
                self.assertLessEqual(abs(y + height / 2 - screen_centre[1]), 1, (x, y, width, height))
                self.assertGreaterEqual(s.windows.client_geometry(box)[2], MINIMUM_BOX_WIDTH)
                self.assertEqual(s.windows.text_property(box, "_NET_WM_NAME"), harness.DIALOG_CAPTION)
                if way == "Return" or way == "Escape":
                    s.input.key(way)
                elif way == "ok":
                    picture = s.windows.screenshot("desktop-%s-confirmation" % WINDOW_MANAGER, box)
                    # The one button sits at the bottom right; click the middle of its darker outline.
                    s.input.click(box, *self.button_centre(picture))
                else:
                    s.windows.wm_close(box)
                s.wait_dialog_gone()
        self.assertAnswerFile(s, [HOST, "", "[Q1T]", "", "[END]"])

    @staticmethod
    def button_centre(picture):
        """Centre of the box's push button: the lowest band of rows holding non-background pixels."""
        background = picture.pixel(2, picture.height - 2)
        rows = [y for y in range(picture.height)
                if picture.count_where(lambda p: p != background, 0, y, picture.width, 1) > 10]
        bottom = rows[-1]
        top = bottom
        while top - 1 in rows:
            top -= 1
        columns = [x for x in range(picture.width)
                   if picture.count_where(lambda p: p != background, x, top, 1, bottom - top + 1) > 0]
        return ((columns[0] + columns[-1]) // 2, (top + bottom) // 2)

    def test_error_box_is_centred_by_its_frame_and_wide_enough(self):
        s = self.session
        os.remove(s.folder.file("data.txt"))
        s.program.start()
        box = s.wait_dialog()
        self.framed(box)
        s.wait_for(lambda: s.windows.outer_geometry(box)[0] > 0, "the box placed", 3)
        x, y, width, height = s.windows.outer_geometry(box)
        self.assertLessEqual(abs(x + width / 2 - s.x.screen_size[0] / 2), 1)
        self.assertLessEqual(abs(y + height / 2 - s.x.screen_size[1] / 2), 1)
        self.assertGreaterEqual(s.windows.client_geometry(box)[2], MINIMUM_BOX_WIDTH)
        s.windows.screenshot("desktop-%s-error-box" % WINDOW_MANAGER)
        s.input.key("Return")
        s.wait_dialog_gone()
        s.wait_main_window()

    def test_scroll_bars_come_with_a_smaller_window_and_go_with_a_larger_one_and_closing_ends_with_0(self):
        s = self.session
        # All ten panels: the controls then reach 985 x 681.
        s.folder.write_data(["Survey", "About", "Name"] + ["[T]Question %d" % q for q in range(1, 11)])
        window = s.launch()
        self.framed(window)

        def bars(size, expected):
            """The scroll bars (right, bottom) once the window has the size, waiting until they
            show as expected or the time is up."""
            s.windows.resize(window, *size)
            s.wait_for(lambda: s.windows.client_geometry(window)[2:] == size, "the client area %dx%d" % size, 5)
            width, height = size

            def shown():
                picture = s.windows.screenshot("desktop-%s-%dx%d" % ((WINDOW_MANAGER,) + size), window)
                # A scroll bar covers the client area's edge; where none is, the pale green
                # between panels 6 and 7 (right edge) or between the columns (bottom edge) shows.
                right = picture.pixel(width - 4, s.layout.gap_below_panel(6)) != s.layout.background
                bottom = picture.pixel(s.layout.empty_spot[0], height - 4) != s.layout.background
                return right, bottom

            deadline = time.monotonic() + 5
            state = shown()
            while state != expected and time.monotonic() < deadline:
                time.sleep(0.1)
                state = shown()
            return state

        for size, expected in (((700, 500), (True, True)), ((1100, 500), (True, False)),
                               ((700, 800), (False, True)), ((1100, 800), (False, False))):
            self.assertEqual(bars(size, expected), expected, "scroll bars at %dx%d" % size)
        s.windows.wm_close(window)
        self.assertEqual(s.program.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
