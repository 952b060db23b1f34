"""A respondent's whole road: answer by keyboard and mouse, send, change an answer, send again; and
the answer file's name on PCs with a long host name or one that is a Windows device name."""

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
        self.session.folder.write_data(QUESTIONNAIRE)

    def confirm(self, closing_key, screenshot=None):
        """Waits for "送信しました", checks it is centred on the screen, closes it with the key."""
        s = self.session
        dialog = s.wait_dialog()
        x, y, width, height = s.windows.geometry(dialog)
        self.assertLessEqual(abs(x + width / 2 - s.x.screen_size[0] / 2), 1, "confirmation not centred")
        self.assertLessEqual(abs(y + height / 2 - s.x.screen_size[1] / 2), 1, "confirmation not centred")
        if screenshot:
            s.windows.screenshot(screenshot)
        s.input.key(closing_key)
        s.wait_dialog_gone()

    def test_answers_sent_twice_leave_only_the_second_set_in_the_file(self):
        s = self.session
        window = s.launch()
        sheet = s.windows.screenshot("send-before", window)
        career = sheet.find_indicators(*s.layout.radio_group_rect(1))
        fields = sheet.find_indicators(*s.layout.check_list_rect(2))
        campus = sheet.find_indicators(*s.layout.radio_group_rect(4))
        self.assertEqual((len(career), len(fields), len(campus)), (5, 4, 3))
        send_button = harness.centre(s.layout.send_button)
        reason_edit = harness.centre(s.layout.edit_rect(3))

        s.input.type(NAME)
        s.input.click(window, *career[2])
        s.input.click(window, *fields[0])
        s.input.click(window, *fields[3])
        s.input.click(window, *reason_edit)
        s.input.type(FIRST_REASON)
        s.input.click(window, *send_button)
        self.confirm("Return", screenshot="send-confirmation")
        self.assertAnswerFile(s, [
            HOST, NAME,
            "[Q1R]", "0", "0", "1", "0", "0",
            "[Q2C]", "1", "0", "0", "1",
            "[Q3T]", FIRST_REASON,
            "[Q4R]", "0", "0", "0",
            "[END]"])

        s.input.click(window, *career[4])
        s.input.click(window, *fields[0])  # unticks the first field
        s.input.click(window, fields[1][0] + 40, fields[1][1])  # a click on the text only selects the second ...
        s.input.key("Return")  # ... Enter in the check-list box does not send ...
        # ... and Space, seen to tick the second, shows Enter was handled without a box.
        s.input.press_and_see(window, harness.around(fields[1]), "space", what="Space to tick the second field")
        s.assert_no_dialog()
        s.input.click(window, *reason_edit)
        s.input.key("ctrl+a")
        s.input.type(SECOND_REASON)
        s.input.click(window, *campus[1])
        s.windows.screenshot("send-second-answers", window)
        s.input.click(window, *send_button)
        self.confirm("Escape")
        self.assertAnswerFile(s, [
            HOST, NAME,
            "[Q1R]", "0", "0", "0", "0", "1",
            "[Q2C]", "0", "1", "0", "1",
            "[Q3T]", SECOND_REASON,
            "[Q4R]", "0", "1", "0",
            "[END]"])

        s.close_main_window()
        self.assertEqual(s.program.wait_exit(), 0)
        self.assertEqual(s.folder.files(), [HOST + ".ans", "data.txt"])


def folded_fnv1a(data):
    """32-bit FNV-1a of the bytes, xor-folded to 16 bits, as upper-case hex."""
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return "%04X" % ((value >> 16) ^ (value & 0xFFFF))


class ComputerNameTest(unittest.TestCase):
    def test_long_and_device_host_names_give_files_every_pc_can_open(self):
        rows = [
            # host name, answer file, line 1
            ("classroom-pc-017.school", "CLASSR~%s-017.ans" % folded_fnv1a(b"CLASSROOM-PC-017"),
             "CLASSR~%s-017" % folded_fnv1a(b"CLASSROOM-PC-017")),
            ("con", "CON_.ans", "CON"),
        ]
        for host, file_name, first_line in rows:
            with self.subTest(host), Session(harness.program_from_environment(), hostname=host) as s:
                s.folder.write_data(["名前だけ", "説明", "氏名"])
                window = s.launch()
                s.input.type("Taro")
                s.input.click(window, *harness.centre(s.layout.send_button))
                s.wait_dialog()
                s.input.key("Return")
                s.wait_dialog_gone()
                self.assertEqual(s.folder.files(), sorted([file_name, "data.txt"]))
                self.assertEqual(s.folder.read(file_name), harness.sjis_lines([first_line, "Taro", "[END]"]))
                s.close_main_window()
                self.assertEqual(s.program.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
