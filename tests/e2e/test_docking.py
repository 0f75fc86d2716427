"""Dragging the launcher by its title strip, docking at the screen edges, and closing it."""

import os
import time
import unittest

from harness import (
    EXE,
    ID,
    SCREEN_HEIGHT,
    SCREEN_WIDTH,
    STEP_TIMEOUT,
    LauncherTestCase,
    gbk_file,
    wait_until,
)


WINDOW_WIDTH, WINDOW_HEIGHT = 513, 390
TICK = 0.5  # the docking timer's interval, in seconds

# Client-relative points: on the title label, on the strip right of the request box, and on the exit glyph.
TITLE_POINT = (1 + 6 + 40, 1 + 3 + 10)
STRIP_POINT = (1 + 463, 1 + 12)
EXIT_POINT = (1 + 493 + 8, 1 + 4 + 8)
LIST_TOP, ITEM_HEIGHT = 27, 16

# Where a docked window sits: 40 twips (about 3 px) stay on the screen when it hides, and it
# reaches 10 twips (about 1 px) past the edge when the pointer reveals it.
HIDDEN_TOP = -387
HIDDEN_LEFT = -510
HIDDEN_RIGHT = SCREEN_WIDTH - 3
REVEALED_TOP = -1
REVEALED_LEFT = -1
REVEALED_RIGHT = SCREEN_WIDTH - WINDOW_WIDTH + 1

LINES = [
    "g google:https://www.google.com/search?q={query}",
    "bd 百度:https://www.baidu.com/s?wd={query}",
    "",
    "笔记 note:C:\\Users\\Public\\笔记.txt",
    "wiki 维基:https://zh.wikipedia.org/w/index.php?search={query}",
]


def near(actual, expected, tolerance=1):
    return abs(actual - expected) <= tolerance


class DockingTestCase(LauncherTestCase):
    def position(self):
        geometry = self.geometry()
        return geometry["x"], geometry["y"]

    def screen_point(self, client_point):
        x, y = self.position()
        return x + client_point[0], y + client_point[1]

    def drag(self, client_point, dx, dy):
        """Presses the left button at client_point, drags by (dx, dy) and releases.

        The drag starts at the first move with the button held, here one pixel right of the
        press; from there the pointer moves by (dx, dy), and so must the window.
        """
        sx, sy = self.screen_point(client_point)
        self.xdotool(
            "mousemove", sx, sy, "sleep", "0.2", "mousedown", "1", "sleep", "0.3",
            "mousemove", sx + 1, sy, "sleep", "0.2",
            "mousemove", sx + (dx + 1) // 2, sy + dy // 2, "sleep", "0.2",
            "mousemove", sx + dx + 1, sy + dy, "sleep", "0.3", "mouseup", "1",
        )

    def drag_to(self, left, top):
        """Drags the window by its title label until its top-left corner is at (left, top)."""
        x, y = self.position()
        self.drag(TITLE_POINT, left - x, top - y)
        self.wait_for_position(left, top, "the end of the drag")

    def wait_for_position(self, left, top, what):
        def there():
            x, y = self.position()
            if not (near(x, left) and near(y, top)):
                raise AssertionError(f"the window is at ({x}, {y})")
            return True

        self.wait_until(there, what=f"the window at ({left}, {top}) ±1 after {what}")

    def assert_stays(self, what):
        """Watches the window over several docking ticks: it must not move."""
        start = self.position()
        deadline = time.monotonic() + 5 * TICK
        while time.monotonic() < deadline:
            time.sleep(TICK / 2)
            self.assertEqual(self.position(), start, what)

    def pointer_to(self, x, y):
        # No --sync: onto the pointer's own spot it waits 15 s. The server applies the move before
        # any later request, and the waits that follow poll for its effect.
        self.xdotool("mousemove", x, y)


