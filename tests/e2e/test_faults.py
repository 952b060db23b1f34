"""Every file fault a classroom meets, produced for real, against the real program.

One table: for each fault, how to cause it, the exact text of the error box, and (for the answer
file) how to remove the cause again. Each row checks that the box says what the message table
says, with or without the final ".", that the sheet stays usable afterwards, and that one more
press of the send button then writes the complete file.

The text of a box is read as a screen reader reads it, over AT-SPI on a private session bus
(see test_accessibility). A program run as "nobody" cannot reach that bus; its box must then be
pixel for pixel the box of an earlier row whose text was read.

Some faults need root: a file without read permission means nothing to root, so the program runs
as "nobody" through setpriv; a read-only folder and a full disk are a read-only bind mount and a
tiny tmpfs in a private mount namespace (unshare -m), which vanish with the program. As a normal
user those rows are skipped, with the reason given. A share that drops mid-send is a FUSE file system
mounted over the folder (tests/tools/failing_share.py), failing a write or the rename on demand.
"""

import os
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
import failing_share  # noqa: E402
import harness  # noqa: E402
import test_accessibility  # noqa: E402
from harness import SILVER, Session  # noqa: E402

HOST = "PC12"
ANSWER = HOST + ".ans"
CAPTION = "ミルネア"
NOT_FOUND = "ファイルが見つかりません."
DENIED = "ファイルへのアクセスが拒否されました."
SHARING_VIOLATION = "I/O エラー (32)"
DISK_FULL = "I/O エラー (112)"
IO_ERROR = "I/O エラー (1117)"

QUESTIONNAIRE = [
    "避難訓練アンケート",
    "訓練について答えてください。",
    "氏名",
    "[R]放送は聞こえましたか。",
    "はい",
    "いいえ",
    "",
    "[T]気づいたことを書いてください。",
]
NAME = "佐藤"
OLD_CONTENT = b"an earlier answer set\r\n"

# The program's cwd is the mount point only if it changes into it after the mount.
READ_ONLY_FOLDER = ('mount --bind "$PWD" "$PWD" && mount -o remount,bind,ro "$PWD" && cd "$PWD" '
                    '&& exec "$@"')
FULL_DISK = ('cp data.txt "$0" && mount -t tmpfs -o size=16k,mode=0777 mirunea-full "$PWD" && cd "$PWD" '
             '&& cp "$0" data.txt && { dd if=/dev/zero of=filler bs=1k 2>/dev/null; true; } && exec "$@"')


def holder_program():
    program = os.environ.get("MIRUNEA_FILE_HOLDER", "")
    if not os.access(program, os.X_OK):
        raise harness.HarnessError("MIRUNEA_FILE_HOLDER must name mirunea_file_holder (got %r)" % program)
    return program


class Holder:
    """mirunea_file_holder holding a file for writing until released."""

    def __init__(self, path):
        self.process = subprocess.Popen([holder_program(), "write", path], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE)
        said = self.process.stdout.readline()
        if said != b"held\n":
            self.process.kill()
            raise harness.HarnessError("the file holder could not hold %s: %r" % (path, said))

    def release(self):
        if self.process.poll() is None:
            self.process.stdin.close()
            self.process.wait(5)


# -- the table ------------------------------------------------------------------------------------
# Each fault: (tag, needs root, set-up(test) -> remover or None, expected box text). Set-up runs
# before the program starts; it may give the program a prefix and an environment.

def missing_file(t):
    os.remove(t.path("data.txt"))


def folder_named_data(t):
    os.remove(t.path("data.txt"))
    os.mkdir(t.path("data.txt"))


def data_without_read_permission(t):
    os.chmod(t.path("data.txt"), 0)
    t.run_as_nobody()


def data_held_for_writing(t):
    t.holders.append(Holder(t.path("data.txt")))


def read_only_folder(t):
    t.prefix = ["unshare", "-m", "--propagation", "private", "--", "sh", "-c", READ_ONLY_FOLDER, "sh"]
    return lambda: t.in_program_namespace("mount", "-o", "remount,bind,rw", t.session.folder.path)


def read_only_answer_file(t):
    t.write_old_answer()
    os.chmod(t.path(ANSWER), 0o444)
    return lambda: os.chmod(t.path(ANSWER), 0o644)


def folder_named_answer(t):
    os.mkdir(t.path(ANSWER))
    return lambda: os.rmdir(t.path(ANSWER))


def link_named_answer(t):
    target = os.path.join(t.session.folder.outside, "target.ans")
    with open(target, "wb") as f:
        f.write(OLD_CONTENT)
    os.symlink(target, t.path(ANSWER))

    def remove():
        with open(target, "rb") as f:
            t.assertEqual(f.read(), OLD_CONTENT, "the link's target was touched")
        os.remove(t.path(ANSWER))
    return remove


