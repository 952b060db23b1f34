"""A classroom at once: forty runs of the program against one shared folder on one screen.

Each run has its own computer name: as root a private UTS namespace per run (unshare -u, then
hostname); as a normal user the harness adds an unprivileged user namespace (unshare -r -u),
which needs user namespaces enabled. Box texts are read over AT-SPI on a private session bus.
"""

import fcntl
import os
import struct
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import test_faults  # noqa: E402
from harness import SILVER, Session  # noqa: E402
from test_faults import accessible_texts  # noqa: E402

PUPILS = 40
CAPTION = "ミルネア"
SENT = "送信しました"
SHARING_VIOLATION = "I/O エラー (32)"
QUESTIONNAIRE = [
    "学級アンケート",
    "みんなで答えましょう。",
    "氏名",
    "[R]好きな教科は？",
    "国語",
    "算数",
    "理科",
    "",
    "[C]入っている委員会は？",
    "図書",
    "保健",
    "放送",
    "",
    "[T]ひとこと",
]
SLOW_START_TIMEOUT = 60.0


def setUpModule():
    test_faults.setUpModule()


def hold_for_writing(path, content, seconds):
    """Rewrites the file under the program's own write lock (an OFD lock over the whole file), in two
    halves with a pause between: a reader that ignored the lock would see half a questionnaire."""
    fd = os.open(path, os.O_WRONLY)
    try:
        # struct flock: l_type, l_whence, l_start, l_len, l_pid (0 for OFD locks)
        fcntl.fcntl(fd, fcntl.F_OFD_SETLKW, struct.pack("hh4xqqi4x", fcntl.F_WRLCK, os.SEEK_SET, 0, 0, 0))
        os.ftruncate(fd, 0)
        half = len(content) // 2
        os.write(fd, content[:half])
        time.sleep(seconds)
        os.write(fd, content[half:])
    finally:
        os.close(fd)


class Pupil:
    def __init__(self, session, number, env, host=None):
        self.number = number
        self.host = host or "PC%02d" % number
        self.name = "生徒%02d" % number
        self.text = "answer %d" % number
        self.choice = number % 3
        self.ticks = [(number >> bit) & 1 for bit in range(3)]
        self.process = session.program.spawn(self.host, env=env)
        self.window = None


