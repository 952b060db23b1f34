#!/usr/bin/env python3
"""The Windows ZIP as a school gets it: made by CPack from this build tree, its contents checked
(the exe as built, carrying the icon drawn from the one picture; the README; the sample
questionnaire), unpacked, and its exe run under Wine and Xvfb in the unpacked folder, where it must
show the sample's questions. Needs what e2e_send.py needs; WINEPREFIX etc. set."""

import os
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
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


def main():
    args = options("--cpack-config", "--source", "--exe", "--layout-dump", "--ico")

    subprocess.run(["cpack", "-G", "ZIP", "--config", args.cpack_config, "-B", args.work], check=True,
                   stdout=subprocess.DEVNULL)
    zips = [n for n in os.listdir(args.work) if n.endswith(".zip")]
    check(len(zips) == 1, "one ZIP made: %s" % zips)
    folder = zips[0][:-len(".zip")]
    with zipfile.ZipFile(os.path.join(args.work, zips[0])) as archive:
        names = sorted(n for n in archive.namelist() if not n.endswith("/"))
        check(names == sorted(folder + "/" + n for n in ("mirunea.exe", "README.txt", "data.txt")),
              "the ZIP holds one folder with mirunea.exe, README.txt and data.txt: %s" % names)
        archive.extractall(os.path.join(args.work, "unpacked"))
    unpacked = os.path.join(args.work, "unpacked", folder)

    exe = read(os.path.join(unpacked, "mirunea.exe"))
    check(exe == read(args.exe), "the exe is the one built")
    check(read(os.path.join(unpacked, "README.txt")) == read(os.path.join(args.source, "README.md")),
          "README.txt is the README")
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
