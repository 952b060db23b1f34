"""What a screen reader learns about the answer sheet through AT-SPI.

The program runs on a private Xvfb screen with a private D-Bus session bus; that bus starts
the accessibility bus on demand, so several of these tests can run at once. The accessible
tree is read from outside the program, as a screen reader reads it, never through Qt's own
objects. Needs Debian's python3-pyatspi, at-spi2-core and dbus besides the e2e tools.
"""

import os
import subprocess
import sys
import unittest
import warnings

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

# Imported once the private session bus exists: the AT-SPI library looks the bus up on first use
# and keeps it for the life of the process.
pyatspi = None

# A start that takes longer fails the test; ctest's 20 s bound the module as a whole.
STARTUP_TIMEOUT = 6.0

SEND_CAPTION = "入力終了（送信）"

# A panel of each kind, with access-key marks in the texts that take them: question texts
# and radio choices lose a single "&" and show "&&" as "&"; check-list choices keep theirs.
DATA_WITH_NAME_PROMPT = [
    "校内アンケート(&A)",
    "説明をよく読んで答えてください。",
    "氏名(&N)",
    "[R]好きな季節は？(&S)",
    "&春",
    "夏&&秋",
    "冬",
    "",
    "[C]国語&&数学、どちらが好き？(&K)",
    "国語&数学",
    "理科",
    "",
    "[T]ひとこと(&T)",
]
SHOWN_LABELS = ["校内アンケート(A)", "説明をよく読んで答えてください。", "氏名(N)"]
NAME_PROMPT = "氏名(N)"

DATA_WITHOUT_NAME_PROMPT = ["校内アンケート", "説明", "", "[T]ひとこと"]


def _role(name):
    return getattr(pyatspi, "ROLE_" + name)


def _expected_panels():
    """Per shown panel, in question order: (tag, name, answer control roles, item role, item names).

    A radio group has no role of its own in AT-SPI; any of the container roles that a screen
    reader takes a radio group's name from will do.
    """
    return [
        ("radio", "好きな季節は？(S)", {_role("FILLER"), _role("PANEL"), _role("GROUPING")},
         _role("RADIO_BUTTON"), ["春", "夏&秋", "冬"]),
        ("checklist", "国語&数学、どちらが好き？(K)", {_role("LIST")}, _role("LIST_ITEM"), ["国語&数学", "理科"]),
        ("edit", "ひとこと(T)", {_role("TEXT")}, None, []),
    ]


# -- the desktop -------------------------------------------------------------------


class PrivateDesktop(harness.XServer):
    """An X screen and a D-Bus session bus of our own; `env` reaches them."""

    def __init__(self):
        super().__init__(session_bus=True)

    def use_for_this_process(self):
        """Points this process's AT-SPI client at the private buses, then loads it."""
        global pyatspi
        os.environ.pop("AT_SPI_BUS_ADDRESS", None)
        os.environ["DISPLAY"] = self.env["DISPLAY"]
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.env["DBUS_SESSION_BUS_ADDRESS"]
        with warnings.catch_warnings():
            # The GObject bindings' importer predates the current import protocol.
            warnings.simplefilter("ignore", ImportWarning)
            import pyatspi as loaded
        pyatspi = loaded


# -- the accessible tree -------------------------------------------------------------


class Node:
    """One accessible object as read once over AT-SPI, with its children."""

    def __init__(self, accessible):
        self.role = accessible.getRole()
        self.role_name = accessible.getRoleName()
        self.name = accessible.name
        states = accessible.getState()
        self.showing = states.contains(pyatspi.STATE_SHOWING)
        self.checked = states.contains(pyatspi.STATE_CHECKED)
        self.children = [Node(accessible.getChildAtIndex(i)) for i in range(accessible.childCount)]

    def __repr__(self):
        return "%s %r" % (self.role_name, self.name)

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()

    def find(self, role, inside_panels=True):
        """Descendants with this role, in tree order; without those inside question panels if asked."""
        found = []
        for child in self.children:
            if child.role == role:
                found.append(child)
            if inside_panels or child.role != pyatspi.ROLE_PANEL:
                found.extend(child.find(role, inside_panels))
        return found

    def panels(self):
        """The question panels, in tree order: the outermost panels only."""
        found = []
        for child in self.children:
            if child.role == pyatspi.ROLE_PANEL:
                found.append(child)
            else:
                found.extend(child.panels())
        return found

    def describe(self, depth=0):
        lines = ["%s%s %r%s" % ("  " * depth, self.role_name, self.name, "" if self.showing else " (not showing)")]
        for child in self.children:
            lines.extend(child.describe(depth + 1))
        return lines


