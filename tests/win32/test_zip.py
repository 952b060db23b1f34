#!/usr/bin/env python3
"""The Windows ZIP as a school gets it: made by CPack from this build tree, its contents checked
(both exes as built, the sheet carrying the icon drawn from the one picture; the guide as README.txt
for Notepad; the sample questionnaire), unpacked, and its programs run under Wine from there: the
sheet under Xvfb in the unpacked folder, where it must show the sample's questions; the teacher's
tool on a class folder of answer files, from a command prompt (the summary, no browser, no wait)
and by a drop of the folder on its icon (a console of its own: the report opened through the
association, the summary in Japanese on that console, a key awaited). Needs what e2e_send.py
needs; WINEPREFIX etc. set."""

import os
import subprocess
import sys
import urllib.parse
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "package"))
import harness  # noqa: E402
from sample_class import CLASS, COUNTED, fill_class_folder, recorded, recording_xdg_open  # noqa: E402
from e2e_send import (SILVER, WINE, Screen, check, main_window, options, start_program, wait_for,  # noqa: E402
                      wait_painted)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def pixels(path):
    """RGBA bytes of a picture as ImageMagick decodes it, fully transparent pixels made alike."""
    data = bytearray(subprocess.run(["/usr/bin/convert", path, "-depth", "8", "rgba:-"], check=True,
                                    stdout=subprocess.PIPE).stdout)
    for i in range(0, len(data), 4):
        if data[i + 3] == 0:
            data[i:i + 3] = b"\0\0\0"
    return bytes(data)


