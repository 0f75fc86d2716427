"""Launches leave the window's thread: requests open in order one after another, a target the
shell cannot open is told by the shell, and a target too long for the shell never takes the
launcher down."""

import unittest

from harness import EXE
from test_editing import EditingTestCase
from test_launch import Launches, LaunchTestCase, is_batch, is_hook, prefix_processes


class LaunchThreadTest(LaunchTestCase, EditingTestCase):
    def test_two_quick_requests_open_one_after_the_other_in_file_order(self):
        lines = [f"a:{self.batch('a1')}", f"b:{self.batch('b1')}", f"a:{self.batch('a2')}"]
        self.start_launcher(self.entry_file(lines, ["b"]))
        self.enter_request("a")
        before = set(prefix_processes())
        self.key("Return", "ctrl+a")
        self.type_text("b")
        self.key("Return")

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
