"""Window properties as xprop reads them."""

import re
import subprocess


def _xprop(env, window, *arguments):
    target = ["-root"] if window is None else ["-id", str(window)]
    return subprocess.run(["xprop"] + target + list(arguments), env=env, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL).stdout.decode("utf-8", "replace")


def property32(env, window, name):
    """The 32-bit values of a window's property (window None: the root window's), [] when it has none."""
    out = _xprop(env, window, "-notype", "32c", name)
    # "NAME = 1, 2, 3" for numbers, "NAME: window id # 123" for a window
    values = re.split(r"[=:]", out, maxsplit=1)
    return [int(v, 0) for v in re.findall(r"0x[0-9a-fA-F]+|\d+", values[1])] if len(values) == 2 else []


def text_property(env, window, name):
    """A window's UTF-8 text property (_NET_WM_NAME ...), None when it has none."""
    match = re.search(r'= "(.*)"\s*$', _xprop(env, window, "-notype", name))
    return match.group(1) if match else None
