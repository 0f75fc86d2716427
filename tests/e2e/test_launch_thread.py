"""Launches leave the window's thread: requests open in order one after another, a target the
shell cannot open is told by the shell, a target too long for the shell never takes the
launcher down, and while a target on a share that does not answer is looked up, the window
answers, closes and comes when summoned."""

import os
import subprocess
import unittest
from pathlib import Path

from harness import EXE, ID, STEP_TIMEOUT, run, tool, windows_path
from test_editing import EditingTestCase
from test_launch import Launches, LaunchTestCase, is_batch, is_hook, prefix_processes

# Debian's Python, which has python3-fusepy; the tests' own Python may be another one.
SYSTEM_PYTHON = "/usr/bin/python3"
SLOW_SHARE = Path(__file__).with_name("slow_share.py")
# How long the share holds a look-up the test does not release: longer than any test step.
SHARE_HOLD_S = 120


class LaunchThreadTest(LaunchTestCase, EditingTestCase):
    def test_two_quick_requests_open_one_after_the_other_in_file_order(self):
        lines = [f"a:{self.batch('a1')}", f"b:{self.batch('b1')}", f"a:{self.batch('a2')}"]
        self.start_launcher(self.entry_file(lines, ["b"]))
        self.enter_request("a")
        before = set(prefix_processes())
        # In one quick burst: the console of a started batch file takes the activation.
        self.xdotool("key", "--delay", "5", "Return", "ctrl+a", "b", "Return")

        def launches():
            new = Launches({k: a for k, a in prefix_processes().items() if k not in before})
            return new if new.complete() else None

        self.assertEqual(self.wait_until(launches, what="both requests").batches,
                         ["a1.bat", "a2.bat", "b1.bat"])
        self.settle()

    def test_the_shell_tells_of_a_missing_target_and_the_next_match_opens_after(self):
        lines = [r"m:C:\nowhere\missing.exe", f"m:{self.batch('after')}"]
        self.start_launcher(self.entry_file(lines, ["m"]))
        self.enter_request("m")
        before = set(prefix_processes())
        self.key("Return")
        box = self.wait_until(self.shell_message, what="the shell's message")
        self.assertFalse(self.started_batches(before), "opened before the message was answered")
        self.xdotool("windowfocus", box)
        self.key("Return")
        self.wait_until(lambda: self.started_batches(before) == ["after.bat"], what="after.bat")
        self.settle()

    def test_targets_too_long_for_the_shell_open_or_fail_without_taking_the_launcher_down(self):
        for length in (300, 1237, 2100, 40000):
            web = "https://example.com/?q=" + "a" * (length - 23)
            file = "C:\\" + "a" * (length - 3)
            for kind, target in (("web", web), ("file", file)):
                with self.subTest(kind=kind, length=length):
                    self.start_launcher(self.entry_file([f"k:{target}"], []))
                    self.enter_request("k")
                    self.key("Return")
                    box = self.wait_until(
                        lambda: self.shell_message() or self.opened(target),
                        what="the open or its failure",
                    )
                    if box is not True:
                        self.xdotool("windowfocus", box)
                        self.key("Return")
                    self.settle()
                    self.assert_launcher_running()

    def test_typing_reaches_the_box_while_a_target_on_a_slow_share_is_looked_up(self):
        before = self.start_slow_launch()
        self.type_text("typed")
        self.wait_until(lambda: self.control_text(ID.RequestBox) == "typed", what="the typing")
        self.assert_share_holds()
        self.share_answers.touch()

        def launches():
            new = Launches({k: a for k, a in prefix_processes().items() if k not in before})
            return new if new.complete() else None

        self.assertEqual(self.wait_until(launches, what="the request").batches, ["slow.bat"])
        self.settle()

    def test_closing_while_a_target_on_a_slow_share_is_looked_up_saves_and_ends(self):
        before = self.start_slow_launch(["x:gone"])
        self.choose(1, "删除它")
        saved = [self.lines[0], self.lines[2]]
        self.wait_until(lambda: self.list_items() == saved, what="the line deleted")
        self.click_centre(self.window_rect(ID.CloseGlyph))
        self.wait_until(lambda: self.data_file().read_bytes().decode("gbk").splitlines() == saved,
                        what="data.txt saved without the deleted line")
        self.wait_until(lambda: self.find_window() is None, what="the window to go")
        self.assert_share_holds()
        # The process goes once the look-up under way returns: no thread ends inside one.
        self.share_answers.touch()
        self.wait_for_exit()
        self.assertEqual(self.started_batches(before), [], "opened after the close")

    def test_a_second_start_while_a_target_on_a_slow_share_is_looked_up_summons_at_once(self):
        self.start_slow_launch()
        self.press_expecting_focus("Tab", ID.EntryList)
        second = self.start_again(self.app_dir)
        self.assertEqual(second.wait(timeout=STEP_TIMEOUT), 0, "the second start's exit status")
        focus = self.probe("focus")
        self.assertEqual((focus["focus"], focus["active"]), (ID.RequestBox, True), focus)
        self.assert_share_holds()
        self.share_answers.touch()
        self.settle()

    def start_slow_launch(self, more_lines=()):
        """Starts the launcher with "s" opening slow.bat on a share that holds every look-up, and
        requests it; returns the prefix's processes from before, once the share holds a look-up."""
        share, unmount = self.slow_share()
        self.batch("slow")
        self.start_launcher(self.entry_file([f"s:{windows_path(share / 'slow.bat')}",
                                             *more_lines], ["s"]))
        self.addCleanup(unmount)  # first: a thread left inside a look-up would hold the stop
        self.enter_request("s")
        before = set(prefix_processes())
        self.key("Return")
        self.wait_until(lambda: "held" in self.share_log(), what="the share to hold a look-up")
        return before

    def slow_share(self):
        """Mounts the targets folder as a share that holds each look-up until share_answers
        exists; returns its mount point and what unmounts it."""
        if not os.path.exists("/dev/fuse"):
            self.skipTest("no /dev/fuse here")
        if run([SYSTEM_PYTHON, "-c", "import fusepy"], os.environ, check=False).returncode:
            self.skipTest(f"{SYSTEM_PYTHON} has no fusepy: install python3-fusepy")
        mount = self.output / "share"
        mount.mkdir()
        self.share_answers = self.output / "share-answers"
        self.share_log_path = self.output / "share.log"
        with open(self.output / "share.err", "wb") as errors:
            share = subprocess.Popen(
                [SYSTEM_PYTHON, SLOW_SHARE, self.targets, mount, self.share_log_path,
                 self.share_answers, str(SHARE_HOLD_S)],
                stdin=subprocess.DEVNULL, stdout=errors, stderr=errors)

        def unmount():
            if share.poll() is None:
                share.kill()  # fails what it holds: no Wine thread stays inside a look-up
                share.wait()
            run([tool("fusermount3"), "-uz", mount], os.environ, check=False)

        self.addCleanup(unmount)
        self.wait_until(lambda: os.path.ismount(mount) or share.poll() is not None,
                        what="the share to mount")
        self.assertTrue(os.path.ismount(mount), (self.output / "share.err").read_text())
        return mount, unmount

    def share_log(self):
        return self.share_log_path.read_text() if self.share_log_path.exists() else ""

    def assert_share_holds(self):
        self.assertNotIn("answered", self.share_log(), "the look-up ended before the check")

    def settle(self):
        """Lets the opened targets end."""
        self.release.touch()
        self.wait_until(
            lambda: not any(is_batch(a) or is_hook(a) for a in prefix_processes().values()),
            what="the opened targets to end",
        )
        self.release.unlink()

    def shell_message(self):
        """The X window of a message the shell shows for the launcher: a named window of the
        launcher's process other than its own."""
        found = self.xdotool("search", "--onlyvisible", "--name", ".").split()
        for window in found:
            name = self.xdotool("getwindowname", window).strip()
            if name and name not in ("Form1", "Form2") and window != self.window:
                pid = self.xdotool("getwindowpid", window).strip()
                if pid and any(EXE.name in " ".join(a) for (p, _), a in prefix_processes().items()
                               if str(p) == pid):
                    return window
        return None

    def opened(self, target):
        started = [" ".join(a) for a in prefix_processes().values()]
        return any(target[:200] in line for line in started) or None

    def started_batches(self, before):
        return [" ".join(a).rsplit("\\", 1)[-1].strip()
                for k, a in sorted(prefix_processes().items(), key=lambda i: (i[0][1], i[0][0]))
                if k not in before and " ".join(a).lower().endswith(".bat")]


if __name__ == "__main__":
    unittest.main(verbosity=2)