def answer_held(t):
    t.write_old_answer()
    holder = Holder(t.path(ANSWER))
    t.holders.append(holder)
    return holder.release


def full_disk(t):
    staged = os.path.join(t.session.folder.outside, "staged-data.txt")
    t.prefix = ["unshare", "-m", "--propagation", "private", "--", "sh", "-c", FULL_DISK, staged]
    # The tmpfs is seen only by the program: reach its files through its working directory.
    t.answer_path = lambda: "/proc/%d/cwd/%s" % (t.session.program.process.pid, ANSWER)
    return lambda: os.remove("/proc/%d/cwd/filler" % t.session.program.process.pid)


def share_dropping(fault):
    """The folder behind a mounted file system that fails as a share dropping mid-send does."""
    def cause(t):
        t.write_old_answer()
        share = failing_share.MountedShare(t.session.folder.path)
        t.holders.append(share)
        share.fail(fault)
        return lambda: share.fail("")
    return cause


READ_FAULTS = [
    ("missing_file", False, missing_file, NOT_FOUND),
    ("folder_named_data_txt", False, folder_named_data, DENIED),
    ("file_without_read_permission", True, data_without_read_permission, DENIED),
    ("file_held_for_writing", False, data_held_for_writing, SHARING_VIOLATION),
]
WRITE_FAULTS = [
    ("read_only_folder", True, read_only_folder, DENIED),
    ("read_only_answer_file", False, read_only_answer_file, DENIED),
    ("folder_of_that_name", False, folder_named_answer, DENIED),
    ("symbolic_link_of_that_name", False, link_named_answer, DENIED),
    ("answer_file_held", False, answer_held, SHARING_VIOLATION),
    ("full_disk", True, full_disk, DISK_FULL),
    ("share_drops_in_a_write", False, share_dropping("write EIO 3"), IO_ERROR),
    ("share_drops_at_the_rename", False, share_dropping("rename EIO"), IO_ERROR),
]
# The rows after which the earlier answers must still be there, whole.
KEEPS_EARLIER_ANSWERS = {"read_only_answer_file", "answer_held", "share_drops_in_a_write",
                         "share_drops_at_the_rename"}


_desktop = None
# Screenshots of boxes whose text was read over AT-SPI, by that text.
_box_pictures = {}


def setUpModule():
    global _desktop
    _desktop = unittest.enterModuleContext(test_accessibility.PrivateDesktop())
    _desktop.use_for_this_process()


def accessible_texts(pid, caption):
    """The names of the labels in the shown windows of one process with this caption, over AT-SPI."""
    pyatspi = test_accessibility.pyatspi
    desktop = pyatspi.Registry.getDesktop(0)
    texts = []
    for i in range(desktop.childCount):
        application = desktop.getChildAtIndex(i)
        try:
            if application is None or application.get_process_id() != pid:
                continue
            for j in range(application.childCount):
                window = application.getChildAtIndex(j)
                if window.name == caption and window.getState().contains(pyatspi.STATE_SHOWING):
                    node = test_accessibility.Node(window)
                    texts.extend(n.name for n in node.walk() if n.role == pyatspi.ROLE_LABEL and n.name)
        except Exception:
            # An application leaving the bus no longer answers.
            continue
    return texts


