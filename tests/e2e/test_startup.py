"""Start-up of the launcher window: placement, the loaded list, focus order and the list commands."""

import unittest

from harness import (
    EXE,
    ID,
    SCREEN_HEIGHT,
    SCREEN_WIDTH,
    LauncherTestCase,
    bangs_file,
    gbk_file,
)

WINDOW_WIDTH, WINDOW_HEIGHT = 513, 390

# Chinese text, an empty line, a line without a colon and a Windows path beside web shortcuts.
OWN_LINES = [
    "g google:https://www.google.com/search?q={query}",
    "bd baidu 百度:https://www.baidu.com/s?wd={query}",
    "",
    "笔记 note:C:\\Users\\Public\\笔记.txt",
    "这一行没有冒号",
    "wiki 维基:https://zh.wikipedia.org/w/index.php?search={query}",
]


def bangs_lines():
    path = bangs_file()
    if path is None:
        return None
    lines = path.read_bytes().decode("gbk").split("\r\n")
    if lines[-1] == "":
        lines.pop()
    return lines


def entry_lines():
    """Our own lines plus, when the shared file is there, ASCII and non-ASCII lines from it."""
    bangs = bangs_lines()
    if bangs is None:
        return list(OWN_LINES)
    non_ascii = [line for line in bangs if not line.isascii()]
    return OWN_LINES + bangs[:12] + non_ascii[:8]


class StartupTest(LauncherTestCase):
    def setUp(self):
        super().setUp()
        self.lines = entry_lines()
        self.data = gbk_file(self.lines)

    def test_window_appears_centred_topmost_and_visible_at_its_design_size(self):
        self.start_launcher(self.data)
        self.screenshot("startup")
        centre_left = (SCREEN_WIDTH - WINDOW_WIDTH) / 2
        centre_top = (SCREEN_HEIGHT - WINDOW_HEIGHT) / 2

        x_geometry = self.geometry()
        rect = self.window_rect()
        for source, left, top, width, height in (
            ("X", x_geometry["x"], x_geometry["y"], x_geometry["width"], x_geometry["height"]),
            ("Win32", rect["left"], rect["top"], rect["width"], rect["height"]),
        ):
            with self.subTest(source=source):
                self.assertLessEqual(abs(left - centre_left), 1, f"left {left}")
                self.assertLessEqual(abs(top - centre_top), 1, f"top {top}")
                self.assertEqual((width, height), (WINDOW_WIDTH, WINDOW_HEIGHT))

        state = self.window_state()
        self.assertTrue(state["visible"], state)
        self.assertTrue(state["topmost"], state)

    def test_list_holds_the_file_lines_in_file_order(self):
        self.start_launcher(self.data)
        self.assertEqual(self.list_items(), self.lines)

    def test_focus_starts_in_the_empty_request_box_and_typing_goes_there(self):
        self.start_launcher(self.data)
        self.assertEqual(self.focused_control(), ID.RequestBox)
        self.assertEqual(self.control_text(ID.RequestBox), "")

        typed = ""
        for part in ("g abc", " 百度"):
            self.type_text(part)
            typed += part
            self.wait_until(
                lambda: self.control_text(ID.RequestBox) == typed, what=f"the request box to read {typed!r}"
            )
        self.assertEqual(self.list_items(), self.lines)
        self.screenshot("typed")

    def test_tab_reaches_the_unseen_reload_button_and_space_reloads_the_file_into_the_list(self):
        self.start_launcher(self.data)
        self.press_expecting_focus("Tab", ID.EntryList)
        self.press_expecting_focus("Tab", ID.ReloadButton)
        self.key("space")

        self.wait_until(
            lambda: self.list_items() == self.lines + self.lines,
            what="every line of data.txt twice in the list",
        )
        self.assertEqual((self.app_dir / "data.txt").read_bytes(), self.data)

    def test_list_commands_leave_the_file_as_the_list_shows_after_save(self):
        # Each step: a key and the control that must have the focus afterwards.
        to_reload_button = [("Tab", ID.EntryList), ("Tab", ID.ReloadButton)]
        cases = [
            (
                "reload then save writes every line twice",
                self.data,
                to_reload_button + [("space", ID.ReloadButton), ("Tab", ID.ClearButton),
                               ("Tab", ID.SaveButton), ("space", ID.SaveButton)],
                self.lines + self.lines,
            ),
            (
                "clear then save writes one empty line",
                self.data,
                to_reload_button + [("Tab", ID.ClearButton), ("space", ID.ClearButton),
                               ("Tab", ID.SaveButton), ("space", ID.SaveButton)],
                [],
            ),
            (
                "save rewrites CR-only line ends and an unterminated last line with CR LF",
                gbk_file(self.lines, line_end=b"\r")[:-1],
                to_reload_button + [("Tab", ID.ClearButton), ("Tab", ID.SaveButton),
                               ("space", ID.SaveButton)],
                self.lines,
            ),
        ]
        for number, (name, data, steps, items) in enumerate(cases):
            with self.subTest(name):
                self.start_launcher(data, folder=f"case{number}")
                for key, control in steps:
                    self.press_expecting_focus(key, control)
                self.wait_until(
                    lambda: self.list_items() == items, what=f"the list after: {name}"
                )
                expected = gbk_file(items) if items else b"\r\n"
                data_file = self.app_dir / "data.txt"
                self.wait_until(
                    lambda: data_file.read_bytes() == expected,
                    what=f"data.txt rewritten as {expected[:80]!r}...",
                )

    def test_missing_data_file_gives_an_empty_list_and_creates_no_file(self):
        self.start_launcher(None)
        self.assertEqual(self.list_items(), [])
        self.assertEqual(self.focused_control(), ID.RequestBox)

        # Reloading with the file still missing leaves the list empty and the window usable.
        self.press_expecting_focus("Tab", ID.EntryList)
        self.press_expecting_focus("Tab", ID.ReloadButton)
        self.press_expecting_focus("space", ID.ReloadButton)
        self.press_expecting_focus("Tab", ID.ClearButton)
        self.assertEqual(self.list_items(), [])
        self.assertEqual(sorted(p.name for p in self.app_dir.iterdir()), [EXE.name])

    def test_whole_shared_entry_file_loads_in_file_order(self):
        bangs = bangs_lines()
        if bangs is None:
            self.skipTest("shared/data/bangs.txt is absent beside the repository")
        self.start_launcher(bangs_file().read_bytes())
        items = self.list_items()
        self.assertEqual(len(items), len(bangs))
        self.assertEqual(items, bangs)


if __name__ == "__main__":
    unittest.main(verbosity=2)
