"""The window as a whole: where it opens, the keyboard's road through it, what does not send, closing."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import SILVER, Session  # noqa: E402

HOST = "PC05"

# A name prompt and ten free-text questions: every panel holds an edit, so each Tab stop takes typing.
TEN_TEXT_QUESTIONS = ["Survey", "Ten texts", "Name"] + ["[T]Question %d" % q for q in range(1, 11)]


def expected_answer(name, texts):
    """The answer file's lines for the ten-text questionnaire, texts[q - 1] typed into Edit q."""
    lines = [HOST, name]
    for q, text in enumerate(texts, start=1):
        lines += ["[Q%dT]" % q, text]
    return lines + ["[END]"]


class WindowTest(harness.AnswerFileAssertions, unittest.TestCase):
    def setUp(self):
        self.program = harness.program_from_environment()
        self.session = self.enterContext(Session(self.program, hostname=HOST))
        self.session.folder.write_data(TEN_TEXT_QUESTIONS)

    def send_with_enter_on_button_and_confirm(self):
        """Enter on the focused send button; the confirmation is closed with Return."""
        s = self.session
        s.input.key("Return")
        s.wait_dialog()
        s.input.key("Return")
        s.wait_dialog_gone()

    def test_window_opens_at_its_designed_place_and_size(self):
        s = self.session
        window = s.launch()
        self.assertEqual(s.windows.geometry(window), s.layout.window_position + s.layout.client_size)

    def test_tab_visits_name_then_panels_one_to_five_then_button_then_six_to_ten_and_wraps(self):
        s = self.session
        s.launch()
        s.input.type("n0")  # the first focus is the name edit
        for q in range(1, 6):
            s.input.key("Tab")
            s.input.type("e%d" % q)
        s.input.key("Tab")
        s.input.type("zz")  # the send button takes no text
        for q in range(6, 11):
            s.input.key("Tab")
            s.input.type("e%d" % q)
        s.input.key("Tab", "End")  # wrapped to the name edit; End keeps what it holds
        s.input.type("w")
        s.input.key(*["Tab"] * 6)  # Edit1 .. Edit5, then the send button
        self.send_with_enter_on_button_and_confirm()
        self.assertAnswerFile(s, expected_answer("n0w", ["e%d" % q for q in range(1, 11)]))

    def test_shift_tab_walks_backwards_from_name_to_panel_ten_and_passes_the_button(self):
        s = self.session
        s.launch()
        s.input.key("shift+Tab")
        s.input.type("b10")
        s.input.key(*["shift+Tab"] * 4)
        s.input.type("b6")
        s.input.key("shift+Tab")
        s.input.type("zz")  # the send button
        s.input.key("shift+Tab")
        s.input.type("b5")
        s.input.key("Tab")
        self.send_with_enter_on_button_and_confirm()
        texts = [""] * 10
        texts[4], texts[5], texts[9] = "b5", "b6", "b10"
        self.assertAnswerFile(s, expected_answer("", texts))

    def test_enter_and_escape_in_an_edit_do_not_send(self):
        s = self.session
        window = s.launch()
        s.input.type("a")
        s.input.key("Return")
        s.input.key("Escape")
        s.input.key("Tab")
        s.input.type("b")
        s.input.key("Return", "KP_Enter", "Escape")
        # Typing after those keys still reaches the same edits, so none moved the focus away.
        s.input.type("c")
        # Shift+Tab, seen to move the focus frame to the name edit, shows that every key before it
        # was handled and opened no box.
        s.input.press_and_see(window, harness.frame_top(s.layout.name_edit), "shift+Tab",
                              what="shift+Tab to focus the name edit")
        s.assert_no_dialog()
        self.assertEqual(s.folder.files(), ["data.txt"])
        s.input.key("End")
        s.input.type("d")
        s.input.key(*["Tab"] * 6)
        self.send_with_enter_on_button_and_confirm()
        self.assertAnswerFile(s, expected_answer("ad", ["bc"] + [""] * 9))

    def test_closing_the_window_ends_the_program_with_code_zero_and_writes_nothing(self):
        s = self.session
        s.launch()
        s.input.type("Taro")
        s.input.key("Tab")
        s.input.type("unsent answer")
        s.close_main_window()
        self.assertEqual(s.program.wait_exit(), 0)
        self.assertEqual(s.folder.files(), ["data.txt"])


