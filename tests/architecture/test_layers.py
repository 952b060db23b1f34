"""The layers of ARCHITECTURE.md, checked on the sources and on the build's link graph.

Each folder may include only the folders below it in LAYERS (and itself); toolkit and operating
system headers only in the backend and platform folders that realise them. The libraries' direct
links, written by CMake at generate time (--links), must follow the same order, so the graph has
no cycle and no window code under the plain layers.

    python3 test_layers.py --root <repository> --links <file of "target: dep;dep">
"""

import argparse
import pathlib
import re
import sys
import tempfile
import unittest

# Folder -> the folders it may include, bottom up. A folder's subfolders (backends, platforms)
# belong to it unless they are listed themselves.
LAYERS = {
    "app/text": [],
    "app/failure": ["app/text"],
    "app/platform": ["app/text", "app/failure"],
    "questionnaire": ["app/text", "app/failure", "app/platform"],
    "answers": ["app/text", "app/failure", "app/platform", "questionnaire"],
    "tally": ["app/text", "app/failure", "app/platform", "questionnaire", "answers"],
    "app/toolkit": ["app/text", "app/failure"],
    "app/toolkit/qt": ["app/text", "app/failure", "app/toolkit", "app/icon"],
    "app/toolkit/win32": ["app/text", "app/failure", "app/toolkit"],
    "sheet": ["app/text", "app/failure", "app/platform", "questionnaire", "answers", "app/toolkit"],
}

# Library -> the folder it is built from.
LIBRARIES = {
    "mirunea_text": "app/text",
    "mirunea_failure": "app/failure",
    "mirunea_platform": "app/platform",
    "mirunea_questionnaire": "questionnaire",
    "mirunea_answers": "answers",
    "mirunea_toolkit": "app/toolkit",
    "mirunea_toolkit_backend": "app/toolkit/<backend>",
    "mirunea_sheet": "sheet",
    "mirunea_check": "tally",
    "mirunea_count": "tally",
    "mirunea_report": "tally",
    "mirunea_tally_run": "tally",
}

# System headers that belong to one kind of folder only.
TOOLKIT_HEADER = re.compile(r"^(Q[A-Za-z]+|xcb/.*)$")
WINDOWS_HEADER = re.compile(r"^(windows|oleacc|shellapi|shlobj|commctrl|winuser|winbase|imm)\.h$", re.I)
POSIX_HEADER = re.compile(r"^(unistd|fcntl|iconv|langinfo|dirent|sys/.*)\.h$")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def owning_layer(path):
    """The most specific layer folder a source path lies in, or None."""
    best = None
    for folder in LAYERS:
        if path == folder or path.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def header_kind_allowed(path, header):
    parts = path.split("/")
    if TOOLKIT_HEADER.match(header):
        return path.startswith("app/toolkit/qt/")
    if WINDOWS_HEADER.match(header):
        return "win32" in parts
    if POSIX_HEADER.match(header):
        return "posix" in parts
    return True


def violations(root):
    found = []
    for source in sorted(root.rglob("*")):
        if source.suffix not in (".h", ".cpp") or "build" in source.relative_to(root).parts[0]:
            continue
        path = source.relative_to(root).as_posix()
        layer = owning_layer(path)
        if layer is None:
            continue
        allowed = LAYERS[layer] + [layer]
        for kind, header in INCLUDE.findall(source.read_text(encoding="utf-8", errors="replace")):
            if kind == '"':
                target = owning_layer(header) or header.rpartition("/")[0]
                # A backend may include its own folder's files; a layer its own subfolders.
                if not any(target == a or target.startswith(a + "/") for a in allowed):
                    found.append(f"{path} includes {header} ({target} is not below {layer})")
            elif not header_kind_allowed(path, header):
                found.append(f"{path} includes <{header}>, which belongs to another kind of folder")
    return found


def link_violations(links_file):
    found = []
    for line in pathlib.Path(links_file).read_text().splitlines():
        target, _, deps = line.partition(":")
        target = target.strip()
        if target not in LIBRARIES:
            continue
        folder = LIBRARIES[target]
        layer = "app/toolkit/qt" if folder.endswith("<backend>") else folder
        allowed = set(LAYERS[layer]) | {layer}
        for dep in filter(None, (d.strip() for d in deps.split(";"))):
            if dep in LIBRARIES:
                dep_folder = LIBRARIES[dep]
                dep_layer = "app/toolkit/qt" if dep_folder.endswith("<backend>") else dep_folder
                if dep_layer not in allowed:
                    found.append(f"{target} links {dep}: {dep_layer} is not below {layer}")
            elif dep.startswith("Qt6::") and layer not in ("app/toolkit/qt",):
                found.append(f"{target} links {dep}: window code under a plain layer")
    return found


class Layers(unittest.TestCase):
    root = None
    links = None

    def test_sources_include_only_the_layers_below_them(self):
        self.assertEqual(violations(self.root), [])

    def test_libraries_link_only_the_layers_below_them(self):
        self.assertEqual(link_violations(self.links), [])

    def test_the_checks_catch_window_code_under_a_plain_layer(self):
        with tempfile.TemporaryDirectory() as folder:
            tree = pathlib.Path(folder)
            (tree / "questionnaire").mkdir()
            (tree / "questionnaire" / "x.cpp").write_text(
                '#include "app/toolkit/toolkit.h"\n#include <QWidget>\n#include "app/text/cp932.h"\n')
            (tree / "app/platform/win32").mkdir(parents=True)
            (tree / "app/platform/win32/y.cpp").write_text("#include <windows.h>\n")
            self.assertEqual(len(violations(tree)), 2)
            links = tree / "links.txt"
            links.write_text("mirunea_answers: mirunea_questionnaire;Qt6::Widgets\n"
                             "mirunea_text: mirunea_platform\nmirunea_sheet: mirunea_toolkit\n")
            self.assertEqual(len(link_violations(links)), 2)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--links", required=True)
    args, rest = parser.parse_known_args()
    Layers.root = pathlib.Path(args.root).resolve()
    Layers.links = args.links
    unittest.main(argv=[sys.argv[0]] + rest)


if __name__ == "__main__":
    main()
