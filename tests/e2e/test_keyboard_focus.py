"""The keyboard and the mouse go where the user looks: under a real window manager (openbox) the
launcher gets the keyboard when started or summoned by its command, the editor is finished from
the keyboard and takes clicks as soon as it opens from the menu, an unseen button shows that it
has the focus, and a revealed launcher stays while its menu or message box is open."""

import os
import unittest

from harness import (
    EXE,
    ID,
    REPO,
    SCREEN_WIDTH,
    STEP_TIMEOUT,
    gbk_file,
    run,
    wine_env,
    wineserver_stop,
)
from test_docking import HIDDEN_TOP, REVEALED_TOP, WINDOW_WIDTH, DockingTestCase
from test_editing import ADD, EDIT, EDITOR_TITLE, ITEM_HEIGHT, LINES, EditingTestCase

INSTALL = REPO / "scripts" / "install.sh"
INSTALL_TIMEOUT = 120
# Editor openings from the menu, each at once clicked into and typed into.
OPENINGS = 50
# Their turns: add and edit, released where pressed or after a hand's jitter within the drag
# distance (pixels on each axis). Each round of turns begins after an entry was dragged this far
# and dropped back on the list, which opens the editor too.
TURNS = [(ADD, 0), (EDIT, 0), (ADD, 2), (EDIT, 2)]
DROP, DRAG = "drop", 12


class DesktopTestCase(EditingTestCase):
    """The launcher as a Linux desktop runs it: installed by the README's run command (less the
    build), started and summoned by the `corvantis` command, with openbox deciding the focus."""

    def setUp(self):
        super().setUp()
        self.start_window_manager()
        self.home = self.output / "home"
        self.data_home = self.home / ".local" / "share"

    def desktop_env(self):
        env = wine_env(self.display)
        env.update(HOME=str(self.home), XDG_DATA_HOME=str(self.data_home))
        return env

    def install_and_start(self, data):
        """Installs the built exe beside `data` and starts it as the run command does; returns
        once the command has had the window manager activate the launcher."""
        self.app_dir = self.data_home / "corvantis"
        self.app_dir.mkdir(parents=True)
        self.data_file().write_bytes(data)
        self.addCleanup(wineserver_stop, wine_env(self.display))
        run([INSTALL, EXE], self.desktop_env(), timeout=INSTALL_TIMEOUT)
        self.window = self.find_window()
        self.assertIsNotNone(self.window, "the command returned before the window showed")

    def corvantis(self):
        """The `corvantis` command the run command installed, as a hotkey would run it."""
        run([self.home / ".local" / "bin" / "corvantis"], self.desktop_env(), timeout=STEP_TIMEOUT)

    def wait_for_request(self, text):
        self.wait_until(
            lambda: self.control_text(ID.RequestBox) == text,
            what=f"the request box to hold {text!r}",
        )


class DesktopKeyboardTest(DesktopTestCase):
    def test_the_run_command_leaves_the_keyboard_in_the_request_box_and_a_desktop_entry(self):
        self.install_and_start(gbk_file(LINES))
        self.type_text("zz top")  # at once, and nobody gave it the focus
        self.wait_for_request("zz top")

        entry = (self.data_home / "applications" / "corvantis.desktop").read_text()
        command = self.home / ".local" / "bin" / "corvantis"
        self.assertIn(f"Exec={command}\n", entry)
        icon = self.app_dir / "corvantis.png"
        self.assertIn(f"Icon={icon}\n", entry)
        self.assertTrue(os.access(command, os.X_OK))
        self.assertEqual(icon.read_bytes()[:8], b"\x89PNG\r\n\x1a\n")

        # A launch (here of nothing: no entry has zz) leaves the request selected: the next
        # keyword typed replaces it.
        self.key("Return")
        self.type_text("dl")
        self.wait_for_request("dl")

    def test_the_command_summons_the_launcher_from_another_focused_window_with_the_keyboard(self):
        self.install_and_start(gbk_file(LINES))
        self.type_text("g cats")
        self.wait_for_request("g cats")
        self.start_dragsource("none", at=(SCREEN_WIDTH - 200, 600))
        self.xdotool("windowactivate", "--sync", self.find_window("DragSource"))

        self.corvantis()
        self.type_text("bd x")  # replaces the request, which the summon selected
        self.wait_for_request("bd x")

    def test_the_editor_is_finished_from_the_keyboard_and_alt_f4_closes_only_the_editor(self):
        self.install_and_start(gbk_file(LINES))
        self.choose(0, ADD)
        self.wait_for_editor()
        self.type_text("k")  # the keyword box has the keyboard as the editor opens
        self.key("Tab")
        self.type_text("C:\\x.txt")
        self.key("Tab")
        self.wait_until(lambda: self.probe("focus", EDITOR_TITLE)["focus"] == ID.OkLabel,
                        what="Tab to reach 好")
        self.key("space")
        self.wait_for_editor_closed()
        self.assertEqual(self.list_items(), ["k:C:\\x.txt"] + LINES)
        self.type_text("q")  # back in the request box
        self.wait_for_request("q")

        self.choose(0, ADD)
        self.wait_for_editor()
        self.type_text("zz")
        self.wait_until(lambda: self.editor_boxes() == ("zz", ""), what="the keyword typed")
        self.key("alt+F4")
        self.wait_for_editor_closed()
        self.assertTrue(self.window_state()["visible"], "Alt+F4 closed the launcher too")
        self.assertEqual(self.list_items(), ["k:C:\\x.txt"] + LINES)

    def test_the_editor_opened_from_the_menu_takes_a_click_at_once_every_time(self):
        self.install_and_start(gbk_file(LINES))
        items = self.window_rect(ID.EntryList)
        x, y = items["left"] + 60, items["top"] + ITEM_HEIGHT // 2
        target = None
        missed = []
        for opening in range(OPENINGS):
            turn = TURNS[opening % len(TURNS)]
            for command, moved in [(DROP, DRAG), turn] if turn == TURNS[0] else [turn]:
                self.xdotool("mousemove", x, y, "sleep", "0.1", "mousedown", "1",
                             "mousemove", x + moved, y + moved, "sleep", "0.1", "mouseup", "1")
                if command != DROP:
                    menu = self.wait_until(self.find_popup, what="the menu")
                    self.click_command(self.geometry(menu), command)
                self.wait_for_editor()
                target = target or self.probe("rect", EDITOR_TITLE, ID.TargetBox)
                self.click_centre(target)
                try:
                    # The click has arrived once the box has the keyboard; then what is typed.
                    self.wait_until(lambda: self.probe("focus", EDITOR_TITLE)["focus"]
                                    == ID.TargetBox, timeout=5, what="the click in the box")
                    self.type_text("7")
                    self.wait_until(lambda: "7" in self.editor_text(ID.TargetBox), timeout=5,
                                    what="the typed character in the box")
                except AssertionError:
                    missed.append((opening, command, moved, self.editor_boxes()))
                    self.screenshot(f"missed-{opening}")
                self.key("alt+F4")
                self.wait_for_editor_closed()
        self.assertEqual(missed, [], f"{len(missed)} openings did not take the click")


