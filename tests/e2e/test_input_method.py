"""Japanese typed through a real input method: IBus with the Anthy engine, romaji keys from xdotool.

IBus runs on a private session bus with a fresh home, no registry cache, and Anthy set to start in
hiragana. Anthy's engine is a Python program that needs Debian's own python3 (with gi), so PATH
starts with /usr/bin for the daemon and everything it starts.
"""

import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Session  # noqa: E402

HOST = "PC09"
QUESTIONNAIRE = ["Survey", "About", "Name", "[T]First", "[T]Second"]
# GSettings kept in a file of the fresh home: no settings daemon needed.
SETTINGS = "[org/freedesktop/ibus/engine/anthy/common]\ninput-mode=0\n"
SET_ENGINE = """
import sys
import gi
gi.require_version("IBus", "1.0")
from gi.repository import IBus
bus = IBus.Bus()
sys.exit(0 if bus.is_connected() and bus.set_global_engine("anthy") and
         bus.get_global_engine().get_name() == "anthy" else 1)
"""
# How long the engine is given to turn a key into preedit (it answers asynchronously).
ENGINE_SECONDS = 0.4


class InputMethodTest(harness.AnswerFileAssertions, unittest.TestCase):
    def setUp(self):
        self.program = harness.program_from_environment()
        s = self.session = self.enterContext(Session(self.program, hostname=HOST, session_bus=True))
        s.folder.write_data(QUESTIONNAIRE)
        home = s.x.env["HOME"]
        settings = os.path.join(home, ".config", "glib-2.0", "settings")
        os.makedirs(settings)
        with open(os.path.join(settings, "keyfile"), "w") as f:
            f.write(SETTINGS)
        self.ibus_env = {"PATH": "/usr/bin:/bin", "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                         "XDG_CACHE_HOME": os.path.join(home, ".cache"), "GSETTINGS_BACKEND": "keyfile"}
        s.x.add_process(["ibus-daemon", "--cache=none", "--panel=disable", "--emoji-extension=disable",
                       "--config=default"], self.ibus_env)
        self.ibus_env["IBUS_ADDRESS"] = s.wait_for(self.ibus_address, "IBus to publish its address")

    def run_tool(self, *command):
        environment = dict(self.session.x.env)
        environment.update(self.ibus_env)
        return subprocess.run(command, env=environment, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)

    def ibus_address(self):
        address = self.run_tool("ibus", "address").stdout.decode(errors="replace").strip()
        return address if address.startswith("unix:") else None

    def focused_input_context(self):
        out = self.run_tool("gdbus", "call", "--address", self.ibus_env["IBUS_ADDRESS"],
                            "--dest", "org.freedesktop.IBus", "--object-path", "/org/freedesktop/IBus",
                            "--method", "org.freedesktop.DBus.Properties.Get", "org.freedesktop.IBus",
                            "CurrentInputContext").stdout.decode(errors="replace")
        return "InputContext_" in out

    def launch(self):
        s = self.session
        s.program.start(env={"QT_IM_MODULE": "ibus", "IBUS_ADDRESS": self.ibus_env["IBUS_ADDRESS"]})
        s.wait_main_window()
        s.wait_for(self.focused_input_context, "IBus to report the program's input context")
        s.wait_for(lambda: self.run_tool("/usr/bin/python3", "-c", SET_ENGINE).returncode == 0,
                   "Anthy to become the engine")

    def compose(self, romaji):
        self.session.input.type(romaji)
        time.sleep(ENGINE_SECONDS)

    def press(self, *keys):
        self.session.input.key(*keys)
        time.sleep(ENGINE_SECONDS)

    def send(self):
        s = self.session
        s.input.click(s.main_window, *harness.centre(s.layout.send_button))
        s.wait_dialog()
        s.input.key("Return")
        s.wait_dialog_gone()

    def test_romaji_converted_and_committed_into_the_name_and_a_text_edit_is_sent_as_shown(self):
        s = self.session
        self.launch()
        self.compose("yamada")
        self.press("space")  # converted: 山田
        self.press("Return")  # committed; Enter in an edit does not send
        s.assert_no_dialog()
        self.press("Tab")
        self.compose("sakura")
        self.press("Return")  # committed unconverted: さくら
        self.compose("ha")
        # A click on another edit commits what is shown.
        s.input.click(s.main_window, *harness.centre(s.layout.edit_rect(2)))
        time.sleep(ENGINE_SECONDS)
        self.compose("nihon")
        self.press("space", "Return")
        self.send()
        self.assertAnswerFile(s, [HOST, "山田", "[Q1T]", "さくらは", "[Q2T]", "日本", "[END]"])

    def test_a_paste_with_a_line_break_while_composing_keeps_the_composed_word(self):
        s = self.session
        self.launch()
        pasted = os.path.join(s.x.env["HOME"], "pasted.txt")
        with open(pasted, "wb") as f:
            f.write("A\nB".encode())
        # xclip holds the clipboard until it ends.
        s.x.add_process(["xclip", "-quiet", "-selection", "clipboard", "-i", pasted])
        s.wait_for(lambda: self.run_tool("xclip", "-o", "-selection", "clipboard").stdout == b"A\nB",
                   "the clipboard to hold two lines")
        self.press("Tab")
        self.compose("kana")
        self.press("ctrl+v")
        s.assert_no_dialog()
        self.press("Tab")
        self.send()
        self.assertAnswerFile(s, [HOST, "", "[Q1T]", "A Bかな", "[Q2T]", "", "[END]"])


if __name__ == "__main__":
    harness.main()
