#!/usr/bin/env python3
"""How the launcher's window answers right after Enter, under Wine: with a target whose look-up
takes 10 s (a share that does not answer), beside a target that opens at once (the baseline,
measured in the same run).

Run by hand after `cmake --preset mingw && cmake --build --preset mingw`; it builds nothing, and
needs /dev/fuse and Debian's python3-fusepy (scripts/setup.sh installs it):

    python3 bench/launch_answer.py [--runs 5] [--watch 12] [--launcher EXE]

Both targets are tests/e2e's recorder.exe, a windowless program that only records its start:
the slow one on a FUSE share (tests/e2e/slow_share.py) whose every look-up of a name takes
10 s, the other in a plain folder. Each run starts the launcher, types the request's keyword,
and then sends Enter and one character at once. list_watch.exe, a Wine process of its own, asks
the request box for its text over and over (WM_GETTEXT, each ask waiting as long as the window
takes), from just before Enter until the character shows and --watch seconds have passed.

Measured, medians over the runs, for each target:
- typed character taken: from Enter to the box holding the character typed after it;
- longest answer: the longest any one of those asks waited for the window's answer;
- opened: from Enter to the target's start, when it came within the watch (the slow target's
  many look-ups are let go once the figures are taken, so that a run does not wait for them).
Printed: the medians, and slow / fast for each figure.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import startup  # noqa: E402  (sets the bench's Wine prefix before the harness is loaded)
from startup import Session, harness  # noqa: E402

SYSTEM_PYTHON = "/usr/bin/python3"
SLOW_SHARE = harness.REPO / "tests" / "e2e" / "slow_share.py"
LOOK_UP_S = 10
TIMEOUT = 180


class Share:
    """The slow share, showing `source`; release() answers what it holds and all later look-ups
    at once, hold() makes them slow again."""

    def __init__(self, source, folder):
        self.mount = folder / "share"
        self.mount.mkdir()
        self.answers = folder / "share-answers"
        self.process = subprocess.Popen(
            [SYSTEM_PYTHON, SLOW_SHARE, source, self.mount, folder / "share.log", self.answers,
             str(LOOK_UP_S)], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
        harness.wait_until(lambda: os.path.ismount(self.mount) or self.process.poll() is not None,
                           20, "the share to mount")
        if not os.path.ismount(self.mount):
            sys.exit("the slow share did not mount: see its error above")

    def release(self):
        self.answers.touch()

    def hold(self):
        self.answers.unlink(missing_ok=True)

    def stop(self):
        self.process.kill()
        self.process.wait()
        subprocess.run([harness.tool("fusermount3"), "-uz", self.mount], check=False)


def measure_one(session, launcher, keyword, records, watch_s):
    """Starts the launcher, runs `keyword`: (typed, longest answer, opened or None)."""
    process, window, *_ = session.start(launcher, startup.LAUNCHER_TITLE, session.data)
    box = f"text {harness.ID.RequestBox}"
    session.xdotool("windowfocus", window)
    session.xdotool("type", keyword)
    harness.wait_until(lambda: session.answer_of_lister(box) == f"text {keyword}", 20,
                       "the keyword in the box")
    before = set(records.iterdir())
    entered = session.watch.key("Return")
    session.watch.key("x")
    typed = opened = None
    longest = 0.0
    while typed is None or time.monotonic() < entered + watch_s:
        asked = time.monotonic()
        answer = session.answer_of_lister(box)
        answered = time.monotonic()
        longest = max(longest, answered - asked)
        if typed is None and answer == "text x":
            typed = answered - entered
        if opened is None and set(records.iterdir()) - before:
            opened = time.monotonic() - entered
        if answered > entered + TIMEOUT:
            raise AssertionError(f"no typed character after {TIMEOUT} s: {answer}")
    return process, (typed, longest, opened)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--watch", type=float, default=12.0,
                        help="seconds after Enter that the answers are watched at least")
    parser.add_argument("--launcher", type=Path, default=harness.EXE)
    args = parser.parse_args()
    for path in (args.launcher, startup.LIST_WATCH, harness.RECORDER):
        if not path.is_file():
            sys.exit(f"{path} is missing: build the mingw preset first")
    if not os.path.exists("/dev/fuse"):
        sys.exit("no /dev/fuse here")
    if not (harness.WINEPREFIX / "system.reg").exists():
        harness.prefix_up()

    results = {}
    with tempfile.TemporaryDirectory(prefix="corvantis-launch-") as scratch:
        scratch = Path(scratch)
        targets, records = scratch / "targets", scratch / "records"
        targets.mkdir()
        records.mkdir()
        shutil.copy2(harness.RECORDER, targets / "slow.exe")
        shutil.copy2(harness.RECORDER, targets / "fast.exe")
        os.environ["CORVANTIS_RECORDS"] = harness.windows_path(records)  # the session's env
        share = Share(targets, scratch)
        session = Session(scratch, warm=True, managed=False)
        session.data = harness.gbk_file([
            f"s:{harness.windows_path(share.mount / 'slow.exe')}",
            f"q:{harness.windows_path(targets / 'fast.exe')}",
        ])
        try:
            for run in range(args.runs):
                for keyword, name in (("s", "slow"), ("q", "fast"))[:: 1 if run % 2 else -1]:
                    share.hold()
                    process, figures = measure_one(session, args.launcher, keyword, records,
                                                   args.watch)
                    share.release()  # the slow launch goes on at once, and the launcher ends
                    session.end(process)
                    results.setdefault(name, []).append(figures)
                    startup.log(f"run {run + 1} {name}: typed {figures[0]:.3f} s, "
                                f"longest answer {figures[1]:.3f} s")
        finally:
            session.stop()
            share.stop()

    print(f"Medians of {args.runs} runs; the slow target's every look-up takes {LOOK_UP_S} s; "
          f"answers watched for {args.watch:.0f} s after Enter")
    medians = {}
    for name in ("slow", "fast"):
        typed, longest, opened = zip(*results[name])
        medians[name] = (statistics.median(typed), statistics.median(longest))
        line = (f"  {name} target: typed character taken {medians[name][0] * 1000:8.0f} ms, "
                f"longest answer {medians[name][1] * 1000:8.0f} ms")
        if None not in opened:
            line += f", opened {statistics.median(opened) * 1000:6.0f} ms"
        print(line)
    print(f"  slow / fast: typed character taken "
          f"{medians['slow'][0] / medians['fast'][0]:6.2f}, "
          f"longest answer {medians['slow'][1] / medians['fast'][1]:6.2f}")


if __name__ == "__main__":
    main()
