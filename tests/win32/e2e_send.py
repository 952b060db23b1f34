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

MAIN_CAPTION = "校内アンケート　ミルネア"
DIALOG_CAPTION = "ミルネア"
HOST_NAME = "LAB-PC07"
PALE_GREEN = "192,220,192"
SILVER = "192,192,192"
SCREEN = (1280, 1024)
DEADLINE = time.monotonic() + 100  # the whole test, program start-ups included


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)
    print("ok: " + message, flush=True)


def wait_for(what, probe, timeout=20.0):
    end = min(time.monotonic() + timeout, DEADLINE)
    while time.monotonic() < end:
        result = probe()
        if result:
            return result
        time.sleep(0.1)
    fail("timed out waiting for " + what)


class Screen:
    """A private Xvfb display."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN, "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            self.display = ":" + pipe.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.display)

    def run(self, *args, check_exit=True):
        result = subprocess.run(list(args), env=self.env, capture_output=True, text=True, timeout=30)
        if check_exit and result.returncode != 0:
            fail("%s: %s" % (" ".join(args), result.stderr.strip()))
        return result.stdout

    def windows(self, name):
        result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], env=self.env,
                                capture_output=True, text=True, timeout=30)
        return result.stdout.split()

    def geometry(self, window):
        values = {}
        for line in self.run("xdotool", "getwindowgeometry", "--shell", window).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value) if value.lstrip("-").isdigit() else value
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]

    # Clicks and keys reach the program in order; a test waits on what they do (wait_state),
    # never for a fixed time.
    def click(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y), "click", "1")

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "50", *keys)

    def focus(self, window):
        # No window manager: the keyboard focus is handed over by hand. The X server orders the
        # focus change before the keys sent after it.
        self.run("xdotool", "windowfocus", window, check_exit=False)

    def close_window(self, window):
        self.focus(window)
        self.run("xdotool", "key", "alt+F4", check_exit=False)

    def screenshot(self, path):
        self.run("import", "-window", "root", path)
        return path

    def pixel(self, path, x, y):
        text = self.run("convert", path, "-format", "%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]",
                        "-crop", "1x1+%d+%d" % (x, y), "info:")
        return text.strip()

    def close(self):
        self.server.kill()
        self.server.wait()


class Program:
    """One run of the exe under Wine in a folder."""

    def __init__(self, screen, exe, folder, in_namespace):
        command = ["/usr/bin/wine", exe]
        if in_namespace:
            command = ["unshare", "-u", "sh", "-c", 'hostname "$0" && exec "$@"', HOST_NAME] + command
        self.screen = screen
        self.process = subprocess.Popen(command, cwd=folder, env=screen.env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def helper(screen, exe_helper, *args):
    result = subprocess.run(["/usr/bin/wine", exe_helper] + list(args), env=screen.env, capture_output=True,
                            timeout=30)
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
        return probe(last) if last else False
    end = min(time.monotonic() + timeout, DEADLINE)
    while time.monotonic() < end:
        if look():
            print("ok: " + what, flush=True)
            return last
        time.sleep(0.1)
    fail("timed out waiting for %s; the sheet holds %s" % (what, last))


def main_window(screen):
    windows = wait_for("the answer sheet", lambda: screen.windows(MAIN_CAPTION), timeout=30)
    return windows[0]


# The layout, relative to the client area.
def panel(q):
    return (8 if q <= 5 else 504, 88 + 120 * ((q - 1) % 5))


def radio_item(q, index, count):
    left, top = panel(q)
    item_height = min(24, (89 - 15) // count)
    return left + 88 + 8 + 6, top + 16 + 12 + index * item_height + item_height // 2


def check_box(q, index):
    left, top = panel(q)
    return left + 88 + 2 + 7, top + 24 + 2 + index * 15 + 7


def utf8_hex(text):
    return text.encode("utf-8").hex()


def computer_name(in_namespace):
    # Without a host name of our own, this computer's NetBIOS name.
    return HOST_NAME if in_namespace else socket.gethostname().split(".")[0].upper()[:15]


def check_answer_file(folder, golden, in_namespace):
    names = [n for n in os.listdir(folder) if n.endswith(".ans")]
    check(len(names) == 1, "one answer file: %s" % names)
    with open(os.path.join(folder, names[0]), "rb") as f:
        written = f.read()
    with open(golden, "rb") as f:
        expected = f.read()
    if not in_namespace:
        expected = computer_name(False).encode("ascii") + expected[expected.index(b"\r\n"):]
    check(names[0].encode() == expected[:expected.index(b"\r\n")] + b".ans", "file named after the computer")
    if written != expected:
        print("written:  %r\nexpected: %r" % (written, expected))
    check(written == expected, "answer file matches %s byte for byte" % os.path.basename(golden))


def answer_and_send(screen, args, in_namespace):
    folder = os.path.join(args.work, "send")
    os.makedirs(folder)
    shutil.copy(args.questionnaire, os.path.join(folder, "data.txt"))
    program = Program(screen, args.exe, folder, in_namespace)
    try:
        window = main_window(screen)
        x0, y0, width, height = screen.geometry(window)
        at = lambda point: (x0 + point[0], y0 + point[1])
        sheet_png = os.path.join(args.work, "sheet.png")

        # Under load Wine maps the window before it has painted every panel: wait
        # for every shown one.
        def painted():
            shot = screen.screenshot(sheet_png)
            points = ((38, 178), (38, 660), (800, 300))
            return shot if all(screen.pixel(shot, *at(p)) == SILVER for p in points) else None

        shot = wait_for("panels 1, 5 and 7 painted", painted, timeout=10)
        check(screen.pixel(shot, *at((496, 300))) == PALE_GREEN, "pale green between the columns")
        check(screen.pixel(shot, *at((38, 178))) == SILVER, "panel 1 shown in silver")
        check(screen.pixel(shot, *at((38, 660))) == SILVER, "panel 5 shown")
        check(screen.pixel(shot, *at((800, 300))) == SILVER, "panel 7 shown")
        check(screen.pixel(shot, *at((800, 400))) == PALE_GREEN, "panel 8 hidden")

        screen.focus(window)
        screen.run("xdotool", "type", "--delay", "40", "Taro")          # the name field has the first focus
        screen.click(*at(radio_item(1, 2, 5)))                          # Q1: the third choice
        for item in (0, 2, 4):
            screen.click(*at(check_box(2, item)))                       # Q2: tick 1, 3, 5 ...
        screen.click(*at(check_box(2, 4)))                              # ... and untick 5
        wait_state(screen, args.helper, "name typed, Q1 chosen, Q2 ticked by clicks",
                   lambda s: s.get("edit 0") == "Taro" and "ふつう" in checked_buttons(s)
                   and s.get("list 1") == "10100")
        code, _ = helper(screen, args.helper, "set-edit", "3", utf8_hex("文化祭の劇ソ表"))
        check(code == 0, "Japanese text put into Edit3")
        screen.click(*at(radio_item(4, 0, 3)))                          # Q4: the first choice ...
        wait_state(screen, args.helper, "Q4's first choice clicked",
                   lambda s: "毎日食べる" in checked_buttons(s))
        screen.key("Up")                                                # ... Up wraps round to the third
        wait_state(screen, args.helper, "Up wrapped round to Q4's third choice",
                   lambda s: "ほとんど食べない" in checked_buttons(s) and "毎日食べる" not in checked_buttons(s))
        screen.key("Tab", "space", "Down", "Down", "space")             # Q5: tick 1 and 3 by keys
        wait_state(screen, args.helper, "Q5 ticked by keys", lambda s: s.get("list 4") == "1010")
        code, _ = helper(screen, args.helper, "set-edit", "7", utf8_hex("line1\r\nline2"))
        check(code == 0, "text with a line break put into Edit7")
        screen.key("Tab", "Return")                                     # the send button, then Enter

        caption, text, icon = message_box(screen, args.helper)
        check((caption, text, icon) == (DIALOG_CAPTION, "送信しました", "no icon"),
              "confirmation shown: %s / %s / %s" % (caption, text, icon))
        box = wait_for("the box's X window", lambda: screen.windows("^%s$" % DIALOG_CAPTION))[0]
        bx, by, bw, bh = screen.geometry(box)
        centre = (bx + bw // 2, by + bh // 2)
        check(abs(centre[0] - SCREEN[0] // 2) <= 4 and abs(centre[1] - SCREEN[1] // 2) <= 24,
              "confirmation centred on the screen (%d, %d)" % centre)
        screen.screenshot(os.path.join(args.work, "sent.png"))
        screen.key("Return")
        wait_for("the box to close", lambda: not screen.windows("^%s$" % DIALOG_CAPTION))

        check_answer_file(folder, args.golden, in_namespace)

        screen.run("xdotool", "windowsize", window, "600", "400")
        check(wait_for("scroll bars on a small window",
                       lambda: helper(screen, args.helper, "scroll-bars")[1] == ["horizontal", "vertical"],
                       timeout=10), "both scroll bars on a small window")
        screen.screenshot(os.path.join(args.work, "scrolled.png"))
        screen.run("xdotool", "windowsize", window, str(width), str(height))
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
    folder = os.path.join(args.work, "keyboard")
    os.makedirs(folder)
    shutil.copy(os.path.join(os.path.dirname(args.golden), "e2e_keyboard.txt"), os.path.join(folder, "data.txt"))
    program = Program(screen, args.exe, folder, in_namespace)
    try:
        window = main_window(screen)
        screen.focus(window)
        screen.key("K")                       # the name field has the first focus
        screen.key("alt+q", "Down")           # panel 1: the unanswered group itself; Down selects the first
        screen.key("alt+u")                   # the item "S&ummer": focused and selected
        screen.key("alt+i", "y")              # the title label's key does nothing: "y" reaches no edit
        screen.key("alt+c", "x", "Return")    # panel 3's edit; Enter there sends nothing ...
        wait_state(screen, args.helper, "x typed into panel 3's edit", lambda s: s.get("edit 3") == "x")
        # ... and BackSpace after it, seen to reach the edit, shows that Enter was handled and opened
        # no box (a box would have taken the keyboard); x is typed again.
        screen.key("BackSpace")
        wait_state(screen, args.helper, "BackSpace after Enter reaches the edit", lambda s: s.get("edit 3") == "")
        check(not screen.windows("^%s$" % DIALOG_CAPTION), "Enter in an edit does not send")
        screen.key("x")
        wait_state(screen, args.helper, "x typed again", lambda s: s.get("edit 3") == "x")
        # A folder in place of the answer file: the send fails with code 5,
        # the error box shows, and the window carries on with its answers.
        blocker = os.path.join(folder, computer_name(in_namespace) + ".ans")
        os.mkdir(blocker)
        screen.key("Tab", "Return")           # the unanswered group 2 is skipped: the button
        caption, text, icon = message_box(screen, args.helper)
        check((caption, text, icon) == (DIALOG_CAPTION, "ファイルへのアクセスが拒否されました.", "icon"),
              "error box for a failed send: %s / %s / %s" % (caption, text, icon))
        screen.key("Return")
        wait_for("the error box to close", lambda: not screen.windows("^%s$" % DIALOG_CAPTION))
        os.rmdir(blocker)
        screen.key("Return")                  # the button has the focus again: send once more
        caption, text, _ = message_box(screen, args.helper)
        check((caption, text) == (DIALOG_CAPTION, "送信しました"), "sent by Enter on the button")
        screen.screenshot(os.path.join(args.work, "keyboard.png"))
        screen.key("Escape")                  # Escape closes the confirmation too
        wait_for("the box to close", lambda: not screen.windows("^%s$" % DIALOG_CAPTION))
        check_answer_file(folder, os.path.join(os.path.dirname(args.golden), "e2e_keyboard.ans"), in_namespace)
        screen.close_window(window)
        wait_for("the program to end", lambda: program.process.poll() is not None, timeout=15)
    finally:
        program.stop()


def missing_questionnaire(screen, args):
    folder = os.path.join(args.work, "missing")
    os.makedirs(folder)
    program = Program(screen, args.exe, folder, False)
    try:
        caption, text, icon = message_box(screen, args.helper)
        check((caption, text, icon) == (DIALOG_CAPTION, "ファイルが見つかりません.", "icon"),
              "error box for the missing data.txt: %s / %s / %s" % (caption, text, icon))
        check(not screen.windows(MAIN_CAPTION), "error box shown before the window")
        screen.screenshot(os.path.join(args.work, "error.png"))
        screen.focus(wait_for("the box's X window", lambda: screen.windows("^%s$" % DIALOG_CAPTION))[0])
        screen.key("Return")
        window = main_window(screen)
        x0, y0, _, _ = screen.geometry(window)
        shot = screen.screenshot(os.path.join(args.work, "empty-sheet.png"))
        check(screen.pixel(shot, x0 + 38, y0 + 178) == PALE_GREEN, "no question panel after the failure")
        screen.close_window(window)
        wait_for("the program to end", lambda: program.process.poll() is not None, timeout=15)
    finally:
        program.stop()


def main():
    parser = argparse.ArgumentParser()
    for option in ("--exe", "--helper", "--questionnaire", "--golden", "--work"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    in_namespace = os.geteuid() == 0 and shutil.which("unshare") is not None
    # Wine answers GetComputerNameA from the host name its server started
    # with: let the program start a server inside its own namespace.
    subprocess.run(["/usr/bin/wineserver", "-k"], stderr=subprocess.DEVNULL, check=False)
    subprocess.run(["/usr/bin/wineserver", "-w"], stderr=subprocess.DEVNULL, check=False)
    screen = Screen()
    try:
        answer_and_send(screen, args, in_namespace)
        keyboard_only(screen, args, in_namespace)
        missing_questionnaire(screen, args)
    finally:
        screen.close()
    print("PASS", flush=True)


if __name__ == "__main__":
    main()
