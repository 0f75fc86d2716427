"""Two monitors: the launcher docks only at the edges of the whole desktop, against the monitor it
is on, and stands freely on the second monitor and across the line between the two."""

import unittest

from harness import SCREEN_WIDTH, TwoMonitorXorg, gbk_file
from test_docking import LINES, WINDOW_WIDTH, DockingTestCase

SECOND_LEFT, SECOND_WIDTH = SCREEN_WIDTH, 1024
DESKTOP_RIGHT = SECOND_LEFT + SECOND_WIDTH
# Docked at the second monitor's right edge: 40 twips (about 3 px) stay on it; revealed, the
# window reaches 10 twips (about 1 px) past it.
HIDDEN_RIGHT = DESKTOP_RIGHT - 3
REVEALED_RIGHT = DESKTOP_RIGHT - WINDOW_WIDTH + 1
HIDDEN_TOP, REVEALED_TOP = -387, -1


class TwoMonitorTest(DockingTestCase):
    def start_x_server(self):
        return TwoMonitorXorg(self.output)

    def test_a_free_window_on_the_second_monitor_and_across_the_line_stays_put(self):
        self.start_launcher(gbk_file(LINES))
        places = [
            ("on the second monitor", (1600, 200)),
            ("across the line between the monitors", (SECOND_LEFT - 200, 200)),
            ("mostly on the second monitor, past its left edge", (SECOND_LEFT - 60, 300)),
            ("on the primary, its right edge at the line", (SECOND_LEFT - WINDOW_WIDTH, 300)),
        ]
        for what, (left, top) in places:
            with self.subTest(what):
                self.drag_to(left, top)
                for pointer in ((left + 200, top + 200), (300, 400), (1900, 700),
                                (SECOND_LEFT, top + 100)):
                    self.pointer_to(*pointer)
                    self.assert_stays(f"a free window {what} moved, pointer at {pointer}")

    def test_the_second_monitors_outer_edges_hide_and_reveal_the_window_there(self):
        self.start_launcher(gbk_file(LINES))
        # edge, (left, top) at the edge, hidden and revealed (left, top), a pointer inside the
        # hidden strip, and one well away from the window.
        cases = [
            ("right", (DESKTOP_RIGHT - WINDOW_WIDTH + 1, 200), (HIDDEN_RIGHT, 200),
             (REVEALED_RIGHT, 200), (DESKTOP_RIGHT - 2, 400), (600, 400)),
            ("top", (1600, 2), (1600, HIDDEN_TOP), (1600, REVEALED_TOP), (1800, 1), (600, 600)),
        ]
        for edge, docked, hidden, revealed, strip, away in cases:
            with self.subTest(edge):
                self.drag_to(1600, 300)
                self.drag_to(*docked)
                self.pointer_to(*away)
                self.wait_for_position(*hidden, f"docking at the second monitor's {edge} edge")
                self.pointer_to(*strip)
                self.wait_for_position(*revealed, f"the pointer entering the {edge} strip")
                self.assertTrue(self.window_state()["visible"])
                self.pointer_to(*away)
                self.wait_for_position(*hidden, "the pointer leaving the strip")
                self.pointer_to(*strip)
                self.wait_for_position(*revealed, "the pointer back in the strip")


if __name__ == "__main__":
    unittest.main(verbosity=2)