class HighDensityTest(unittest.TestCase):
    """A screen of 144 dots per inch, said by QT_SCALE_FACTOR=1.5 or by the X resource Xft.dpi (what a
    desktop's display settings write): the whole layout in proportion."""

    SCALE = 1.5

    def test_layout_scales_in_proportion_with_nothing_clipped_under_qt_scale_factor(self):
        self.check_scaled_layout("qt-scale-factor",
                                 lambda s: s.program.start(env={"QT_SCALE_FACTOR": str(self.SCALE)}))

    def test_layout_scales_in_proportion_with_nothing_clipped_under_xft_dpi(self):
        def start(s):
            # The root window's resources, as xrdb would leave them.
            subprocess.run(["xprop", "-display", s.x.display, "-root", "-f", "RESOURCE_MANAGER", "8s", "-set",
                            "RESOURCE_MANAGER", "Xft.dpi:\t144\n"], check=True)
            s.program.start()
        self.check_scaled_layout("xft-dpi", start)

    def check_scaled_layout(self, name, start):
        program = harness.program_from_environment()
        s = self.enterContext(Session(program, hostname=HOST, screen=(1600, 1200)))
        s.folder.write_data(TEN_TEXT_QUESTIONS)
        start(s)
        window = s.wait_main_window()
        x, y, width, height = s.windows.geometry(window)
        layout, pale_green = s.layout, s.layout.background
        for actual, designed in zip((x, y, width, height), layout.window_position + layout.client_size):
            self.assertLessEqual(abs(actual - designed * self.SCALE), 1, s.windows.geometry(window))
        picture = s.windows.screenshot("window-scaled-1.5-" + name, window)
        inside = lambda rect, dx, dy: (round((rect[0] + dx) * self.SCALE), round((rect[1] + dy) * self.SCALE))
        for q in (1, 5, 6, 10):
            panel = layout.panel_rect(q)
            # Silver just inside the panel's far corner: the panel reaches its scaled size.
            self.assertEqual(picture.pixel(*inside(panel, panel[2] - 4, panel[3] - 4)), SILVER, q)
            # Pale green just past it: no larger than scaled.
            self.assertEqual(picture.pixel(*inside(panel, panel[2] + 4, panel[3] + 4)), pale_green, q)
            edit = layout.edit_rect(q)
            self.assertNotIn(picture.pixel(*inside(edit, edit[2] // 2, edit[3] // 2)),
                             (SILVER, pale_green), "edit %d not drawn at its scaled place" % q)
        button = layout.send_button
        self.assertEqual(picture.pixel(*inside(button, button[2] + 4, button[3] // 2)), pale_green)
        self.assertNotEqual(picture.pixel(*inside(button, button[2] - 6, button[3] // 2)), pale_green)
        # Nothing clipped: no scroll bar at the right or bottom edge.
        self.assertEqual(picture.pixel(width - 4, round(layout.gap_below_panel(6) * self.SCALE)), pale_green)
        self.assertEqual(picture.pixel(round(layout.empty_spot[0] * self.SCALE), height - 4), pale_green)
        # The send button's caption fits: dark text pixels only inside the button.
        left, top = inside(button, 0, 0)
        right, bottom = inside(button, button[2], button[3])
        self.assertGreater(picture.count_where(lambda p: max(p) < 80, left, top, right - left, bottom - top), 50)


if __name__ == "__main__":
    harness.main()