class ClassroomTest(harness.AnswerFileAssertions, unittest.TestCase):
    def setUp(self):
        self.session = self.enterContext(Session(harness.program_from_environment()))
        self.session.folder.write_data(QUESTIONNAIRE)
        with open(self.session.folder.file("data.txt"), "rb") as f:
            self.data = f.read()
        self.env = {"DBUS_SESSION_BUS_ADDRESS": test_faults._desktop.env["DBUS_SESSION_BUS_ADDRESS"],
                    "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}

    def main_window(self, pupil, timeout=SLOW_START_TIMEOUT):
        s = self.session
        windows = s.wait_for(lambda: s.windows.of_process(pupil.process.pid, s.layout.caption),
                             "the sheet of %s" % pupil.host, timeout)
        self.assertEqual(len(windows), 1)
        return windows[0]

    def box_texts(self, pupil):
        s = self.session
        s.wait_for(lambda: s.windows.of_process(pupil.process.pid, CAPTION), "a box of %s" % pupil.host,
                   SLOW_START_TIMEOUT)
        return s.wait_for(lambda: accessible_texts(pupil.process.pid, CAPTION),
                          "the box text of %s over AT-SPI" % pupil.host, SLOW_START_TIMEOUT)

    def close_box(self, pupil):
        s = self.session
        box = s.windows.of_process(pupil.process.pid, CAPTION)[0]
        s.windows.raise_window(box)
        s.windows.focus(box)
        s.input.key("Return")
        s.wait_for(lambda: not s.windows.of_process(pupil.process.pid, CAPTION), "the box of %s to close" % pupil.host)

    def shown_panels(self, window):
        s = self.session
        sheet = s.windows.screenshot("classroom-sheet", window)
        return [q for q in range(1, 11) if sheet.pixel(*s.layout.panel_empty_spot(q)) == SILVER], sheet

    def test_forty_pupils_send_at_once_while_the_questionnaire_is_rewritten(self):
        s = self.session
        started = time.monotonic()
        data_path = s.folder.file("data.txt")
        pupils = []
        holder = None
        for number in range(1, PUPILS + 1):
            pupils.append(Pupil(s, number, self.env))
            if number == PUPILS // 4:
                holder = threading.Thread(target=hold_for_writing, args=(data_path, self.data, 0.5))
                holder.start()
        holder.join()

        indicators = None
        refused = []
        for pupil in pupils:
            # A run that met the rewrite reports it before its window is shown.
            pid = pupil.process.pid
            first = s.wait_for(lambda: ("box" if s.windows.of_process(pid, CAPTION) else None)
                               or ("sheet" if s.windows.of_process(pid, s.layout.caption) else None),
                               "%s to show a window" % pupil.host, SLOW_START_TIMEOUT)
            if first == "box":
                self.assertEqual(self.box_texts(pupil), [SHARING_VIOLATION], pupil.host)
                self.close_box(pupil)
                refused.append(pupil.host)
            pupil.window = self.main_window(pupil)
            s.windows.raise_window(pupil.window)
            s.windows.wait_painted(pupil.window, *s.layout.empty_spot, timeout=SLOW_START_TIMEOUT)
            # Forty windows share one place: until the raise has taken effect the
            # screen may still show another pupil's sheet, so look until it shows
            # the expected one (or the time is up, and the last look is judged).
            expected = [] if pupil.host in refused else [1, 2, 3]
            deadline = time.monotonic() + 10
            while True:
                panels, sheet = self.shown_panels(pupil.window)
                if panels == expected or time.monotonic() > deadline:
                    break
                s.windows.raise_window(pupil.window)
                time.sleep(0.1)
            pupil.read_all = panels == [1, 2, 3]
            self.assertIn(panels, ([1, 2, 3], []), "%s shows part of a questionnaire" % pupil.host)
            self.assertEqual(pupil.read_all, pupil.host not in refused, pupil.host)
            if pupil.read_all and indicators is None:
                indicators = (sheet.find_indicators(*s.layout.radio_group_rect(1)),
                              sheet.find_indicators(*s.layout.check_list_rect(2)))
                self.assertEqual([len(found) for found in indicators], [3, 3])

        # Answer only once every sheet is up: a window mapped later would lie on top
        # of the one being answered and take its clicks. For the same reason each
        # pupil's box is waited for before the next pupil answers: a box that comes
        # late takes the keyboard focus and the clicks meant for the next sheet.
        for pupil in pupils:
            s.windows.raise_window(pupil.window)
            s.windows.focus(pupil.window)
            s.input.click(pupil.window, *harness.centre(s.layout.name_edit))
            s.input.type(pupil.name)
            if pupil.read_all:
                s.input.click(pupil.window, *indicators[0][pupil.choice])
                for item, tick in enumerate(pupil.ticks):
                    if tick:
                        s.input.click(pupil.window, *indicators[1][item])
                s.input.click(pupil.window, *harness.centre(s.layout.edit_rect(3)))
                s.input.type(pupil.text)
            s.input.click(pupil.window, *harness.centre(s.layout.send_button))
            s.wait_for(lambda: s.windows.of_process(pupil.process.pid, CAPTION), "a box of %s" % pupil.host,
                       SLOW_START_TIMEOUT)

        for pupil in pupils:
            self.assertEqual(self.box_texts(pupil), [SENT], pupil.host)
            with open(s.folder.file(pupil.host + ".ans"), "rb") as f:
                self.assertEqual(f.read(), harness.sjis_lines(self.expected_lines(pupil)), pupil.host)

        with open(data_path, "rb") as f:
            self.assertEqual(f.read(), self.data, "data.txt changed")
        self.assertEqual(s.folder.files(), sorted(["data.txt"] + [p.host + ".ans" for p in pupils]))
        print("\n%d pupils in %.1f s, %d met the rewrite" % (PUPILS, time.monotonic() - started, len(refused)),
              file=sys.stderr)

    @staticmethod
    def expected_lines(pupil):
        if not pupil.read_all:
            return [pupil.host, pupil.name, "[END]"]
        radio = ["1" if i == pupil.choice else "0" for i in range(3)]
        return ([pupil.host, pupil.name, "[Q1R]"] + radio + ["[Q2C]"] + [str(t) for t in pupil.ticks]
                + ["[Q3T]", pupil.text, "[END]"])

    def test_two_pupils_sharing_a_computer_name_send_at_the_same_moment(self):
        s = self.session
        # No questions: each answer set is the computer name, the pupil's name and "[END]".
        s.folder.write_data(["学級アンケート", "名前だけ", "氏名"])
        pupils = [Pupil(s, 7, self.env, "PC99"), Pupil(s, 8, self.env, "PC99")]
        for pupil in pupils:
            pupil.read_all = False
        for pupil in pupils:
            pupil.window = self.main_window(pupil)
            s.windows.raise_window(pupil.window)
            s.windows.wait_painted(pupil.window, *s.layout.empty_spot)
        # Answer only once every sheet is up: a window mapped later would lie on top
        # of the one being answered and take its clicks. For the same reason each
        # pupil's box is waited for before the next pupil answers: a box that comes
        # late takes the keyboard focus and the clicks meant for the next sheet.
        for pupil in pupils:
            s.windows.raise_window(pupil.window)
            s.windows.focus(pupil.window)
            s.input.click(pupil.window, *harness.centre(s.layout.name_edit))
            s.input.type(pupil.name)
        send = harness.centre(s.layout.send_button)
        # One xdotool run: the two clicks reach the two programs microseconds apart.
        a, b = pupils
        subprocess.run(["xdotool", "windowraise", str(a.window), "mousemove", "--window", str(a.window),
                        str(send[0]), str(send[1]), "click", "1", "windowraise", str(b.window),
                        "mousemove", "--window", str(b.window), str(send[0]), str(send[1]), "click", "1"],
                       env=dict(os.environ, DISPLAY=s.x.display), check=True)
        results = {p.name: self.box_texts(p) for p in pupils}
        winners = [p for p in pupils if results[p.name] == [SENT]]
        losers = [p for p in pupils if results[p.name] == [SHARING_VIOLATION]]
        self.assertEqual(len(winners) + len(losers), 2, results)
        self.assertGreaterEqual(len(winners), 1, results)
        path = s.folder.file("PC99.ans")
        with open(path, "rb") as f:
            content = f.read()
        self.assertIn(content, [harness.sjis_lines(self.expected_lines(p)) for p in winners], "a mixed file")
        for loser in losers:
            self.close_box(loser)
            s.windows.raise_window(loser.window)
            s.input.click(loser.window, *send)
            self.assertEqual(self.box_texts(loser), [SENT])
            with open(path, "rb") as f:
                self.assertEqual(f.read(), harness.sjis_lines(self.expected_lines(loser)))
        self.assertEqual(s.folder.files(), ["PC99.ans", "data.txt"])


if __name__ == "__main__":
    harness.main()
