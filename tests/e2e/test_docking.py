"""Dragging the launcher by its title strip and docking at the screen edges."""

import time
import unittest

from harness import (
    SCREEN_HEIGHT,
    SCREEN_WIDTH,
    LauncherTestCase,
    gbk_file,
)


WINDOW_WIDTH, WINDOW_HEIGHT = 513, 390
TICK = 0.5  # the docking timer's interval, in seconds

# Client-relative points: on the title label, and on the strip right of the request box.
TITLE_POINT = (1 + 6 + 40, 1 + 3 + 10)
STRIP_POINT = (1 + 463, 1 + 12)

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


if __name__ == "__main__":
    unittest.main(verbosity=2)