class UnseenButtonTest(EditingTestCase):
    def test_an_unseen_button_shows_its_caption_while_it_has_the_focus(self):
        self.start_launcher(gbk_file(LINES))
        self.sync_through_request_box("x")
        self.press_expecting_focus("Tab", ID.EntryList)
        self.assertFalse(self.window_state(ID.FocusCue)["visible"])
        for control, caption in ((ID.ReloadButton, "载入"), (ID.ClearButton, "清空"),
                                 (ID.SaveButton, "保存"), (ID.SpareButton, "Command4")):
            with self.subTest(caption):
                self.press_expecting_focus("Tab", control)
                self.wait_until(lambda: self.window_state(ID.FocusCue)["visible"],
                                what=f"the cue of {caption}")
                self.assertEqual(self.control_text(ID.FocusCue), caption)
                rect = self.window_rect(ID.FocusCue)
                launcher = self.window_rect()
                self.assertTrue(launcher["left"] <= rect["left"] < rect["right"] <= launcher["right"]
                                and launcher["top"] <= rect["top"], (rect, launcher))
                # A screen reader hears the button by its caption.
                self.assertEqual(self.accessible(control)["name"], caption)
        self.press_expecting_focus("Tab", ID.TitleStrip)
        self.wait_until(lambda: not self.window_state(ID.FocusCue)["visible"],
                        what="the cue gone with the focus")


class DockedMenuTest(DockingTestCase, EditingTestCase):
    def test_a_revealed_launcher_stays_while_its_menu_or_message_box_is_open(self):
        self.start_launcher(gbk_file(LINES * 10))
        left = (SCREEN_WIDTH - WINDOW_WIDTH) // 2
        away = (left + 200, 700)
        self.drag_to(left, 2)
        self.pointer_to(*away)
        self.wait_for_position(left, HIDDEN_TOP, "docking at the top")
        self.pointer_to(left + 200, 1)
        self.wait_for_position(left, REVEALED_TOP, "the pointer in the strip")

        # The menu of the last item in view opens below the window; the pointer goes onto it.
        last = self.window_rect(ID.EntryList)
        item_y = last["bottom"] - 4 - ITEM_HEIGHT // 2
        self.click(left + 100, item_y)
        menu = self.geometry(self.wait_until(self.find_popup, what="the entry menu"))
        self.pointer_to(menu["x"] + menu["width"] // 2, menu["y"] + menu["height"] - 5)
        self.assert_stays("the launcher hid under its open menu")
        self.key("Escape")
        self.wait_until(lambda: self.find_popup() is None, what="the menu dismissed")
        self.pointer_to(*away)
        self.wait_for_position(left, HIDDEN_TOP, "the menu closed and the pointer away")

        # The same with the question of "删除所有", which opens in the screen's middle.
        self.pointer_to(left + 200, 1)
        self.wait_for_position(left, REVEALED_TOP, "the pointer in the strip again")
        self.click(left + 100, item_y)
        menu = self.geometry(self.wait_until(self.find_popup, what="the entry menu"))
        self.click(menu["x"] + menu["width"] // 2, menu["y"] + menu["height"] * 7 // 8)
        box, _ = self.message_box("Tips")
        box_place = self.geometry(box)
        self.pointer_to(box_place["x"] + 5, box_place["y"] + box_place["height"] - 5)
        self.assert_stays("the launcher hid under its message box")
        self.answer(box, "Tips", "Escape")
        self.pointer_to(*away)
        self.wait_for_position(left, HIDDEN_TOP, "the box closed and the pointer away")
        self.assertEqual(len(self.list_items()), len(LINES) * 10)


if __name__ == "__main__":
    unittest.main(verbosity=2)
