#!/usr/bin/env python3
"""The Windows program as deployed: one exe of a few hundred kilobytes that imports nothing but
DLLs every Windows has (no MinGW runtime DLL to ship beside it), and carries the manifest that
makes it per-monitor DPI aware. Reads the import table and the resources with objdump -p.

    test_exe_imports.py --objdump x86_64-w64-mingw32-objdump --exe mirunea.exe
"""

import argparse
import re
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

# DLLs of Windows itself (lower case). A DLL of the tool chain (libstdc++-6.dll,
# libgcc_s_seh-1.dll, libwinpthread-1.dll) would be missing on a school PC.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll", "shell32.dll",
               "ole32.dll", "oleaut32.dll", "comctl32.dll", "uxtheme.dll", "shcore.dll", "oleacc.dll", "imm32.dll"}
SIZE_LIMIT = 512 * 1024
WINDOWS_SETTINGS_2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WINDOWS_SETTINGS_2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"

failures = []


def check(condition, message):
    print(("ok: " if condition else "FAIL: ") + message, flush=True)
    if not condition:
        failures.append(message)


def imported_dlls(dump):
    return [line.split(":", 1)[1].strip() for line in dump.splitlines() if line.strip().startswith("DLL Name:")]


def sections(headers):
    """(virtual address, size, file offset) of each section, from objdump -h."""
    found = []
    for line in headers.splitlines():
        fields = line.split()
        if len(fields) >= 7 and fields[0].isdigit():
            found.append((int(fields[3], 16), int(fields[2], 16), int(fields[5], 16)))
    return found


def manifest(dump, headers, image):
    """The bytes of resource 1 of type 24 (RT_MANIFEST), the one Windows reads for an exe, from
    the tree objdump -p prints."""
    image_base = int(re.search(r"^ImageBase\s+([0-9a-fA-F]+)", dump, re.MULTILINE).group(1), 16)
    tree = dump[dump.find("The .rsrc Resource Directory section"):]
    # Each entry of the type table is followed by its subtree, down to its leaves.
    match = re.search(r"Entry: ID: 0x0*18, .*?Name Table.*?\n\s*\S+\s+Entry: ID: 0x0*1, .*?"
                      r"Leaf: Addr: 0x([0-9a-f]+), Size: 0x([0-9a-f]+)", tree, re.DOTALL)
    if not match:
        return None
    address, size = image_base + int(match.group(1), 16), int(match.group(2), 16)
    for virtual, length, offset in sections(headers):
        if virtual <= address < virtual + length:
            return image[offset + address - virtual:offset + address - virtual + size]
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--exe", required=True)
    args = parser.parse_args()
    dump = subprocess.run([args.objdump, "-p", args.exe], check=True, capture_output=True, text=True).stdout
    headers = subprocess.run([args.objdump, "-h", args.exe], check=True, capture_output=True, text=True).stdout
    with open(args.exe, "rb") as f:
        image = f.read()

    dlls = imported_dlls(dump)
    check(bool(dlls), "the import table names DLLs: %s" % ", ".join(dlls))
    others = [dll for dll in dlls if dll.lower() not in SYSTEM_DLLS]
    check(not others, "only DLLs of Windows itself are imported%s" % (": not " + ", ".join(others) if others else ""))
    check(len(image) <= SIZE_LIMIT, "the exe is %d bytes, at most %d" % (len(image), SIZE_LIMIT))

    data = manifest(dump, headers, image)
    check(data is not None, "a manifest resource (type 24, ID 1)")
    if data is not None:
        try:
            root = ElementTree.fromstring(data)
        except ElementTree.ParseError as error:
            root = None
            check(False, "the manifest is well-formed XML: %s" % error)
        if root is not None:
            awareness = root.find(".//" + WINDOWS_SETTINGS_2016 + "dpiAwareness")
            aware = root.find(".//" + WINDOWS_SETTINGS_2005 + "dpiAware")
            check(awareness is not None and awareness.text.replace(" ", "").split(",")[:2]
                  == ["PerMonitorV2", "PerMonitor"], "dpiAwareness: per-monitor v2, then per-monitor")
            check(aware is not None and aware.text.strip().lower() == "true/pm",
                  "dpiAware for Windows before 10 (1607): true/pm")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
