#!/usr/bin/env python3
"""End to end under Xvfb and Wine: the Windows program started in a folder with
a questionnaire, answered by clicks and keys (Japanese text through
e2e_helper.exe, since xdotool cannot type it into Wine), sent with Enter on the
send button, and its answer file compared byte for byte with the golden file.
A second run without "data.txt" must show the error box before the window.

As root the program runs in a UTS namespace of its own (unshare -u) under the
host name LAB-PC07, the name in the golden file; otherwise line 1 is checked
against this host's name instead. Screenshots stay in the --work folder.
Needs: Xvfb, xdotool, imagemagick (import, convert), wine; WINEPREFIX etc. set.
"""

import argparse
import os
import shutil
import socket
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402
from harness import DIALOG_CAPTION, SILVER  # noqa: E402

HOST_NAME = "LAB-PC07"
WINE = "/usr/bin/wine"
DEADLINE = time.monotonic() + 100  # the whole test, program start-ups included


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)
    print("ok: " + message, flush=True)


def wait_for(what, probe, timeout=20.0):
    try:
        return harness.wait_until(probe, what, max(0.0, min(timeout, DEADLINE - time.monotonic())), poll=0.1)
    except harness.HarnessError as error:
        fail(str(error))


class Screen:
    """The private X server the exe runs on, in Wine's environment, with the harness's windows and
    keys (at Wine's pace) and the sheet's layout as the exe was built with it."""

    def __init__(self, x, layout, work):
        self.x = x
        self.layout = layout
        self.windows = harness.Windows(x, lambda probe, what, timeout: wait_for(what, probe, timeout), work)
        self.input = harness.KeyboardMouse(x, key_delay=50, type_delay=40)

    def focus(self, window):
        # No window manager: the keyboard focus is handed over by hand. The X server orders the
        # focus change before the keys sent after it.
        self.windows.focus(window, sync=False)

    def close_window(self, window):
        self.focus(window)
        self.input.key("alt+F4")

    def shown(self, caption):
        return self.windows.visible(caption)

    def screenshot(self, name):
        """The whole screen, saved in the --work folder."""
        return self.windows.screenshot(name)


def start_program(screen, exe, folder, in_namespace):
    """One run of the exe under Wine in the folder."""
    program = harness.Program(exe, folder, screen.x.env, HOST_NAME if in_namespace else None, launcher=[WINE])
    program.start()
    return program


def helper(screen, exe_helper, *args):
    result = subprocess.run([WINE, exe_helper] + list(args), env=screen.x.env, capture_output=True, timeout=30)
    return result.returncode, result.stdout.decode("utf-8").splitlines()


def message_box(screen, exe_helper):
    def probe():
        code, lines = helper(screen, exe_helper, "message-box")
        return lines if code == 0 and len(lines) == 3 else None
    return wait_for("the message box", probe)


def sheet_state(screen, exe_helper):
    """What the sheet's controls hold, as e2e_helper state prints it: {"edit 0": "Taro", "list 1": "10100",
    "button 3": "1 text", "focus": "edit 0", ...}."""
    code, lines = helper(screen, exe_helper, "state")
    if code != 0:
        return {}
    state = {}
    for line in lines:
        kind, _, rest = line.partition(" ")
        if kind == "focus":
            state["focus"] = rest
        else:
            number, _, value = rest.partition(" ")
            state[kind + " " + number] = value
    return state


def checked_buttons(state):
    """The texts of the checked radio items."""
    return {value[2:] for key, value in state.items() if key.startswith("button ") and value.startswith("1 ")}


def wait_state(screen, exe_helper, what, probe, timeout=20.0):
    """Waits until probe(state) holds: the effect of the clicks and keys before it."""
    last = {}

    def look():
        nonlocal last
        last = sheet_state(screen, exe_helper)
        return last if last and probe(last) else None
    try:
        harness.wait_until(look, what, max(0.0, min(timeout, DEADLINE - time.monotonic())), poll=0.1)
    except harness.HarnessError:
        fail("timed out waiting for %s; the sheet holds %s" % (what, last))
    print("ok: " + what, flush=True)
    return last