class DragAndDockTest(DockingTestCase):
    def test_dragging_the_title_label_or_strip_moves_the_window_by_the_pointer_displacement(self):
        self.start_launcher(gbk_file(LINES))
        for name, point, dx, dy in (
            ("title label", TITLE_POINT, -200, -120),
            ("strip right of the input box", STRIP_POINT, 150, 260),
        ):
            with self.subTest(name):
                x, y = self.position()
                self.drag(point, dx, dy)
                self.wait_for_position(x + dx, y + dy, f"a drag on the {name} by ({dx}, {dy})")
                rect = self.window_rect()
                self.assertTrue(near(rect["left"], x + dx) and near(rect["top"], y + dy), rect)
                self.assertEqual((rect["width"], rect["height"]), (WINDOW_WIDTH, WINDOW_HEIGHT))

        # A window at no edge stays put, with the pointer outside it and inside it.
        x, y = self.position()
        self.pointer_to(SCREEN_WIDTH - 10, 10)
        self.assert_stays("a free window moved with the pointer outside it")
        self.pointer_to(x + WINDOW_WIDTH // 2, y + WINDOW_HEIGHT // 2)
        self.assert_stays("a free window moved with the pointer inside it")

    def test_window_at_an_edge_hides_to_a_strip_that_the_pointer_reveals(self):
        middle_x = (SCREEN_WIDTH - WINDOW_WIDTH) // 2
        middle_y = (SCREEN_HEIGHT - WINDOW_HEIGHT) // 2
        # edge, (left, top) just short of the edge, (left, top) at the edge, hidden and revealed
        # (left, top), a pointer inside the hidden strip, and one well away from the window.
        cases = [
            ("top", (middle_x, 5), (middle_x, 2), (middle_x, HIDDEN_TOP),
             (middle_x, REVEALED_TOP), (middle_x + 200, 1), (640, 700)),
            ("left", (5, middle_y), (2, middle_y), (HIDDEN_LEFT, middle_y),
             (REVEALED_LEFT, middle_y), (1, middle_y + 200), (900, 400)),
            ("right", (SCREEN_WIDTH - WINDOW_WIDTH - 1, middle_y),
             (SCREEN_WIDTH - WINDOW_WIDTH + 1, middle_y), (HIDDEN_RIGHT, middle_y),
             (REVEALED_RIGHT, middle_y), (SCREEN_WIDTH - 2, middle_y + 200), (300, 400)),
        ]
        for edge, short, docked, hidden, revealed, strip, away in cases:
            with self.subTest(edge):
                self.start_launcher(gbk_file(LINES), folder=edge)
                self.drag_to(*short)
                self.pointer_to(*away)
                self.assert_stays(f"a window 1 px short of the {edge} edge moved")

                self.drag_to(*docked)
                self.pointer_to(*away)
                self.wait_for_position(*hidden, f"docking at the {edge} edge")
                rect = self.window_rect()
                self.assertTrue(
                    near(rect["left"], hidden[0]) and near(rect["top"], hidden[1]), rect
                )
                self.assertTrue(self.window_state()["visible"])

                for step in ("first", "second"):
                    self.pointer_to(*strip)
                    self.wait_for_position(*revealed, f"the pointer entering the {edge} strip")
                    self.assertTrue(self.window_state()["visible"])
                    self.pointer_to(*away)
                    self.wait_for_position(*hidden, f"the pointer leaving ({step} time)")


class CloseTest(DockingTestCase):
    def setUp(self):
        super().setUp()
        self.data = gbk_file(LINES)

    def click_client(self, point):
        self.xdotool("mousemove", *self.screen_point(point), "sleep", "0.1", "click", "1")

    def close(self):
        self.click_client(EXIT_POINT)

    def wait_for_exit(self):
        wait_until(
            lambda: self.launcher.poll() is not None,
            STEP_TIMEOUT,
            "the launcher to end after the exit glyph",
        )

    def delete_item(self, index):
        """Deletes a list item with the entry menu's third command, "删除它"."""
        before = self.list_items()
        self.click_client((4 + 60, LIST_TOP + ITEM_HEIGHT * index + ITEM_HEIGHT // 2))
        self.wait_until(self.find_popup, what="the entry menu")
        self.key("Down", "Down", "Down", "Return")
        expected = before[:index] + before[index + 1 :]
        self.wait_until(lambda: self.list_items() == expected, what=f"item {index} deleted")
        return expected


    def data_file(self):
        return self.app_dir / "data.txt"

    def age_data_file(self):
        """Backdates data.txt so that any rewrite shows in its modification time."""
        os.utime(self.data_file(), ns=(1_600_000_000_000_000_000, 1_600_000_000_000_000_000))
        return self.data_file().stat().st_mtime_ns

    def test_closing_an_unchanged_list_leaves_data_file_untouched_and_ends(self):
        self.start_launcher(self.data)
        mtime = self.age_data_file()
        # Reloading doubles the list without marking it changed: closing must not write it.
        self.press_expecting_focus("Tab", ID.EntryList)
        self.press_expecting_focus("Tab", ID.ReloadButton)
        self.key("space")
        self.wait_until(lambda: self.list_items() == LINES + LINES, what="the reloaded list")

        self.close()
        self.wait_for_exit()
        self.assertEqual(self.data_file().read_bytes(), self.data)
        self.assertEqual(self.data_file().stat().st_mtime_ns, mtime)

    def test_closing_after_a_delete_writes_the_list_back_in_gbk_with_crlf_and_ends(self):
        self.start_launcher(self.data)
        mtime = self.age_data_file()
        remaining = self.delete_item(1)
        self.assertEqual(self.data_file().read_bytes(), self.data, "written before closing")

        self.close()
        self.wait_for_exit()
        self.assertEqual(self.data_file().read_bytes(), gbk_file(remaining))
        self.assertNotEqual(self.data_file().stat().st_mtime_ns, mtime)
        self.assert_no_stray_files()

    def test_closing_while_data_file_is_locked_warns_keeps_the_list_and_a_later_close_writes(self):
        self.start_launcher(self.data)
        remaining = self.delete_item(0)
        locker = self.lock(self.data_file())

        self.close()
        box = self.wait_until(
            lambda: self.find_window("Corvantis"), what="the message box titled Corvantis"
        )
        self.screenshot("save-failed")
        self.assert_launcher_running()
        self.assertEqual(self.list_items(), remaining)
        self.assertEqual(self.data_file().read_bytes(), self.data)

        self.xdotool("windowfocus", box)
        self.key("Return")
        self.wait_until(lambda: self.find_window("Corvantis") is None, what="the box to close")
        self.assert_launcher_running()
        self.assertTrue(self.window_state()["visible"])
        self.assertEqual(self.list_items(), remaining)

        locker.stdin.close()
        locker.wait(timeout=STEP_TIMEOUT)
        self.close()
        self.wait_for_exit()
        self.assertEqual(self.data_file().read_bytes(), gbk_file(remaining))
        self.assert_no_stray_files()

    def assert_no_stray_files(self):
        """The write goes through a temporary file, which must not outlive it."""
        self.assertEqual(sorted(p.name for p in self.app_dir.iterdir()), [EXE.name, "data.txt"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
