"""Questionnaires no teacher means to write, which the sheet must still show and take answers for.

Each row writes one hostile "data.txt", starts the real program, and checks that the sheet opens
without an error box, shows the panels the file's markers call for, and that a name typed and the
send button pressed write the answer file the structure demands. The 60 MB title (under the
64 MiB bound on reading) also has its peak memory measured (printed, and bounded).
"""

import os
import random
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import SILVER, Session  # noqa: E402

HOST = "PC33"
NAME = "Taro"
CRLF = b"\r\n"
# Every byte but the line feed, which would end the line; the carriage return inside a line is
# dropped by the reader, every other byte is text.
EVERY_BYTE = bytes(b for b in range(256) if b != 0x0A)
# Lead bytes without a valid trail byte, a lead byte cut off by the line's end, bytes that are no
# character at all.
INVALID_DOUBLE_BYTES = b"\x81\x20\x9f\x7f\xe0\x0d\xfc\xfc\x80\xa0\xfd\xfe\xff\x85\x40\xeb\x40\xef"
GIANT_BYTES = 60 * 1000 * 1000
# Peak resident size allowed for a 60 MB title: the line itself, its decoded copy while the
# sheet is set up, and the program around it.
GIANT_PEAK_LIMIT_KB = 300 * 1024


def lines(*items):
    return CRLF.join(items) + CRLF


def three_kinds(text):
    """Title, description and prompt, and an R, C and T question, all made of the text."""
    return lines(text, text, b"prompt" + text, b"[R]" + text, text, b"x" + text, b"", b"[C]" + text, text,
                 b"", b"[T]" + text)


THREE_KINDS_ANSWER = [HOST, NAME, "[Q1R]", "0", "0", "[Q2C]", "0", "[Q3T]", "", "[END]"]


def giant_title():
    return b"\x82\xa0" * (GIANT_BYTES // 2) + CRLF + lines(b"desc", b"name", b"[T]q")


def million_lines():
    return lines(b"title", b"desc", b"name") + b"".join(b"[T]%d\r\n" % i for i in range(1000 * 1000))


def binary_file():
    rng = random.Random(20240405)
    return bytes(rng.randrange(256) for _ in range(64 * 1024))


CASES = [
    # tag, data (or a function that makes it, for the big ones), panels shown, answer lines after name and send (None: only the frame is checked)
    ("every_byte_value", three_kinds(EVERY_BYTE), [1, 2, 3], THREE_KINDS_ANSWER),
    ("invalid_double_bytes", three_kinds(INVALID_DOUBLE_BYTES), [1, 2, 3], THREE_KINDS_ANSWER),
    ("nul_inside_lines", three_kinds(b"a\x00b\x00"), [1, 2, 3], THREE_KINDS_ANSWER),
    ("ten_thousand_marker_lines", lines(*[b"[R]"] * 10000), list(range(1, 11)),
     [HOST, NAME] + ["[Q%dR]" % q for q in range(1, 11)] + ["[END]"]),
    ("million_short_lines", million_lines, list(range(1, 11)),
     [HOST, NAME] + [line for q in range(1, 11) for line in ("[Q%dT]" % q, "")] + ["[END]"]),
    ("binary_file", binary_file, None, None),
    ("title_of_60_mb", giant_title, [1], [HOST, NAME, "[Q1T]", "", "[END]"]),
]


class HostileInputTest(unittest.TestCase):
    def test_sheet_survives_and_answers(self):
        for tag, data, panels, answer in CASES:
            with self.subTest(tag), Session(harness.program_from_environment(), hostname=HOST) as s:
                s.folder.write_data(data() if callable(data) else data)
                s.program.start()
                window = s.wait_main_window(timeout=60)
                if tag == "title_of_60_mb":
                    peak = self.peak_kb(s.program.process.pid)
                    print("\n60 MB title: peak resident size %d MB" % (peak // 1024), file=sys.stderr)
                    self.assertLess(peak, GIANT_PEAK_LIMIT_KB)
                self.assertFalse(s.windows.visible("ミルネア"), "an error box")
                sheet = s.windows.screenshot("hostile-" + tag, window)
                shown = [q for q in range(1, 11) if sheet.pixel(*s.layout.panel_empty_spot(q)) == SILVER]
                for q in range(1, 11):
                    self.assertIn(sheet.pixel(*s.layout.panel_empty_spot(q)), (SILVER, s.layout.background))
                if panels is not None:
                    self.assertEqual(shown, panels)
                    s.input.click(window, *harness.centre(s.layout.name_edit))
                    s.input.type(NAME)
                s.input.click(window, *harness.centre(s.layout.send_button))
                s.wait_dialog()
                s.input.key("Return")
                s.wait_dialog_gone()
                written = s.program.answer_file()
                if answer is not None:
                    self.assertEqual(written, harness.sjis_lines(answer))
                else:
                    self.assertTrue(written.startswith(HOST.encode() + CRLF), written[:40])
                    self.assertTrue(written.endswith(b"[END]" + CRLF), written[-40:])
                s.close_main_window()
                self.assertEqual(s.program.wait_exit(), 0)

    @staticmethod
    def peak_kb(pid):
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
        raise harness.HarnessError("no VmHWM for %d" % pid)


if __name__ == "__main__":
    harness.main()