class FaultTest(harness.AnswerFileAssertions, unittest.TestCase):
    def setUp(self):
        self.session = self.enterContext(Session(harness.program_from_environment(), hostname=HOST))
        self.session.folder.write_data(QUESTIONNAIRE)
        self.prefix = []
        self.env = {}
        self.holders = []
        self.answer_path = lambda: self.path(ANSWER)
        self.addCleanup(self.release_holders)

    def release_holders(self):
        for holder in self.holders:
            holder.release()

    # -- helpers for the table --

    def path(self, name):
        return self.session.folder.file(name)

    def write_old_answer(self):
        with open(self.path(ANSWER), "wb") as f:
            f.write(OLD_CONTENT)

    def run_as_nobody(self):
        home = os.path.join(self.session.folder.outside, "nobody-home")
        os.mkdir(home, 0o700)
        shutil.chown(home, "nobody", "nogroup")
        os.chmod(self.session.folder.outside, 0o711)
        os.chmod(self.session.folder.path, 0o777)
        self.prefix = ["setpriv", "--reuid", "nobody", "--regid", "nogroup", "--clear-groups", "--"]
        self.env = {"HOME": home, "XDG_RUNTIME_DIR": home}

    def program_env(self):
        env = {"DBUS_SESSION_BUS_ADDRESS": _desktop.env["DBUS_SESSION_BUS_ADDRESS"],
               # The program reads no settings; this only makes Qt serve AT-SPI without a desktop's consent.
               "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}
        env.update(self.env)
        return env

    def in_program_namespace(self, *command):
        subprocess.run(["nsenter", "-t", str(self.session.program.process.pid), "-m", "--"] + list(command), check=True)

    # -- checks --

    def require_root(self, needs_root):
        if needs_root and os.geteuid() != 0:
            self.skipTest("needs root (setpriv to nobody, or mounts in a private namespace)")

    def assert_box(self, expected_text):
        s = self.session
        dialog = s.wait_dialog()
        picture = s.windows.screenshot("fault-box", dialog)
        if self.env.get("HOME"):
            # Run as another user: off the bus; the box must look exactly like one already read.
            self.assertIn(expected_text, _box_pictures, "no read box to compare with")
            self.assertTrue(picture.pixels == _box_pictures[expected_text], "box differs from %r" % expected_text)
        else:
            pid = s.program.process.pid
            texts = s.wait_for(lambda: accessible_texts(pid, CAPTION), "the box's text over AT-SPI")
            self.assertEqual(texts, [expected_text])
            _box_pictures[expected_text] = picture.pixels
        s.input.key("Return")
        s.wait_dialog_gone()

    def shown_panels(self, window, name):
        s = self.session
        sheet = s.windows.screenshot(name, window)
        colours = {q: sheet.pixel(*s.layout.panel_empty_spot(q)) for q in range(1, 11)}
        for q, colour in colours.items():
            self.assertIn(colour, (SILVER, s.layout.background), "panel %d neither shown nor hidden" % q)
        return [q for q, colour in colours.items() if colour == SILVER]

    def send(self, expected_box):
        s = self.session
        s.input.click(s.main_window, *harness.centre(s.layout.send_button))
        self.assert_box(expected_box)

    def answer_lines(self, reason):
        return [HOST, NAME, "[Q1R]", "0", "1", "[Q2T]", reason, "[END]"]

    def read_answer(self):
        with open(self.answer_path(), "rb") as f:
            return f.read()

    # -- the tests --

    def test_reading_faults(self):
        for tag, needs_root, cause, expected in READ_FAULTS:
            with self.subTest(tag):
                self.require_root(needs_root)
                cause(self)
                s = self.session
                s.program.start(prefix=self.prefix, env=self.program_env())
                # The box comes before the sheet: the window's creation reports it.
                self.assert_box(expected)
                window = s.wait_main_window()
                self.assertEqual(self.shown_panels(window, "fault-" + tag), [], "no questionnaire, no panels")
                s.input.click(window, *harness.centre(s.layout.name_edit))
                s.input.type(NAME)
                self.send("送信しました")
                self.assertEqual(self.read_answer(), harness.sjis_lines([HOST, NAME, "[END]"]))
            # Each row gets a fresh screen and folder.
            self.session.stop()
            self.setUp()

    def test_writing_faults(self):
        for tag, needs_root, cause, expected in WRITE_FAULTS:
            with self.subTest(tag):
                self.require_root(needs_root)
                remove_cause = cause(self)
                s = self.session
                s.program.start(prefix=self.prefix, env=self.program_env())
                window = s.wait_main_window()
                sheet = s.windows.screenshot("fault-%s-sheet" % tag, window)
                self.assertEqual(self.shown_panels(window, "fault-" + tag), [1, 2])
                choices = sheet.find_indicators(*s.layout.radio_group_rect(1))
                self.assertEqual(len(choices), 2)
                s.input.click(window, *harness.centre(s.layout.name_edit))
                s.input.type(NAME)
                s.input.click(window, *choices[0])
                s.input.click(window, *harness.centre(s.layout.edit_rect(2)))
                s.input.type("first")
                self.send(expected)
                if tag in KEEPS_EARLIER_ANSWERS:
                    self.assertEqual(self.read_answer(), OLD_CONTENT, "the earlier answers were changed")

                # Still usable: the answers can be changed after the box.
                s.input.click(window, *choices[1])
                s.input.click(window, *harness.centre(s.layout.edit_rect(2)))
                s.input.key("ctrl+a")
                s.input.type("second")
                remove_cause()
                self.send("送信しました")
                self.assertEqual(self.read_answer(), harness.sjis_lines(self.answer_lines("second")))
                s.close_main_window()
                self.assertEqual(s.program.wait_exit(), 0)
            self.release_holders()
            self.session.stop()
            self.setUp()


if __name__ == "__main__":
    harness.main()
