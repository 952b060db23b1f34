"""The window as a whole: where it opens, the keyboard's road through it, what does not send, closing."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Session  # noqa: E402

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
        self.session.write_data(TEN_TEXT_QUESTIONS)

    def send_with_enter_on_button_and_confirm(self):
        """Enter on the focused send button; the confirmation is closed with Return."""
        s = self.session
        s.key("Return")
        s.wait_dialog()
        s.key("Return")
        s.wait_dialog_gone()

    def test_window_opens_at_its_designed_place_and_size(self):
        s = self.session
        window = s.launch()
        self.assertEqual(s.geometry(window), harness.WINDOW_POSITION + harness.CLIENT_SIZE)

    def test_tab_visits_name_then_panels_one_to_five_then_button_then_six_to_ten_and_wraps(self):
        s = self.session
        s.launch()
        s.type("n0")  # the first focus is the name edit
        for q in range(1, 6):
            s.key("Tab")
            s.type("e%d" % q)
        s.key("Tab")
        s.type("zz")  # the send button takes no text
        for q in range(6, 11):
            s.key("Tab")
            s.type("e%d" % q)
        s.key("Tab", "End")  # wrapped to the name edit; End keeps what it holds
        s.type("w")
        s.key(*["Tab"] * 6)  # Edit1 .. Edit5, then the send button
        self.send_with_enter_on_button_and_confirm()
        self.assertAnswerFile(s, expected_answer("n0w", ["e%d" % q for q in range(1, 11)]))

    def test_shift_tab_walks_backwards_from_name_to_panel_ten_and_passes_the_button(self):
        s = self.session
        s.launch()
        s.key("shift+Tab")
        s.type("b10")
        s.key(*["shift+Tab"] * 4)
        s.type("b6")
        s.key("shift+Tab")
        s.type("zz")  # the send button
        s.key("shift+Tab")
        s.type("b5")
        s.key("Tab")
        self.send_with_enter_on_button_and_confirm()
        texts = [""] * 10
        texts[4], texts[5], texts[9] = "b5", "b6", "b10"
        self.assertAnswerFile(s, expected_answer("", texts))

    def test_enter_and_escape_in_an_edit_do_not_send(self):
        s = self.session
        window = s.launch()
        s.type("a")
        s.key("Return")
        s.key("Escape")
        s.key("Tab")
        s.type("b")
        s.key("Return", "KP_Enter", "Escape")
        # Typing after those keys still reaches the same edits, so none moved the focus away.
        s.type("c")
        # Shift+Tab, seen to move the focus frame to the name edit, shows that every key before it
        # was handled and opened no box.
        s.press_and_see(window, harness.frame_top(harness.NAME_EDIT), "shift+Tab",
                        what="shift+Tab to focus the name edit")
        s.assert_no_dialog()
        self.assertEqual(s.files(), ["data.txt"])
        s.key("End")
        s.type("d")
        s.key(*["Tab"] * 6)
        self.send_with_enter_on_button_and_confirm()
        self.assertAnswerFile(s, expected_answer("ad", ["bc"] + [""] * 9))

    def test_closing_the_window_ends_the_program_with_code_zero_and_writes_nothing(self):
        s = self.session
        s.launch()
        s.type("Taro")
        s.key("Tab")
        s.type("unsent answer")
        s.close_main_window()
        self.assertEqual(s.wait_exit(), 0)
        self.assertEqual(s.files(), ["data.txt"])


if __name__ == "__main__":
    harness.main()
