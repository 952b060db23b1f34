"""One test's world: a private X server, a fresh working folder, the program run there, the
sheet's layout; and the steps that need several of them (a window of the program awaited)."""

import signal
import sys
import unittest

from . import layout as sheet_layout
from . import processes
from .keyboard_mouse import KeyboardMouse
from .program import DIALOG_CAPTION, Program, WorkingFolder, describe_bytes, sjis_lines
from .processes import HarnessError
from .windows import Windows
from .xserver import XServer


class Session(processes.Started):
    """Use it as a context manager so that the program and the X server are killed and the folder
    removed even when a test fails:

        with Session(program, hostname="PC05") as s:
            s.folder.write_data(["Title", "About", "Name", "[T]Q"])   # Shift-JIS, CR LF
            window = s.launch()
            s.input.type("山田")
            s.input.key("Tab", "Tab", "Return")
            s.wait_dialog()

    Its parts: x (the XServer), windows (Windows), input (KeyboardMouse), folder (WorkingFolder),
    program (Program, started by launch() or program.start()), layout (Layout). The other arguments
    are XServer's; without a window manager the session hands the keyboard focus to each window
    it waits for, as a window manager would.
    """

    def __init__(self, program, hostname=None, screenshot_dir=None, window_manager=None, screen=None,
                 session_bus=False, layout=None):
        self.x = XServer(window_manager=window_manager, screen=screen, session_bus=session_bus)
        self.windows = Windows(self.x, self.wait_for, screenshot_dir)
        self.input = KeyboardMouse(self.x, self.wait_for)
        self._program_path, self._hostname, self._layout = program, hostname, layout
        # Made by start(); main_window by the waits for it.
        self.folder = self.program = self.main_window = None

    def start(self):
        """Starts the X server and makes the empty working folder."""
        self.folder = WorkingFolder()
        self.x.start()
        self.program = Program(self._program_path, self.folder, self.x.env, self._hostname)

    def stop(self):
        """Kills whatever still runs, the program first, and removes the working folder."""
        try:
            if self.program is not None:
                self.program.stop()
        finally:
            self.x.stop()
            if self.folder is not None:
                self.folder.remove()

    @property
    def layout(self):
        if self._layout is None:
            self._layout = sheet_layout.from_environment()
        return self._layout

    def wait_for(self, condition, what, timeout=processes.DEFAULT_TIMEOUT):
        """Polls condition() until it returns something true; fails early if the program ended."""
        return processes.wait_until(condition, what, timeout, still_worth_waiting=self.program.check_running,
                                    details=self.program.output)

    def launch(self):
        """Starts the program in the working folder and returns its main window once shown."""
        self.program.start()
        return self.wait_main_window()

    def wait_main_window(self, timeout=processes.DEFAULT_TIMEOUT):
        """Waits for the answer sheet to be shown and painted, and gives it the keyboard focus."""
        self.main_window = self.windows.wait_one(self.layout.caption, timeout)
        self.windows.wait_painted(self.main_window, *self.layout.empty_spot, timeout=timeout)
        self.windows.focus(self.main_window)
        return self.main_window

    def wait_dialog(self, timeout=processes.DEFAULT_TIMEOUT):
        """Waits for the error box or the confirmation to be shown and painted, gives it the focus
        and returns its window."""
        dialog = self.windows.wait_one(DIALOG_CAPTION, timeout)
        self.windows.wait_painted(dialog, 2, 2, timeout=timeout)
        self.windows.focus(dialog)
        return dialog

    def wait_dialog_gone(self, timeout=processes.DEFAULT_TIMEOUT):
        self.windows.wait_gone(DIALOG_CAPTION, timeout)
        if self.main_window is not None:
            self.windows.focus(self.main_window)

    def assert_no_dialog(self):
        """Fails if the error box or the confirmation is shown. Call it after input.press_and_see():
        a key whose effect was seen proves every key before it was handled."""
        if self.windows.visible(DIALOG_CAPTION):
            raise HarnessError("a dialog %r appeared" % DIALOG_CAPTION)

    def close_main_window(self):
        """Asks the answer sheet to close as the close box would (WM_DELETE_WINDOW)."""
        if self.main_window is None:
            raise HarnessError("no main window to close")
        self.windows.request_close(self.main_window)


class AnswerFileAssertions:
    """Mixin for unittest.TestCase: byte-exact comparison with a readable difference."""

    def assertAnswerFile(self, session, lines):
        expected = sjis_lines(lines)
        actual = session.program.answer_file()
        if actual != expected:
            self.assertEqual(describe_bytes(actual), describe_bytes(expected), "answer file differs")
            self.fail("answer file differs in bytes that decode alike:\n%r\n%r" % (actual, expected))


def main():
    """Runs a test module's tests; the exit code tells ctest the result."""
    # A polite kill (ctest's timeout, Ctrl-C) still runs every Session's clean-up.
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit(128 + signum))
    unittest.main(verbosity=2)