def check_guide(readme, source):
    """README.txt is the guide for Notepad: UTF-8 with a byte-order mark, CR LF line ends."""
    check(readme.startswith(b"\xef\xbb\xbf"), "README.txt begins with UTF-8's byte-order mark")
    check(b"\n" in readme and readme.count(b"\n") == readme.count(b"\r\n") == readme.count(b"\r"),
          "README.txt has CR LF line ends and no lone CR or LF")
    text = readme.decode("utf-8-sig")  # raises on bytes that are not UTF-8
    with open(source, encoding="utf-8") as f:
        check(text == f.read().replace("\n", "\r\n"), "README.txt is the guide")
    for program in ("mirunea.exe", "mirunea-tally.exe"):
        check(program in text, "the guide names %s" % program)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def check_tally(unpacked, args, x):
    """The teacher's tool from the unpacked folder on a class folder (a Japanese name): first from
    a command prompt in the folder, then by a drop of the folder on the exe's icon. Wine gives a
    console of its own input only with a display: the X server's."""
    classroom = os.path.join(args.work, "2年1組")
    with open(os.path.join(unpacked, "data.txt"), "rb") as f:
        files = fill_class_folder(classroom, f.read())
    # The browser Wine's association ends in: an xdg-open first on PATH that records its argument.
    fake = os.path.join(args.work, "fake-bin")
    opened = os.path.join(args.work, "opened.txt")
    recording_xdg_open(fake, opened)
    env = dict(x.env, PATH=fake + os.pathsep + x.env["PATH"])

    tally = os.path.join(unpacked, "mirunea-tally.exe")
    prompt = subprocess.run([WINE, tally], cwd=classroom, env=env, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    summary = prompt.stdout.decode("cp932")
    check(prompt.returncode == 0, "the tool's exit code from a prompt: %d %r" % (prompt.returncode, prompt.stderr))
    check(COUNTED in summary, "the summary counts the answer files: %r" % summary)
    check("何かキー" not in summary, "no wait from a prompt")
    check(sorted(os.listdir(classroom)) == sorted(files + ["tally.html", "tally.csv"]),
          "the tool added tally.html and tally.csv: %s" % os.listdir(classroom))
    with open(os.path.join(classroom, "tally.csv"), encoding="utf-8-sig") as f:
        rows = f.read().splitlines()
    check(len(rows) == 1 + len(CLASS) and all(any(c in r for r in rows) for c, _, _, _ in CLASS),
          "tally.csv: a row per answer file")
    os.remove(os.path.join(classroom, "tally.html"))

    # The drop: the tool has a console of its own and Explorer's working directory, the exe's folder
    # (where the sample data.txt lies, so a tool that ignored the folder would tally the sample).
    dropped = subprocess.run([WINE, args.explorer_start, windows_path(opened), windows_path(tally),
                              windows_path(classroom)], env=env, stdin=subprocess.DEVNULL,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    check(dropped.returncode == 0, "the drop played through: %r" % dropped.stderr.decode(errors="replace"))
    console = dropped.stdout.decode("utf-8")
    check(COUNTED in console, "the summary in Japanese on the tool's own console: %r" % console)
    check("何かキーを押すと終了します。" in console, "the prompt for a key on the console")
    check(console.rstrip().endswith("exit 0"), "the tool ended after the key, with exit code 0: %r" % console)
    urls = recorded(opened)
    report = os.path.join(os.path.realpath(classroom), "tally.html")
    check(len(urls) == 1 and urllib.parse.unquote(urllib.parse.urlparse(urls[0]).path) == report,
          "the browser asked once, for the class's tally.html (not from the prompt): %s" % urls)
    check(os.path.isfile(report), "tally.html written again in the dropped folder")


def main():
    args = options("--cpack-config", "--source", "--exe", "--tally-exe", "--explorer-start", "--layout-dump", "--ico")

    subprocess.run(["cpack", "-G", "ZIP", "--config", args.cpack_config, "-B", args.work], check=True,
                   stdout=subprocess.DEVNULL)
    zips = [n for n in os.listdir(args.work) if n.endswith(".zip")]
    check(len(zips) == 1, "one ZIP made: %s" % zips)
    folder = zips[0][:-len(".zip")]
    with zipfile.ZipFile(os.path.join(args.work, zips[0])) as archive:
        names = sorted(n for n in archive.namelist() if not n.endswith("/"))
        check(names == sorted(folder + "/" + n for n in ("mirunea.exe", "mirunea-tally.exe", "README.txt", "data.txt")),
              "the ZIP holds one folder with mirunea.exe, mirunea-tally.exe, README.txt and data.txt: %s" % names)
        archive.extractall(os.path.join(args.work, "unpacked"))
    unpacked = os.path.join(args.work, "unpacked", folder)

    exe = read(os.path.join(unpacked, "mirunea.exe"))
    check(exe == read(args.exe), "the exe is the one built")
    check(read(os.path.join(unpacked, "mirunea-tally.exe")) == read(args.tally_exe), "the tool is the one built")
    check_guide(read(os.path.join(unpacked, "README.txt")), os.path.join(args.source, "docs", "guide.ja.txt"))
    check(read(os.path.join(unpacked, "data.txt")) == read(os.path.join(args.source, "examples", "data.txt")),
          "data.txt is the sample questionnaire")
    # An icon resource holds the .ico's image as it is, without the file's 22-byte directory.
    ico = read(args.ico)
    check(ico[:6] == b"\0\0\1\0\1\0" and ico[6:8] == b"\x20\x20" and ico[8] == 16,
          "the .ico holds one 32 x 32 image in 16 colours")
    check(pixels(args.ico) == pixels(os.path.join(args.source, "app", "icon", "mirunea.xpm")),
          "the .ico shows the picture of app/icon/mirunea.xpm")
    check(ico[22:] in exe, "the exe carries the icon")

    layout = harness.load_layout([WINE, args.layout_dump])
    with harness.XServer(inherit_environment=True) as x:
        check_tally(unpacked, args, x)
        screen = Screen(x, layout, args.work)
        unpacked_exe = os.path.join(unpacked, "mirunea.exe")
        program = start_program(screen, unpacked_exe, harness.WorkingFolder.at(unpacked), False)
        try:
            window = main_window(screen)
            # Wine may map the window before every panel is painted: wait for all seven.
            shot, (x0, y0, _, _) = wait_painted(screen, window, range(1, 8), "unpacked-sample", timeout=20)
            for q in range(1, 11):
                x, y = layout.panel_empty_spot(q)
                expected = SILVER if q <= 7 else layout.background
                check(shot.pixel(x0 + x, y0 + y) == expected, "panel %d %s" % (q, "shown" if q <= 7 else "hidden"))
            screen.close_window(window)
            wait_for("the program to end", lambda: program.process.poll() is not None, timeout=15)
            check(program.process.returncode == 0, "exit code 0")
        finally:
            program.stop()
    print("PASS", flush=True)


if __name__ == "__main__":
    main()