def main_window(screen):
    windows = wait_for("the answer sheet", lambda: screen.shown(screen.layout.caption), timeout=30)
    return windows[0]


# Where the Win32 backend draws the items of a radio group and a check-list box, inside the rects
# the layout gives the controls.
def radio_item(layout, q, index, count):
    left, top, _, height = layout.radio_group_rect(q)
    item_height = min(24, (height - 15) // count)
    return left + 8 + 6, top + 12 + index * item_height + item_height // 2


def check_box(layout, q, index):
    left, top = layout.check_list_rect(q)[:2]
    return left + 2 + 7, top + 2 + index * 15 + 7


def utf8_hex(text):
    return text.encode("utf-8").hex()


def computer_name(in_namespace):
    # Without a host name of our own, this computer's NetBIOS name.
    return HOST_NAME if in_namespace else socket.gethostname().split(".")[0].upper()[:15]


def check_answer_file(folder, golden, in_namespace):
    names = [n for n in folder.files() if n.endswith(".ans")]
    check(len(names) == 1, "one answer file: %s" % names)
    written = folder.read(names[0])
    with open(golden, "rb") as f:
        expected = f.read()
    if not in_namespace:
        expected = computer_name(False).encode("ascii") + expected[expected.index(b"\r\n"):]
    check(names[0].encode() == expected[:expected.index(b"\r\n")] + b".ans", "file named after the computer")
    if written != expected:
        print("written:  %r\nexpected: %r" % (written, expected))
    check(written == expected, "answer file matches %s byte for byte" % os.path.basename(golden))


def folder_with(args, data_file):
    """A fresh working folder in --work (left there for a look after a failure), holding data_file
    as "data.txt" unless it is None."""
    folder = harness.WorkingFolder(inside=args.work)
    if data_file is not None:
        shutil.copy(data_file, folder.file("data.txt"))
    return folder


def wait_painted(screen, window, panels, name, timeout):
    """A screenshot once the shown panels are painted: under load Wine maps the window before it
    has painted every panel. Returns it and the window's geometry."""
    x0, y0, width, height = screen.windows.geometry(window)

    def painted():
        shot = screen.screenshot(name)
        return shot if all(shot.pixel(x0 + x, y0 + y) == SILVER
                           for x, y in map(screen.layout.panel_empty_spot, panels)) else None
    shot = wait_for("panels %s painted" % ", ".join(map(str, panels)), painted, timeout=timeout)
    return shot, (x0, y0, width, height)


def answer_and_send(screen, args, in_namespace):
    layout = screen.layout
    pale_green = layout.background
    folder = folder_with(args, args.questionnaire)
    program = start_program(screen, args.exe, folder, in_namespace)
    try:
        window = main_window(screen)
        shot, (x0, y0, width, height) = wait_painted(screen, window, (1, 5, 7), "sheet", timeout=10)

        def colour(point):
            return shot.pixel(x0 + point[0], y0 + point[1])
        check(colour(layout.empty_spot) == pale_green, "pale green between the columns")
        check(colour(layout.panel_empty_spot(1)) == SILVER, "panel 1 shown in silver")
        check(colour(layout.panel_empty_spot(5)) == SILVER, "panel 5 shown")
        check(colour(layout.panel_empty_spot(7)) == SILVER, "panel 7 shown")
        check(colour(layout.panel_empty_spot(8)) == pale_green, "panel 8 hidden")

        screen.focus(window)
        keys, click = screen.input, lambda point: screen.input.click(window, *point)
        keys.type("Taro")                                         # the name field has the first focus
        click(radio_item(layout, 1, 2, 5))                        # Q1: the third choice
        for item in (0, 2, 4):
            click(check_box(layout, 2, item))                     # Q2: tick 1, 3, 5 ...
        click(check_box(layout, 2, 4))                            # ... and untick 5
        wait_state(screen, args.helper, "name typed, Q1 chosen, Q2 ticked by clicks",
                   lambda s: s.get("edit 0") == "Taro" and "ふつう" in checked_buttons(s)
                   and s.get("list 1") == "10100")
        code, _ = helper(screen, args.helper, "set-edit", "3", utf8_hex("文化祭の劇ソ表"))
        check(code == 0, "Japanese text put into Edit3")
        click(radio_item(layout, 4, 0, 3))                        # Q4: the first choice ...
        wait_state(screen, args.helper, "Q4's first choice clicked",
                   lambda s: "毎日食べる" in checked_buttons(s))
        keys.key("Up")                                            # ... Up wraps round to the third
        wait_state(screen, args.helper, "Up wrapped round to Q4's third choice",
                   lambda s: "ほとんど食べない" in checked_buttons(s) and "毎日食べる" not in checked_buttons(s))
        keys.key("Tab", "space", "Down", "Down", "space")         # Q5: tick 1 and 3 by keys
        wait_state(screen, args.helper, "Q5 ticked by keys", lambda s: s.get("list 4") == "1010")
        code, _ = helper(screen, args.helper, "set-edit", "7", utf8_hex("line1\r\nline2"))
        check(code == 0, "text with a line break put into Edit7")
        keys.key("Tab", "Return")                                 # the send button, then Enter

        caption, text, icon = message_box(screen, args.helper)
        check((caption, text, icon) == (DIALOG_CAPTION, "送信しました", "no icon"),
              "confirmation shown: %s / %s / %s" % (caption, text, icon))
        box = wait_for("the box's X window", lambda: screen.shown(DIALOG_CAPTION))[0]
        bx, by, bw, bh = screen.windows.geometry(box)
        centre = (bx + bw // 2, by + bh // 2)
        screen_width, screen_height = screen.x.screen_size
        check(abs(centre[0] - screen_width // 2) <= 4 and abs(centre[1] - screen_height // 2) <= 24,
              "confirmation centred on the screen (%d, %d)" % centre)
        screen.screenshot("sent")
        keys.key("Return")
        wait_for("the box to close", lambda: not screen.shown(DIALOG_CAPTION))

        check_answer_file(folder, args.golden, in_namespace)

        screen.windows.resize(window, 600, 400, sync=False)
        check(wait_for("scroll bars on a small window",
                       lambda: helper(screen, args.helper, "scroll-bars")[1] == ["horizontal", "vertical"],
                       timeout=10), "both scroll bars on a small window")
        screen.screenshot("scrolled")
        screen.windows.resize(window, width, height, sync=False)
        check(wait_for("no scroll bars at full size",
                       lambda: helper(screen, args.helper, "scroll-bars")[1] == ["no horizontal", "no vertical"],
                       timeout=10), "no scroll bars at full size again")

        screen.close_window(window)
        wait_for("the program to end", lambda: program.process.poll() is not None, timeout=15)
        check(program.process.returncode == 0, "exit code 0")
    finally:
        program.stop()


def keyboard_only(screen, args, in_namespace):
    """Access keys, arrows, Tab and Enter, on a questionnaire with "&" marks."""
    folder = folder_with(args, os.path.join(os.path.dirname(args.golden), "e2e_keyboard.txt"))
    program = start_program(screen, args.exe, folder, in_namespace)
    keys = screen.input
    try:
        window = main_window(screen)
        screen.focus(window)
        keys.key("K")                       # the name field has the first focus
        keys.key("alt+q", "Down")           # panel 1: the unanswered group itself; Down selects the first
        keys.key("alt+u")                   # the item "S&ummer": focused and selected
        keys.key("alt+i", "y")              # the title label's key does nothing: "y" reaches no edit
        keys.key("alt+c", "x", "Return")    # panel 3's edit; Enter there sends nothing ...
        wait_state(screen, args.helper, "x typed into panel 3's edit", lambda s: s.get("edit 3") == "x")
        # ... and BackSpace after it, seen to reach the edit, shows that Enter was handled and opened
        # no box (a box would have taken the keyboard); x is typed again.
        keys.key("BackSpace")
        wait_state(screen, args.helper, "BackSpace after Enter reaches the edit", lambda s: s.get("edit 3") == "")
        check(not screen.shown(DIALOG_CAPTION), "Enter in an edit does not send")
        keys.key("x")
        wait_state(screen, args.helper, "x typed again", lambda s: s.get("edit 3") == "x")
        # A folder in place of the answer file: the send fails with code 5,
        # the error box shows, and the window carries on with its answers.
        blocker = folder.file(computer_name(in_namespace) + ".ans")
        os.mkdir(blocker)
        keys.key("Tab", "Return")           # the unanswered group 2 is skipped: the button
        caption, text, icon = message_box(screen, args.helper)
        check((caption, text, icon) == (DIALOG_CAPTION, "ファイルへのアクセスが拒否されました.", "icon"),
              "error box for a failed send: %s / %s / %s" % (caption, text, icon))
        keys.key("Return")
        wait_for("the error box to close", lambda: not screen.shown(DIALOG_CAPTION))
        os.rmdir(blocker)
        keys.key("Return")                  # the button has the focus again: send once more
        caption, text, _ = message_box(screen, args.helper)
        check((caption, text) == (DIALOG_CAPTION, "送信しました"), "sent by Enter on the button")
        screen.screenshot("keyboard")
        keys.key("Escape")                  # Escape closes the confirmation too
        wait_for("the box to close", lambda: not screen.shown(DIALOG_CAPTION))
        check_answer_file(folder, os.path.join(os.path.dirname(args.golden), "e2e_keyboard.ans"), in_namespace)
        screen.close_window(window)
        wait_for("the program to end", lambda: program.process.poll() is not None, timeout=15)
    finally:
        program.stop()


def missing_questionnaire(screen, args):
    folder = folder_with(args, None)
    program = start_program(screen, args.exe, folder, False)
    try:
        caption, text, icon = message_box(screen, args.helper)
        check((caption, text, icon) == (DIALOG_CAPTION, "ファイルが見つかりません.", "icon"),
              "error box for the missing data.txt: %s / %s / %s" % (caption, text, icon))
        check(not screen.shown(screen.layout.caption), "error box shown before the window")
        screen.screenshot("error")
        screen.focus(wait_for("the box's X window", lambda: screen.shown(DIALOG_CAPTION))[0])
        screen.input.key("Return")
        window = main_window(screen)
        x0, y0, _, _ = screen.windows.geometry(window)
        shot = screen.screenshot("empty-sheet")
        spot = screen.layout.panel_empty_spot(1)
        check(shot.pixel(x0 + spot[0], y0 + spot[1]) == screen.layout.background,
              "no question panel after the failure")
        screen.close_window(window)
        wait_for("the program to end", lambda: program.process.poll() is not None, timeout=15)
    finally:
        program.stop()


def options(*names):
    """The command line's options, all required; the --work folder made anew."""
    parser = argparse.ArgumentParser()
    for name in names + ("--work",):
        parser.add_argument(name, required=True)
    args = parser.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    return args


def main():
    args = options("--exe", "--helper", "--layout-dump", "--questionnaire", "--golden")
    in_namespace = os.geteuid() == 0 and shutil.which("unshare") is not None
    layout = harness.load_layout([WINE, args.layout_dump])
    # Wine answers GetComputerNameA from the host name its server started
    # with: let the program start a server inside its own namespace.
    subprocess.run(["/usr/bin/wineserver", "-k"], stderr=subprocess.DEVNULL, check=False)
    subprocess.run(["/usr/bin/wineserver", "-w"], stderr=subprocess.DEVNULL, check=False)
    with harness.XServer(inherit_environment=True) as x:
        screen = Screen(x, layout, args.work)
        answer_and_send(screen, args, in_namespace)
        keyboard_only(screen, args, in_namespace)
        missing_questionnaire(screen, args)
    print("PASS", flush=True)


if __name__ == "__main__":
    main()
