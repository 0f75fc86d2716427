"""A folder that answers as a network share that does not answer: mounted with FUSE, it shows the
files of another folder, but each look-up of a name in it waits until a release file exists or
`hold` seconds have passed; nothing is cached, so every access looks up again.

Runs under Debian's Python, which has python3-fusepy:
    /usr/bin/python3 slow_share.py SOURCE MOUNTPOINT LOG RELEASE HOLD

LOG gets "held NAME" as each look-up begins and "answered NAME" as it ends. Ending the process
(SIGKILL) fails what is still held and leaves the mount to be unmounted (fusermount3 -uz).
"""

import os
import sys
import time

import fusepy

STAT_FIELDS = ("st_atime", "st_ctime", "st_gid", "st_mode", "st_mtime", "st_nlink", "st_size",
               "st_uid")


class SlowShare(fusepy.Operations):
    def __init__(self, source, log, release, hold):
        self.source, self.log, self.answer_on, self.hold = source, log, release, hold

    def note(self, what, path):
        with open(self.log, "a", encoding="utf-8") as log:
            log.write(f"{what} {path}\n")

    def real(self, path):
        return os.path.join(self.source, path.lstrip("/"))

    def getattr(self, path, fh=None):
        if path != "/":
            self.note("held", path)
            deadline = time.monotonic() + self.hold
            while not os.path.exists(self.answer_on) and time.monotonic() < deadline:
                time.sleep(0.05)
            self.note("answered", path)
        status = os.lstat(self.real(path))
        return {field: getattr(status, field) for field in STAT_FIELDS}

    def readdir(self, path, fh):
        return [".", "..", *os.listdir(self.real(path))]

    def open(self, path, flags):
        return os.open(self.real(path), os.O_RDONLY)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def release(self, path, fh):
        os.close(fh)


def main():
    source, mountpoint, log, release, hold = sys.argv[1:6]
    fusepy.FUSE(SlowShare(source, log, release, float(hold)), mountpoint, foreground=True,
                ro=True, attr_timeout=0, entry_timeout=0, negative_timeout=0)


if __name__ == "__main__":
    main()
