"""Starting the program again: a second start from the same folder summons the running launcher,
which stays in view while active, its own question answered; a copy in another folder runs on
its own."""

import shutil
import unittest

from harness import EXE, ID, STEP_TIMEOUT, gbk_file, wait_until
from test_docking import HIDDEN_TOP, LINES, REVEALED_TOP, DockingTestCase
from test_editing import EditingTestCase
from test_launch import prefix_processes


def launcher_processes():
    return [argv for argv in prefix_processes().values() if EXE.name in " ".join(argv)]


class SummonTest(DockingTestCase, EditingTestCase):
    def test_a_second_start_shows_the_docked_launcher_and_ends_and_other_folders_run_apart(self):
        self.start_launcher(gbk_file(LINES))
        self.type_text("g cats")
        self.wait_until(lambda: self.control_text(ID.RequestBox) == "g cats", what="the request")
        x, _ = self.position()
        self.drag_to(x, 2)
        away = (640, 700)
        self.pointer_to(*away)
        self.wait_for_position(x, HIDDEN_TOP, "docking at the top")

        second = self.start_again(self.app_dir)
        self.assertEqual(second.wait(timeout=STEP_TIMEOUT), 0, "the second start's exit status")
        self.wait_for_position(x, REVEALED_TOP, "the second start")
        state = self.window_state()
        self.assertTrue(state["visible"] and state["topmost"], state)
        focus = self.probe("focus")
        self.assertEqual((focus["focus"], focus["active"]), (ID.RequestBox, True), focus)
        self.assertEqual(len(launcher_processes()), 1, launcher_processes())

        # The text was selected: typing replaces it. The launcher stays in view while it is
        # active, though the pointer is away.
        self.xdotool("windowfocus", self.window)
        self.type_text("x")
        self.wait_until(lambda: self.control_text(ID.RequestBox) == "x", what="the text replaced")
        self.pointer_to(*away)
        self.assert_stays("the summoned launcher docked while active")
        self.assertEqual(self.position(), (x, REVEALED_TOP))

        # Its own question takes the activation for a while; answered, the launcher is active
        # again and stays.
        self.press_expecting_focus("Tab", ID.EntryList)
        self.key("shift+F10")
        self.wait_until(self.find_popup, what="the entry menu")
        self.key("Down", "Down", "Down", "Down", "Return")  # 删除所有
        box, _ = self.message_box("Tips")
        self.answer(box, "Tips", "Escape")
        self.assert_stays("the summoned launcher docked after its own question")
        self.assertEqual(self.position(), (x, REVEALED_TOP))
        self.assertEqual(self.list_items(), LINES)

        other = self.output / "other"
        other.mkdir()
        shutil.copy2(EXE, other / EXE.name)
        (other / "data.txt").write_bytes(gbk_file(LINES[:1]))
        self.start_again(other)
        wait_until(
            lambda: len(self.xdotool("search", "--name", "^Form1$").split()) == 2,
            STEP_TIMEOUT,
            "a second launcher window for the other folder",
        )
        self.assertEqual(len(launcher_processes()), 2, launcher_processes())


if __name__ == "__main__":
    unittest.main(verbosity=2)