class RunningSheet:
    """The program started on the private desktop in a fresh folder holding "data.txt"."""

    def __init__(self, desktop, data_lines):
        self.desktop = desktop
        self.data_lines = data_lines

    def __enter__(self):
        self.caption = harness.layout_from_environment().caption
        self.folder = harness.WorkingFolder()
        self.folder.write_data(self.data_lines)
        self.program = harness.Program(harness.program_from_environment(), self.folder, self.desktop.env)
        try:
            # The program reads no settings; this only makes Qt serve AT-SPI without a desktop's consent.
            self.program.start(env={"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
            self.window = self._wait_window()
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc):
        self.program.stop()
        self.folder.remove()
        return False

    def _wait_window(self):
        """The shown answer sheet as registered on the accessibility bus by this very process."""
        desktop = pyatspi.Registry.getDesktop(0)
        found = harness.wait_until(lambda: self._find_window(desktop), "an accessible window %r" % self.caption,
                                   STARTUP_TIMEOUT, still_worth_waiting=self.program.check_running,
                                   details=self.program.output)
        # The set-up runs before the window is shown, so a shown window is complete.
        return Node(found[0])

    def _find_window(self, desktop):
        """[the window] once the program shows it, else []."""
        for i in range(desktop.childCount):
            application = desktop.getChildAtIndex(i)
            try:
                if application is None or application.get_process_id() != self.program.process.pid:
                    continue
                for j in range(application.childCount):
                    window = application.getChildAtIndex(j)
                    if window.name == self.caption and window.getState().contains(pyatspi.STATE_SHOWING):
                        return [window]
            except Exception:
                # An application that is just leaving the bus (a previous run) no longer answers.
                continue
        return []


_desktop = None


def setUpModule():
    global _desktop
    _desktop = unittest.enterModuleContext(PrivateDesktop())
    _desktop.use_for_this_process()


class SheetTestCase(unittest.TestCase):
    DATA = None

    @classmethod
    def setUpClass(cls):
        cls.sheet = cls.enterClassContext(RunningSheet(_desktop, cls.DATA))
        cls.window = cls.sheet.window

    def tree(self):
        """The accessible tree for failure messages."""
        return "\n".join(self.window.describe())

    def name_edits(self):
        """The edits outside the question panels: the name edit."""
        return self.window.find(pyatspi.ROLE_TEXT, inside_panels=False)

    def answer_controls(self, panel):
        """What a panel holds besides its hint label: its radio group, check list and edit."""
        return [child for child in panel.children if child.role != pyatspi.ROLE_LABEL]


class SheetWithNamePromptTest(SheetTestCase):
    DATA = DATA_WITH_NAME_PROMPT

    def shown_panels(self):
        return [panel for panel in self.window.panels() if panel.showing]

    def test_each_shown_answer_control_is_named_after_its_question_without_access_key_marks(self):
        shown = self.shown_panels()
        expected = _expected_panels()
        self.assertEqual([panel.name for panel in shown], [row[1] for row in expected],
                         "shown panels, in question order\n" + self.tree())
        for panel, (tag, question, roles, _, _) in zip(shown, expected):
            with self.subTest(tag):
                showing = [control for control in self.answer_controls(panel) if control.showing]
                self.assertEqual(len(showing), 1, "one answer control per panel\n" + self.tree())
                self.assertIn(showing[0].role, roles, "role %s\n%s" % (showing[0].role_name, self.tree()))
                self.assertEqual(showing[0].name, question)

    def test_choices_are_named_by_their_texts_in_order_and_none_is_chosen(self):
        for panel, (tag, _, _, item_role, items) in zip(self.shown_panels(), _expected_panels()):
            if item_role is None:
                continue
            with self.subTest(tag):
                control = next(control for control in self.answer_controls(panel) if control.showing)
                shown_items = [(item.role, item.name, item.checked) for item in control.children if item.showing]
                self.assertEqual(shown_items, [(item_role, text, False) for text in items], self.tree())

    def test_name_edit_is_named_by_the_name_prompt(self):
        edits = self.name_edits()
        self.assertEqual([(edit.name, edit.showing) for edit in edits], [(NAME_PROMPT, True)], self.tree())

    def test_send_button_is_named_by_its_caption(self):
        buttons = [button for button in self.window.find(pyatspi.ROLE_PUSH_BUTTON) if button.showing]
        self.assertEqual([button.name for button in buttons], [SEND_CAPTION], self.tree())

    def test_title_description_and_prompt_read_without_access_key_marks(self):
        labels = [label.name for label in self.window.find(pyatspi.ROLE_LABEL, inside_panels=False)
                  if label.showing]
        self.assertCountEqual(labels, SHOWN_LABELS, self.tree())

    def test_nothing_of_the_unused_panels_is_showing(self):
        panels = self.window.panels()
        self.assertEqual(len(panels), 10, self.tree())
        hidden = [panel for panel in panels if not panel.showing]
        self.assertEqual(len(hidden), 10 - len(_expected_panels()), self.tree())
        for panel in hidden:
            showing = [node for node in panel.walk() if node.showing]
            self.assertEqual(showing, [], "inside a hidden panel %r:\n%s" % (panel.name, self.tree()))


class SheetWithoutNamePromptTest(SheetTestCase):
    DATA = DATA_WITHOUT_NAME_PROMPT

    def test_name_edit_is_not_showing(self):
        edits = self.name_edits()
        self.assertEqual(len(edits), 1, self.tree())
        self.assertFalse(edits[0].showing, "the name edit is showing\n" + self.tree())
        # The question's edit is showing, so the sheet itself was read while shown.
        answer_edits = [edit for edit in self.window.find(pyatspi.ROLE_TEXT) if edit.showing]
        self.assertEqual([edit.name for edit in answer_edits], ["ひとこと"], self.tree())

    def test_name_prompt_label_reads_nothing(self):
        labels = [label.name for label in self.window.find(pyatspi.ROLE_LABEL, inside_panels=False)
                  if label.showing and label.name]
        self.assertCountEqual(labels, ["校内アンケート", "説明"], self.tree())


# Wider than their controls: a question text, a radio choice, a check-list choice.
LONG_TEXT = "あ" * 40
DATA_WITH_CUT_TEXTS = ["校内アンケート", "説明", "", "[R]長い質問" + LONG_TEXT, "短い", "選" + LONG_TEXT, "",
                       "[C]短い質問", "国語", "&" + LONG_TEXT, ""]


class CutTextTest(SheetTestCase):
    """Hovering a cut text shows it whole in a tooltip; the tooltip is read over AT-SPI, as the
    window that shows it."""

    DATA = DATA_WITH_CUT_TEXTS

    def live(self, role, name):
        """The first accessible object of the sheet in tree order with this role and name, read now
        (a question's panel comes before its radio group of the same name)."""
        found = []

        def look(accessible):
            if accessible.getRole() == role and accessible.name == name:
                found.append(accessible)
            for i in range(accessible.childCount):
                look(accessible.getChildAtIndex(i))
        look(self.sheet_accessible())
        self.assertTrue(found, "%s %r\n%s" % (role, name, self.tree()))
        return found[0]

    def sheet_accessible(self):
        return self.sheet._find_window(pyatspi.Registry.getDesktop(0))[0]

    def shown_tips(self):
        """The texts of the tooltips the program shows now."""
        application = self.sheet_accessible().parent
        tips = []
        for i in range(application.childCount):
            window = application.getChildAtIndex(i)
            if window is None:
                continue
            for node in Node(window).walk():
                if node.role == pyatspi.ROLE_TOOL_TIP and node.showing:
                    tips.append(node.name)
        return tips

    def hover(self, x, y):
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], env=_desktop.env, check=True)

    def test_cut_question_radio_and_check_list_choices_show_whole_in_a_tooltip(self):
        # Qt shows tooltips in the active window only: given the focus, as a window manager would.
        windows = harness.Windows(_desktop)
        windows.focus(windows.wait_one(self.sheet.caption))
        extents = lambda accessible: accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        panel = extents(self.live(pyatspi.ROLE_PANEL, "長い質問" + LONG_TEXT))
        cut_choice = extents(self.live(pyatspi.ROLE_RADIO_BUTTON, "選" + LONG_TEXT))
        short_choice = extents(self.live(pyatspi.ROLE_RADIO_BUTTON, "短い"))
        cut_row = extents(self.live(pyatspi.ROLE_LIST_ITEM, "&" + LONG_TEXT))
        for what, (x, y), text in (
                ("the question text at the panel's edge", (panel.x + panel.width - 20, panel.y + 5),
                 "長い質問" + LONG_TEXT),
                ("a radio choice", (cut_choice.x + cut_choice.width // 2, cut_choice.y + cut_choice.height // 2),
                 "選" + LONG_TEXT),
                ("a check-list choice", (cut_row.x + cut_row.width // 2, cut_row.y + cut_row.height // 2),
                 "&" + LONG_TEXT)):
            with self.subTest(what):
                self.hover(x, y)
                harness.wait_until(lambda: self.shown_tips() == [text], "the tooltip %r" % text, STARTUP_TIMEOUT,
                                   details=lambda: repr(self.shown_tips()))
                # A choice that fits has no tip: the last one goes.
                self.hover(short_choice.x + short_choice.width // 2, short_choice.y + short_choice.height // 2)
                harness.wait_until(lambda: self.shown_tips() == [], "no tooltip", STARTUP_TIMEOUT,
                                   details=lambda: repr(self.shown_tips()))


if __name__ == "__main__":
    harness.main()
