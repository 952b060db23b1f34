"""The teacher's report as a browser shows it: Debian's chromium run headless with a fresh profile
and nothing from the network, and the DOM it dumps parsed into a small tree to read counts and
texts back from. Shared by the tests of the report's writers and of the whole tool.
"""

import html.parser
import os
import shutil
import subprocess
import sys
import tempfile
import threading

TIMEOUT = 90


# ---- the rendered DOM ---------------------------------------------------------------------------


# Checks that note a failure and go on, so that one run reports every difference; the script
# fails at its end when the list is not empty.
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL:", message)


def expect_equal(actual, expected, what):
    check(actual == expected, f"{what}: {actual!r} != {expected!r}")


class Element:
    def __init__(self, tag, attributes, parent):
        self.tag = tag
        self.attributes = dict(attributes)
        self.parent = parent
        self.children = []
        self.parts = []  # text and child elements, in order

    def classes(self):
        return self.attributes.get("class", "").split()

    def text(self):
        return "".join(part if isinstance(part, str) else part.text() for part in self.parts)

    def walk(self):
        yield self
        for child in self.children:
            yield from child.walk()

    def find_all(self, tag=None, cls=None, **attributes):
        found = []
        for element in self.walk():
            if element is self:
                continue
            if tag is not None and element.tag != tag:
                continue
            if cls is not None and cls not in element.classes():
                continue
            if any(element.attributes.get(key.replace("_", "-")) != value for key, value in attributes.items()):
                continue
            found.append(element)
        return found

    def find(self, tag=None, cls=None, **attributes):
        found = self.find_all(tag, cls, **attributes)
        if len(found) != 1:
            raise AssertionError(f"expected one <{tag} class={cls} {attributes}>, found {len(found)}")
        return found[0]


class DomBuilder(html.parser.HTMLParser):
    VOID = {"meta", "link", "br", "img", "input", "hr", "rect", "source", "area", "base", "col", "embed", "wbr"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.root = Element("#document", {}, None)
        self.current = self.root

    def handle_starttag(self, tag, attrs):
        element = Element(tag, attrs, self.current)
        self.current.children.append(element)
        self.current.parts.append(element)
        if tag not in self.VOID:
            self.current = element

    def handle_startendtag(self, tag, attrs):
        element = Element(tag, attrs, self.current)
        self.current.children.append(element)
        self.current.parts.append(element)

    def handle_endtag(self, tag):
        element = self.current
        while element is not self.root and element.tag != tag:
            element = element.parent
        if element is not self.root:
            self.current = element.parent

    def handle_data(self, data):
        self.current.parts.append(data)


def parse_dom(markup):
    builder = DomBuilder()
    builder.feed(markup)
    builder.close()
    return builder.root


# ---- the programs -------------------------------------------------------------------------------


def run(command, env, what):
    result = subprocess.run(command, env=env, capture_output=True, timeout=TIMEOUT)
    if result.returncode != 0:
        sys.stderr.write(result.stderr.decode("utf-8", "replace"))
        raise SystemExit(f"{what} failed with {result.returncode}")
    return result.stdout


class Chromium:
    """Debian's chromium, headless, each run with a fresh profile and nothing from the network."""

    def __init__(self, work):
        self.work = work
        self.runs = 0
        self.lock = threading.Lock()
        self.env = dict(os.environ, HOME=os.path.join(work, "home"))
        os.makedirs(self.env["HOME"], exist_ok=True)

    def __call__(self, url, *options):
        with self.lock:
            self.runs += 1
        profile = tempfile.mkdtemp(prefix="chromium-profile-", dir=self.work)
        command = [
            "chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--hide-scrollbars", f"--user-data-dir={profile}", *options, url,
        ]
        try:
            return run(command, self.env, "chromium " + " ".join(options))
        finally:
            shutil.rmtree(profile, ignore_errors=True)
