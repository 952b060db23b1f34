"""Drives the real program on a private X server, as a respondent would.

By concern: xserver (Xvfb, a window manager, a session bus), xclient (libX11 through ctypes),
windows (finding, waiting for, measuring and photographing windows), keyboard_mouse (keys, text,
clicks), image (a screenshot's pixels), program (the working folder and the program's runs),
layout (the sheet's layout read from the program's own table), processes (starting, waiting,
ending); session composes them for one test. The Wine tests and the benchmarks use the parts.

Standard library only, plus the Debian tools xvfb, xdotool, x11-utils, imagemagick and util-linux
(unshare), and the X client library libX11.
"""

from .image import Image
from .keyboard_mouse import KeyboardMouse
from .layout import SILVER, Layout, around, centre, frame_top
from .layout import from_environment as layout_from_environment
from .layout import load as load_layout
from .processes import DEFAULT_TIMEOUT, HarnessError, wait_until
from .program import (DIALOG_CAPTION, Program, WorkingFolder, describe_bytes, program_from_environment, sjis,
                      sjis_lines)
from .session import AnswerFileAssertions, Session, main
from .windows import Windows
from .xserver import XServer

__all__ = [
    "DEFAULT_TIMEOUT", "DIALOG_CAPTION", "SILVER", "AnswerFileAssertions", "HarnessError", "Image",
    "KeyboardMouse", "Layout", "Program", "Session", "Windows", "WorkingFolder", "XServer", "around", "centre",
    "describe_bytes", "frame_top", "layout_from_environment", "load_layout", "main", "program_from_environment",
    "sjis", "sjis_lines", "wait_until",
]
