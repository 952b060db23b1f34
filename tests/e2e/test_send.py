"""A respondent's whole road: answer by keyboard and mouse, send, change an answer, send again."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Session  # noqa: E402

HOST = "PC05"

QUESTIONNAIRE = [
    "進路希望調査",
    "３年生の進路について教えてください。",
    "氏名",
    "[R]卒業後の進路はどれですか。",
    "大学へ進学",
    "専門学校へ進学",
    "就職",
    "まだ決めていない",
    "その他",
    "",
    "[C]興味のある分野を選んでください。",
    "理系",
    "文系",
    "芸術",
    "スポーツ",
    "",
    "[T]その理由を書いてください。",
    "[R]オープンキャンパスに行きましたか。",
    "はい",
    "いいえ",
    "これから行く",
]

NAME = "山田　花子"
FIRST_REASON = "部活動と両立できる学校に行きたいです。"
SECOND_REASON = "特になし"


class SendTest(harness.AnswerFileAssertions, unittest.TestCase):
    def setUp(self):
        self.session = self.enterContext(Session(harness.program_from_environment(), hostname=HOST))
        self.session.write_data(QUESTIONNAIRE)

    def confirm(self, closing_key, screenshot=None):
        """Waits for "送信しました", checks it is centred on the screen, closes it with the key."""
        s = self.session
        dialog = s.wait_dialog()
        x, y, width, height = s.geometry(dialog)
        self.assertLessEqual(abs(x + width / 2 - harness.SCREEN_WIDTH / 2), 1, "confirmation not centred")
        self.assertLessEqual(abs(y + height / 2 - harness.SCREEN_HEIGHT / 2), 1, "confirmation not centred")
        if screenshot:
            s.screenshot(screenshot)
        s.key(closing_key)
        s.wait_dialog_gone()

    def test_answers_sent_twice_leave_only_the_second_set_in_the_file(self):
        s = self.session
        window = s.launch()
        sheet = s.screenshot("send-before", window)
        career = sheet.find_indicators(*harness.radio_group_rect(1))
        fields = sheet.find_indicators(*harness.check_list_rect(2))
        campus = sheet.find_indicators(*harness.radio_group_rect(4))
        self.assertEqual((len(career), len(fields), len(campus)), (5, 4, 3))
        send_button = harness.centre(harness.SEND_BUTTON)
        reason_edit = harness.centre(harness.edit_rect(3))

        s.type(NAME)
        s.click(window, *career[2])
        s.click(window, *fields[0])
        s.click(window, *fields[3])
        s.click(window, *reason_edit)
        s.type(FIRST_REASON)
        s.click(window, *send_button)
        self.confirm("Return", screenshot="send-confirmation")
        self.assertAnswerFile(s, [
            HOST, NAME,
            "[Q1R]", "0", "0", "1", "0", "0",
            "[Q2C]", "1", "0", "0", "1",
            "[Q3T]", FIRST_REASON,
            "[Q4R]", "0", "0", "0",
            "[END]"])

        s.click(window, *career[4])
        s.click(window, *fields[0])  # unticks the first field
        s.click(window, fields[1][0] + 40, fields[1][1])  # a click on the text only selects the second ...
        s.key("Return")  # ... Enter in the check-list box does not send ...
        # ... and Space, seen to tick the second, shows Enter was handled without a box.
        s.press_and_see(window, harness.around(fields[1]), "space", what="Space to tick the second field")
        s.assert_no_dialog()
        s.click(window, *reason_edit)
        s.key("ctrl+a")
        s.type(SECOND_REASON)
        s.click(window, *campus[1])
        s.screenshot("send-second-answers", window)
        s.click(window, *send_button)
        self.confirm("Escape")
        self.assertAnswerFile(s, [
            HOST, NAME,
            "[Q1R]", "0", "0", "0", "0", "1",
            "[Q2C]", "0", "1", "0", "1",
            "[Q3T]", SECOND_REASON,
            "[Q4R]", "0", "1", "0",
            "[END]"])

        s.close_main_window()
        self.assertEqual(s.wait_exit(), 0)
        self.assertEqual(s.files(), [HOST + ".ans", "data.txt"])


if __name__ == "__main__":
    harness.main()
