"""The Debian package as a school gets it: made by CPack from this build, unpacked into a temporary
root with dpkg -x, its files and control data checked (the guide and the manual page among them),
the installed sheet run once under Xvfb on the installed sample questionnaire, and the installed
teacher's tool run on a class folder of answer files, with --open and without."""

import glob
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("MIRUNEA_SOURCE_DIR", "")
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e"))
sys.path.insert(0, os.path.join(SOURCE, "tests", "package"))
import harness  # noqa: E402
from harness import SILVER, Session  # noqa: E402
from sample_class import COUNTED, fill_class_folder, recorded, recording_xdg_open  # noqa: E402

PICTURE = os.path.join(SOURCE, "app", "icon", "mirunea.xpm")
ICON_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
SAMPLE_PANELS = 7  # questions in examples/data.txt


def rgba(path, scale=None):
    """The pixels of a picture file as RGBA bytes, decoded by ImageMagick (not by our own code)."""
    command = ["/usr/bin/convert", path] + (["-scale", scale] if scale else []) + ["-depth", "8", "rgba:-"]
    return subprocess.run(command, check=True, stdout=subprocess.PIPE).stdout


def size_of(path):
    out = subprocess.run(["/usr/bin/identify", "-format", "%w %h", path], check=True,
                         stdout=subprocess.PIPE, text=True).stdout
    return tuple(int(v) for v in out.split())


def same_pixels(a, b):
    """RGBA byte strings equal, the colour of fully transparent pixels aside."""
    if len(a) != len(b):
        return False
    for i in range(0, len(a), 4):
        if a[i + 3] != b[i + 3] or (a[i + 3] and a[i:i + 3] != b[i:i + 3]):
            return False
    return True


class DebianPackageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="mirunea-deb-")
        subprocess.run(["cpack", "-G", "DEB", "--config", os.environ["MIRUNEA_CPACK_CONFIG"], "-B", cls.work],
                       check=True, stdout=subprocess.DEVNULL)
        debs = glob.glob(os.path.join(cls.work, "*.deb"))
        if len(debs) != 1:
            raise AssertionError("expected one .deb, got %s" % debs)
        cls.deb = debs[0]
        cls.root = os.path.join(cls.work, "root")
        subprocess.run(["dpkg", "-x", cls.deb, cls.root], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, ignore_errors=True)

    def installed(self, path):
        return os.path.join(self.root, path.lstrip("/"))

    def test_control_data_names_the_libraries_and_the_japanese_font(self):
        fields = {}
        for name in ("Package", "Architecture", "Depends"):
            fields[name] = subprocess.run(["dpkg-deb", "-f", self.deb, name], check=True, stdout=subprocess.PIPE,
                                          text=True).stdout.strip()
        self.assertEqual(fields["Package"], "mirunea")
        host = subprocess.run(["dpkg", "--print-architecture"], check=True, stdout=subprocess.PIPE, text=True)
        self.assertEqual(fields["Architecture"], host.stdout.strip())
        depends = [d.strip().split()[0] for d in fields["Depends"].split(",")]
        # From dpkg-shlibdeps: the Qt libraries the binary links, and the C++ runtime.
        for package in ("libqt6widgets6", "libqt6gui6", "libqt6core6", "libstdc++6", "libc6"):
            self.assertIn(package, depends, fields["Depends"])
        self.assertIn("fonts-ipafont-gothic", depends, fields["Depends"])

    def test_files_are_the_programs_their_desktop_entry_icons_and_documentation(self):
        for name in ("mirunea", "mirunea-tally"):
            program = self.installed("/usr/bin/" + name)
            self.assertTrue(os.access(program, os.X_OK), program)
        # The staff's guide as it is in the repository: UTF-8, naming both programs.
        with open(os.path.join(SOURCE, "docs", "guide.ja.txt"), "rb") as a, \
                open(self.installed("/usr/share/doc/mirunea/guide.ja.txt"), "rb") as b:
            guide = b.read()
            self.assertEqual(a.read(), guide)
        for program in ("mirunea.exe", "mirunea-tally.exe", "/usr/bin/mirunea", "/usr/bin/mirunea-tally"):
            self.assertIn(program, guide.decode("utf-8"))
        with open(os.path.join(SOURCE, "examples", "data.txt"), "rb") as a, \
                open(self.installed("/usr/share/doc/mirunea/examples/data.txt"), "rb") as b:
            self.assertEqual(a.read(), b.read())

        entry = self.installed("/usr/share/applications/mirunea.desktop")
        result = subprocess.run(["desktop-file-validate", entry], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                text=True)
        self.assertEqual((result.returncode, result.stdout), (0, ""), "desktop-file-validate")
        with open(entry, encoding="utf-8") as f:
            keys = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
        self.assertEqual(keys["Name[ja]"], "ミルネア")
        self.assertIn("アンケート", keys["Comment[ja]"])
        self.assertEqual(keys["Exec"], "mirunea")  # no field codes: it reads no command line
        self.assertNotIn("Path", keys, "the working folder is the launcher's to choose")

        for size in ICON_SIZES:
            with self.subTest(size=size):
                png = self.installed("/usr/share/icons/hicolor/%dx%d/apps/%s.png" % (size, size, keys["Icon"]))
                self.assertEqual(size_of(png), (size, size))
                if size % 32 == 0:
                    # Whole multiples of the picture: every pixel repeated, nothing blended.
                    self.assertTrue(same_pixels(rgba(png), rgba(PICTURE, "%d%%" % (100 * size // 32))))
                pixels = rgba(png)
                self.assertEqual(pixels[3], 0, "the top left corner is transparent")
                centre = 4 * (size * (size // 2) + size // 2)
                self.assertEqual(pixels[centre + 3], 255, "the centre is opaque")
        self.assertTrue(same_pixels(rgba(self.installed("/usr/share/icons/hicolor/32x32/apps/mirunea.png")),
                                    rgba(PICTURE)))

    def test_manual_page_renders_without_warnings(self):
        page = self.installed("/usr/share/man/man1/mirunea-tally.1.gz")
        with open(page, "rb") as f:
            self.assertEqual(f.read(2), b"\x1f\x8b", "compressed as Debian keeps manual pages")
        shown = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", page], stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True, env=dict(os.environ, MANWIDTH="80"))
        self.assertEqual((shown.returncode, shown.stderr), (0, ""))
        for words in ("mirunea-tally - check a school questionnaire", "--fix-encoding", "--open", "EXIT STATUS",
                      "/usr/share/doc/mirunea/guide.ja.txt"):
            self.assertIn(words, shown.stdout)

    def test_installed_tool_tallies_a_class_and_opens_the_report_only_when_asked(self):
        with open(self.installed("/usr/share/doc/mirunea/examples/data.txt"), "rb") as f:
            questionnaire = f.read()
        classroom = os.path.join(self.work, "2年1組")
        files = fill_class_folder(classroom, questionnaire)
        record = os.path.join(self.work, "opened.txt")
        recording_xdg_open(os.path.join(self.work, "fake-bin"), record)
        env = dict(os.environ, PATH=os.path.join(self.work, "fake-bin") + os.pathsep + os.environ["PATH"])
        tool = self.installed("/usr/bin/mirunea-tally")

        plain = subprocess.run([tool, classroom], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, text=True, timeout=60)
        self.assertEqual((plain.returncode, plain.stderr), (0, ""))
        self.assertIn(COUNTED, plain.stdout)
        self.assertNotIn("何かキー", plain.stdout)
        self.assertEqual(sorted(os.listdir(classroom)), sorted(files + ["tally.html", "tally.csv"]))
        self.assertEqual(recorded(record), [], "opened without --open")

        opened = subprocess.run([tool, "--open", classroom], env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=60)
        self.assertEqual((opened.returncode, opened.stderr), (0, ""))
        self.assertEqual(recorded(record), [os.path.join(classroom, "tally.html")])

        # No opener at all: said on standard error, the tally's own exit code kept.
        os.remove(os.path.join(self.work, "fake-bin", "xdg-open"))
        lost = subprocess.run([tool, "--open", classroom], env=dict(env, PATH=os.path.join(self.work, "fake-bin")),
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                              timeout=60)
        self.assertEqual(lost.returncode, 0)
        self.assertIn("tally.html", lost.stderr)

    def test_installed_program_shows_the_installed_sample_with_the_installed_icon(self):
        with Session(self.installed("/usr/bin/mirunea"), hostname="PC01") as s:
            with open(self.installed("/usr/share/doc/mirunea/examples/data.txt"), "rb") as f:
                s.folder.write_data(f.read())
            window = s.launch()
            sheet = s.windows.screenshot("installed-sample-window", window)
            self.assertEqual((sheet.width, sheet.height), s.layout.client_size)
            for q in range(1, s.layout.panel_count + 1):
                expected = SILVER if q <= SAMPLE_PANELS else s.layout.background
                self.assertEqual(sheet.pixel(*s.layout.panel_empty_spot(q)), expected, "panel %d" % q)

            # The window's own icon, as a task bar reads it: the installed 32 x 32 picture.
            out = subprocess.run(["xprop", "-display", s.x.display, "-id", str(window), "-notype", "32c",
                                  "_NET_WM_ICON"], check=True, stdout=subprocess.PIPE, text=True).stdout
            values = [int(v) for v in out.split("=", 1)[1].replace(",", " ").split()]
            icons = {}
            while len(values) >= 2:
                width, height = values[0], values[1]
                icons[(width, height)] = values[2:2 + width * height]
                values = values[2 + width * height:]
            self.assertIn((32, 32), icons)
            shown = b"".join(bytes(((v >> 16) & 255, (v >> 8) & 255, v & 255, v >> 24)) for v in icons[(32, 32)])
            self.assertTrue(same_pixels(shown, rgba(self.installed("/usr/share/icons/hicolor/32x32/apps/mirunea.png"))))

            s.close_main_window()
            self.assertEqual(s.program.wait_exit(), 0)


if __name__ == "__main__":
    harness.main()
