"""Keyword launch: Enter resolves the typed request against data.txt and opens every match.

What the shell is asked to open is read from the processes it starts in the launcher's Wine
prefix. A batch file runs as `cmd.exe /s/c <path>` and a web address goes through
winebrowser to our browser hook, `/bin/sh <hook> <address>`. The shell starts each of them
before it returns, so their start order is the order of the open requests; their own writes to a
log are not in that order, as they run side by side. Every target waits for a release file, so
none is gone before it has been seen.

Every data file ends with a sentinel entry that carries each keyword the test types: it opens
last, so once its address has reached the hook, the request has made all its open requests.
"""

import os
import urllib.parse
import unittest

from harness import (
    ID,
    OUTPUT,
    STEP_TIMEOUT,
    WINEPREFIX,
    LauncherTestCase,
    gbk_file,
    run,
    tool,
    windows_path,
    wine_env,
    wineserver_stop,
)

HOOK = OUTPUT / "launch-browser-hook.sh"
SENTINEL_URL = "https://example.invalid/request-done"

SEARCH = "https://example.com/search?q={query}"



def prefix_processes():
    """{(pid, start time): argv} of the processes that run in our Wine prefix."""
    marker = f"WINEPREFIX={WINEPREFIX}\0".encode()
    found = {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open(f"/proc/{name}/environ", "rb") as file:
                if marker not in file.read():
                    continue
            with open(f"/proc/{name}/cmdline", "rb") as file:
                argv = [a.decode(errors="replace") for a in file.read().split(b"\0") if a]
            with open(f"/proc/{name}/stat", "rb") as file:
                # The fields after the parenthesised command name; the start time is field 22.
                start = int(file.read().rsplit(b")", 1)[1].split()[19])
        except (OSError, IndexError, ValueError):
            continue  # ended while we looked
        found[(int(name), start)] = argv
    return found


def is_batch(argv):
    return bool(argv) and "cmd.exe" in " ".join(argv) and argv[-1].lower().endswith(".bat")


def is_hook(argv):
    return len(argv) >= 3 and argv[1] == str(HOOK)


class Launches:
    """What one request opened: batch files in open order, web addresses decoded and sorted."""

    def __init__(self, processes):
        self.batches = []
        self.addresses = []
        self.pending = False
        self.done = False
        # Start time first: process ids can wrap around.
        for _, argv in sorted(processes.items(), key=lambda item: (item[0][1], item[0][0])):
            line = " ".join(argv)
            if "winebrowser.exe" in line or "corvantis.exe" in line:
                # winebrowser has not started the hook yet, or a new process has not exec'd yet.
                self.pending = True
            elif is_batch(argv):
                self.batches.append(line.rsplit("\\", 1)[-1].strip())
            elif is_hook(argv):
                address = urllib.parse.unquote(argv[2])
                if address == SENTINEL_URL:
                    self.done = True
                else:
                    self.addresses.append(address)
        self.addresses.sort()

    def complete(self):
        return self.done and not self.pending


class LaunchTestCase(LauncherTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        env = wine_env()
        run(
            [tool("wine"), "reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers",
             "/d", HOOK, "/f"],
            env,
        )
        wineserver_stop(env)

    def setUp(self):
        super().setUp()
        self.targets = self.output / "targets"
        self.targets.mkdir()
        self.release = self.targets / "release"
        HOOK.parent.mkdir(parents=True, exist_ok=True)
        HOOK.write_text(
            "#!/bin/sh\n"
            "# Stays until the test has read the address from this process's arguments.\n"
            f"while [ ! -e '{self.release}' ]; do sleep 0.05; done\n"
        )
        HOOK.chmod(0o755)

    def batch(self, name):
        """Windows path of a batch file that waits for the release file, then ends."""
        path = self.targets / f"{name}.bat"
        release = windows_path(self.release)
        path.write_bytes(f"@echo off\r\n:wait\r\nif not exist {release} goto wait\r\n".encode())
        return windows_path(path)

    def entry_file(self, lines, keywords):
        """GBK data.txt of lines plus the sentinel entry for the given request keywords."""
        self.lines = lines + [f"{' '.join(keywords)}:{SENTINEL_URL}"]
        return gbk_file(self.lines)


    def focus_request_box(self):
        """Clicks the request box: a started batch file takes the activation, and a click gives it
        back. A batch file whose console comes up only after the click takes it once more, so
        the click is repeated while the focus is elsewhere."""
        for attempt in range(3):
            self.xdotool("windowfocus", self.window)
            self.click_centre(self.window_rect(ID.RequestBox))
            try:
                self.wait_until(
                    lambda: self.focused_control() == ID.RequestBox,
                    timeout=5 if attempt < 2 else STEP_TIMEOUT,
                    what="the focus on the request box after a click",
                )
                return
            except AssertionError:
                if attempt == 2:
                    raise

    def enter_request(self, text):
        self.focus_request_box()
        self.key("ctrl+a", "BackSpace")
        if text:
            self.type_text(text)
        self.wait_until(lambda: self.control_text(ID.RequestBox) == text, what=f"the request box to read {text!r}")

    def confirm(self, key="Return"):
        """Presses key and returns the Launches of the request, then lets the targets end."""
        before = set(prefix_processes())
        self.key(key)

        def launches():
            processes = prefix_processes()
            result = Launches({k: v for k, v in processes.items() if k not in before})
            return result if result.complete() else None

        result = self.wait_until(launches, what=f"the sentinel address after {key}")
        self.release.touch()
        self.wait_until(
            lambda: not any(is_batch(a) or is_hook(a) for a in prefix_processes().values()),
            what="the opened targets to end",
        )
        self.release.unlink()
        return result

    def request(self, text, key="Return"):
        self.enter_request(text)
        return self.confirm(key)


class KeywordLaunchTest(LaunchTestCase):
    def test_enter_opens_every_entry_naming_the_keyword_exactly_in_file_order(self):
        lines = [
            f"g:{self.batch('a')}",
            f"G:{self.batch('upper')}",
            f"go:{self.batch('prefix')}",
            "",
            f"h g:{self.batch('b')}",
            f"x:{self.batch('other')}",
            f"g x g:{self.batch('twice')}",
            f"百度 bd:{self.batch('baidu')}",
        ]
        # request, batch files opened in order
        cases = [
            ("g", ["a.bat", "b.bat", "twice.bat", "twice.bat"]),
            ("G", ["upper.bat"]),
            ("go", ["prefix.bat"]),
            ("x", ["other.bat", "twice.bat"]),
            ("百度", ["baidu.bat"]),
            ("b", []),
        ]
        self.start_launcher(self.entry_file(lines, [request for request, _ in cases]))
        for request, expected in cases:
            with self.subTest(request=request):
                launches = self.request(request)
                self.assertEqual(launches.batches, expected)
                self.assertEqual(launches.addresses, [])

    def test_search_address_gets_the_query_typed_after_the_keyword(self):
        lines = [
            f"g:{SEARCH}",
            "s:https://example.com/s?a={QUERY}&b={Query}",
            "百度:https://www.baidu.com/s?wd={query}",
        ]
        cases = [
            ("g cats and dogs", "https://example.com/search?q=cats and dogs"),
            ("g\u3000cats", "https://example.com/search?q=cats"),
            ("g  x", "https://example.com/search?q= x"),
            ("g", "https://example.com/search?q={query}"),
            ("s x", "https://example.com/s?a=x&b=x"),
            ("百度 cats", "https://www.baidu.com/s?wd=cats"),
        ]
        self.start_launcher(self.entry_file(lines, ["g", "s", "百度"]))
        for request, expected in cases:
            with self.subTest(request=request):
                launches = self.request(request)
                self.assertEqual(launches.addresses, [expected])
                self.assertEqual(launches.batches, [])

    def test_enter_with_any_modifier_or_on_the_list_runs_the_request_box_and_refocuses_it(self):
        self.start_launcher(self.entry_file([f"g:{SEARCH}"], ["g"]))
        expected = ["https://example.com/search?q=cats"]
        for key in ("shift+Return", "ctrl+Return"):
            with self.subTest(key=key):
                self.assertEqual(self.request("g cats", key).addresses, expected)

        with self.subTest("Enter on the entry list"):
            self.enter_request("g cats")
            self.press_expecting_focus("Tab", ID.EntryList)
            self.assertEqual(self.confirm().addresses, expected)
            self.wait_until(
                lambda: self.focused_control() == ID.RequestBox, what="the focus back on the request box"
            )
            self.assertEqual(self.control_text(ID.RequestBox), "g cats")
            self.assertEqual(self.list_items(), self.lines)

    def test_entry_added_to_the_list_opens_only_after_the_list_is_saved(self):
        self.start_launcher(self.entry_file([f"g:{SEARCH}"], ["new"]))
        target = self.batch("new")
        self.add_entry("new", target)
        new_line = f"new:{target}"
        self.assertEqual(self.list_items(), [new_line] + self.lines)

        self.assertEqual(self.request("new").batches, [], "opened before the list was saved")

        self.focus_request_box()
        for control in (ID.EntryList, ID.ReloadButton, ID.ClearButton, ID.SaveButton):
            self.press_expecting_focus("Tab", control)
        self.key("space")
        data_file = self.app_dir / "data.txt"
        self.wait_until(
            lambda: data_file.read_bytes() == gbk_file([new_line] + self.lines),
            what="data.txt saved with the new entry first",
        )
        self.assertEqual(self.request("new").batches, ["new.bat"])

    def add_entry(self, keywords, target):
        """Adds an entry with the entry menu's "新增一个" and the editor's "好"."""
        # Below the last item: the menu pops up all the same.
        list_rect = self.window_rect(ID.EntryList)
        self.click_centre(dict(list_rect, top=list_rect["bottom"] - 40))
        self.wait_until(self.find_popup, what="the entry menu")
        self.key("Down", "Return")
        editor = self.wait_until(lambda: self.find_window("Form2"), what="the editor Form2")
        self.xdotool("windowfocus", editor)
        for control, text in ((ID.KeywordsBox, keywords), (ID.TargetBox, target)):
            self.click_centre(self.probe("rect", "Form2", control))
            self.type_text(text)
            self.wait_until(
                lambda: self.probe("text", "Form2", control)["text"] == text,
                what=f"editor box {control} to read {text!r}",
            )
        self.click_centre(self.probe("rect", "Form2", ID.OkLabel))
        self.wait_until(lambda: self.find_window("Form2") is None, what="the editor to close")
        self.wait_until(lambda: self.window_state()["visible"], what="the launcher shown again")



if __name__ == "__main__":
    unittest.main(verbosity=2)
