"""The program under test: its working folder with "data.txt" and the answer files, and its runs
there under a chosen computer name."""

import os
import shutil
import subprocess
import tempfile

from . import processes
from .processes import HarnessError

# The caption of the error box and of the confirmation.
DIALOG_CAPTION = "ミルネア"


def program_from_environment():
    """The program under test, named by ctest in MIRUNEA_PROGRAM."""
    program = os.environ.get("MIRUNEA_PROGRAM", "")
    if not program or not os.access(program, os.X_OK):
        raise HarnessError(
            "MIRUNEA_PROGRAM must name the built program (got %r); run the tests through ctest" % program)
    return program


def sjis(text):
    """The Shift-JIS (code page 932) bytes of a text."""
    return text.encode("cp932")


def sjis_lines(lines, final_break=True):
    """Shift-JIS bytes of the lines joined by CR LF, as a Windows editor saves them."""
    data = b"\r\n".join(sjis(line) for line in lines)
    return data + b"\r\n" if final_break else data


def describe_bytes(data):
    """Lines of Shift-JIS bytes made readable for a failure message (line breaks shown as \\r\\n)."""
    return data.decode("cp932", "backslashreplace").replace("\r", "\\r").replace("\n", "\\n\n")


class WorkingFolder:
    """A fresh, empty working folder, `path`, inside a private folder, `outside`, for what the
    program must not find in its own (a link's target, a staged copy, another user's home);
    made in the temporary directory or inside a folder given."""

    def __init__(self, inside=None):
        self.outside = tempfile.mkdtemp(prefix="mirunea-e2e-", dir=inside)
        self.path = os.path.join(self.outside, "share")
        os.mkdir(self.path)

    @classmethod
    def at(cls, path):
        """An existing folder as the working folder, left as it is by remove()."""
        folder = cls.__new__(cls)
        folder.outside, folder.path = None, path
        return folder

    def remove(self):
        if self.outside is not None:
            shutil.rmtree(self.outside, ignore_errors=True)
            self.outside = None

    def file(self, name):
        return os.path.join(self.path, name)

    def write_file(self, name, data):
        with open(self.file(name), "wb") as f:
            f.write(data)

    def write_data(self, data):
        """Writes the questionnaire "data.txt": bytes as they are, a list of texts as Shift-JIS CR LF lines."""
        self.write_file("data.txt", data if isinstance(data, bytes) else sjis_lines(data))

    def read(self, name):
        with open(self.file(name), "rb") as f:
            return f.read()

    def files(self):
        return sorted(os.listdir(self.path))


class Program:
    """Runs of one program in a working folder, on the X server whose environment env is.

    hostname: the computer name of the main run (None: this machine's); launcher: what runs the
    program (["/usr/bin/wine"] for an exe)."""

    def __init__(self, path, folder, env, hostname=None, launcher=()):
        self.path = path
        self.folder = folder
        self.env = env
        self.hostname = hostname
        self.launcher = list(launcher)
        self.process = None
        self._output = None
        self._extra = []

    def start(self, prefix=(), env=None):
        """Starts the main run without waiting for any window; its output is kept for failure messages.

        prefix: a command that runs the program after it (setpriv, unshare -m ...), as root after the
        computer name is set; env: variables to change in the program's environment."""
        if self.process is not None:
            raise HarnessError("the program was already started")
        self._output = tempfile.TemporaryFile()
        self.process = self._start(self.hostname, prefix, env, self._output)
        return self.process

    def spawn(self, hostname=None, prefix=(), env=None):
        """Starts one more run in the same folder and returns its process; stop() kills it. Its
        output is discarded."""
        process = self._start(hostname, prefix, env, subprocess.DEVNULL)
        self._extra.append(process)
        return process

    def _start(self, hostname, prefix, env, output):
        command = list(prefix) + self.launcher + [self.path]
        if hostname is not None:
            # A private UTS namespace lets the test choose the computer name; as a normal user
            # this needs an unprivileged user namespace (-r), as root it does not.
            unshare = ["unshare", "-u"] if os.geteuid() == 0 else ["unshare", "-r", "-u"]
            command = unshare + ["--", "sh", "-c", 'hostname "$0" && exec "$@"', hostname] + command
        environment = dict(self.env)
        environment.update(env or {})
        return processes.start(command, environment, cwd=self.folder.path, output=output)

    def output(self):
        """What the main run printed so far (stdout and stderr), for failure messages."""
        if self._output is None:
            return ""
        self._output.seek(0)
        return self._output.read().decode("utf-8", "replace")

    def check_running(self, what):
        """Fails if the main run has ended, naming what was awaited."""
        if self.process is not None and self.process.poll() is not None:
            raise HarnessError("the program ended (code %s) while waiting for %s\n%s"
                               % (self.process.returncode, what, self.output()))

    def wait_exit(self, timeout=processes.DEFAULT_TIMEOUT):
        """Waits for the main run to end and returns its exit code."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise HarnessError("the program did not end within %.1f s\n%s" % (timeout, self.output()))

    def answer_file(self):
        """The bytes of the answer file named after the main run's computer name."""
        return self.folder.read((self.hostname or "") + ".ans")

    def stop(self):
        """Kills every run outright."""
        extra, self._extra = self._extra, []
        for process in extra + [self.process]:
            processes.kill_group(process)
        if self._output is not None:
            self._output.close()
            self._output = None
