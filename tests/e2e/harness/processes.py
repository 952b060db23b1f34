"""Processes the tests start, waits that end, and the one kind of failure the harness reports."""

import ctypes
import ctypes.util
import os
import select
import signal
import subprocess
import time

POLL_SECONDS = 0.05
# Under ctest -j2 on two cores a cold Qt start can take a few seconds.
DEFAULT_TIMEOUT = 15.0


class HarnessError(AssertionError):
    """A wait ran out or the program did something a test did not expect."""


class Started:
    """A context manager for what start() sets up and stop() ends: stopped at the end of the block,
    and at once when start() fails half-way."""

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False


def wait_until(condition, what, timeout=DEFAULT_TIMEOUT, still_worth_waiting=None, details=None,
               poll=POLL_SECONDS):
    """Polls condition() until it returns something true, and returns that.

    still_worth_waiting(what) may raise a HarnessError to end the wait early (the program ended);
    details() adds to the message when time runs out (what the program printed)."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if still_worth_waiting is not None:
            still_worth_waiting(what)
        if time.monotonic() > deadline:
            raise HarnessError("timed out after %.1f s waiting for %s%s"
                               % (timeout, what, "\n" + details() if details else ""))
        time.sleep(poll)


def _die_with_parent():
    """Runs in each child before exec: a test killed outright takes its X server and program with it."""
    libc = ctypes.CDLL(ctypes.util.find_library("c") or "libc.so.6", use_errno=True)
    pr_set_pdeathsig = 1
    libc.prctl(pr_set_pdeathsig, signal.SIGKILL, 0, 0, 0)


def start(command, env, cwd=None, output=subprocess.DEVNULL, pass_fds=()):
    """Starts a command in a session of its own (so that kill_group() ends all it starts), tied to
    the life of this process."""
    return subprocess.Popen(list(command), cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=output,
                            stderr=output, pass_fds=pass_fds, start_new_session=True, preexec_fn=_die_with_parent)


def start_reporting_ready(command, ready_option, env, timeout=DEFAULT_TIMEOUT):
    """Starts a server that writes one line to a file descriptor once it serves; returns (process, line).

    ready_option names that descriptor: "-displayfd" (the number follows as an argument) or
    "--print-address=" (the number joined to it)."""
    read_end, write_end = os.pipe()
    option = [ready_option + str(write_end)] if ready_option.endswith("=") else [ready_option, str(write_end)]
    try:
        process = start(command[:1] + option + list(command[1:]), env, pass_fds=(write_end,))
    finally:
        os.close(write_end)
    line = b""
    deadline = time.monotonic() + timeout
    with os.fdopen(read_end, "rb", buffering=0) as pipe:
        while not line.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([pipe], [], [], remaining)[0]:
                kill_group(process)
                raise HarnessError("%s did not report that it is ready" % command[0])
            chunk = pipe.read(1)
            if not chunk:
                kill_group(process)
                raise HarnessError("%s ended before it reported that it is ready" % command[0])
            line += chunk
    return process, line.decode().strip()


def kill_group(process, sig=signal.SIGKILL):
    """Ends a process started by start() with whatever it started; a polite signal is followed by
    SIGKILL when it does not end within 5 s."""
    if process is None or process.poll() is not None:
        return
    try:
        os.killpg(process.pid, sig)
        process.wait(5)
    except ProcessLookupError:
        pass
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
