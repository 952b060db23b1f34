#!/usr/bin/env python3
"""A folder that fails on demand, as a network share does, for the writer's tests on both builds.

    failing_share.py run [--path-prefix Z:] -- COMMAND...

mounts a FUSE file system that passes everything through to a fresh folder, runs COMMAND with
MIRUNEA_FAILING_SHARE naming the mount (after the prefix, for Wine's drive Z:), unmounts, and
exits with COMMAND's status. Whoever runs in it chooses the next fault by writing one line into
"faults" at the mount's top. (End-to-end tests use MountedShare instead, which puts a folder's
files behind such a mount in the folder's own place, its faults file outside.) The faults:

    write <errno> <n>    the n-th write into a file being sent ("*.sending") since it was opened
    close <errno>        the flush and the sync of a file being sent (where close reports a lost write)
    rename <errno>       a rename onto an answer file ("*.ans")

<errno> is a name such as EIO or ENOSPC; an empty file fails nothing. Needs root or fusermount,
/dev/fuse, and python3-fusepy.
"""

import errno
import os
import subprocess
import sys
import tempfile
import time

SENDING = ".sending"


def serve(backing, mountpoint, control):
    from fusepy import FUSE, FuseOSError, Operations

    class FailingShare(Operations):
        def __init__(self):
            self.writes = {}

        def _path(self, path):
            return os.path.join(backing, path.lstrip("/"))

        def _fault(self, operation):
            """(errno, n) of the fault chosen for this operation, or None."""
            try:
                with open(control, "rb") as f:
                    words = f.read(256).decode("ascii", "replace").split()
            except FileNotFoundError:
                return None
            if len(words) < 2 or words[0] != operation:
                return None
            return getattr(errno, words[1]), int(words[2]) if len(words) > 2 else 0

        def _fail_if(self, operation, count=None):
            fault = self._fault(operation)
            if fault and (count is None or fault[1] == count):
                raise FuseOSError(fault[0])

        # -- metadata --
        def getattr(self, path, fh=None):
            st = os.lstat(self._path(path))
            return {key: getattr(st, key) for key in ("st_atime", "st_ctime", "st_gid", "st_mode", "st_mtime",
                                                      "st_nlink", "st_size", "st_uid")}

        def readdir(self, path, fh):
            return [".", ".."] + os.listdir(self._path(path))

        def readlink(self, path):
            return os.readlink(self._path(path))

        def access(self, path, mode):
            if not os.access(self._path(path), mode):
                raise FuseOSError(errno.EACCES)

        def chmod(self, path, mode):
            os.chmod(self._path(path), mode)

        def chown(self, path, uid, gid):
            os.chown(self._path(path), uid, gid)

        def utimens(self, path, times=None):
            os.utime(self._path(path), times)

        def statfs(self, path):
            st = os.statvfs(self._path(path))
            return {key: getattr(st, key) for key in ("f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail",
                                                      "f_ffree", "f_files", "f_flag", "f_frsize", "f_namemax")}

        # -- names --
        def mkdir(self, path, mode):
            os.mkdir(self._path(path), mode)

        def rmdir(self, path):
            os.rmdir(self._path(path))

        def unlink(self, path):
            os.unlink(self._path(path))

        def symlink(self, target, source):
            os.symlink(source, self._path(target))

        def link(self, target, source):
            os.link(self._path(source), self._path(target))

        def rename(self, old, new):
            if new.endswith(".ans"):
                self._fail_if("rename")
            os.rename(self._path(old), self._path(new))

        # -- contents --
        def open(self, path, flags):
            fh = os.open(self._path(path), flags)
            self.writes[fh] = 0
            return fh

        def create(self, path, mode, fi=None):
            fh = os.open(self._path(path), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, mode)
            self.writes[fh] = 0
            return fh

        def read(self, path, size, offset, fh):
            return os.pread(fh, size, offset)

        def write(self, path, data, offset, fh):
            if path.endswith(SENDING):
                self.writes[fh] = self.writes.get(fh, 0) + 1
                self._fail_if("write", self.writes[fh])
            return os.pwrite(fh, data, offset)

        def truncate(self, path, length, fh=None):
            if fh is None:
                os.truncate(self._path(path), length)
            else:
                os.ftruncate(fh, length)

        def flush(self, path, fh):
            if path.endswith(SENDING):
                self._fail_if("close")

        def fsync(self, path, datasync, fh):
            if path.endswith(SENDING):
                self._fail_if("close")
            os.fsync(fh)

        def release(self, path, fh):
            self.writes.pop(fh, None)
            os.close(fh)

    FUSE(FailingShare(), mountpoint, foreground=True, nothreads=True, default_permissions=True)


def mount(backing, mountpoint, control):
    """The file system's process, once the mount is in place."""
    server = subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve", backing, mountpoint, control])
    deadline = time.monotonic() + 20
    while not os.path.ismount(mountpoint):
        if server.poll() is not None or time.monotonic() > deadline:
            server.kill()
            server.wait()
            raise RuntimeError("failing_share: the file system could not be mounted on " + mountpoint)
        time.sleep(0.05)
    return server


def unmount(server, mountpoint):
    if os.path.ismount(mountpoint):
        subprocess.run(["fusermount", "-u", "-z", mountpoint], check=False)
    try:
        server.wait(10)
    except subprocess.TimeoutExpired:
        server.kill()
        server.wait()


class MountedShare:
    """A folder's files moved behind a failing share mounted in the folder's own place, so that a
    program already told to work there meets the faults. fail() chooses the next one; release()
    unmounts and puts the files back."""

    def __init__(self, folder):
        self.folder = folder
        self.top = tempfile.mkdtemp(prefix="mirunea-failing-share-")
        self.backing = os.path.join(self.top, "backing")
        self.control = os.path.join(self.top, "faults")
        os.mkdir(self.backing)
        for name in os.listdir(folder):
            os.rename(os.path.join(folder, name), os.path.join(self.backing, name))
        self.server = mount(self.backing, folder, self.control)

    def fail(self, fault):
        with open(self.control, "w") as f:
            f.write(fault)

    def release(self):
        if self.server is None:
            return
        unmount(self.server, self.folder)
        self.server = None
        for name in os.listdir(self.backing):
            os.rename(os.path.join(self.backing, name), os.path.join(self.folder, name))
        subprocess.run(["rm", "-rf", "--one-file-system", self.top], check=False)


def run(path_prefix, command):
    top = tempfile.mkdtemp(prefix="mirunea-failing-share-")
    backing = os.path.join(top, "backing")
    mountpoint = os.path.join(top, "share")
    os.mkdir(backing)
    os.mkdir(mountpoint)
    os.chmod(top, 0o755)
    try:
        server = mount(backing, mountpoint, os.path.join(backing, "faults"))
    except RuntimeError as error:
        print(error, flush=True)
        return 1
    try:
        env = dict(os.environ, MIRUNEA_FAILING_SHARE=path_prefix + mountpoint)
        return subprocess.run(command, env=env).returncode
    finally:
        unmount(server, mountpoint)
        subprocess.run(["rm", "-rf", "--one-file-system", top], check=False)


def main():
    arguments = sys.argv[1:]
    if len(arguments) == 4 and arguments[0] == "serve":
        serve(arguments[1], arguments[2], arguments[3])
        return 0
    prefix = ""
    if arguments[:1] == ["run"] and "--" in arguments:
        options, command = arguments[1:arguments.index("--")], arguments[arguments.index("--") + 1:]
        if options[:1] == ["--path-prefix"] and len(options) == 2:
            prefix, options = options[1], []
        if not options and command:
            return run(prefix, command)
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
