"""The entry list and the editor from the keyboard and for dragging: the entry menu opened with
Shift+F10 or the context-menu key, and the editor's target box selection dragged out."""

import os
import subprocess
import unittest
from pathlib import Path

from harness import BUILD, ID, STEP_TIMEOUT, gbk_file
from test_editing import EDIT, EDITOR_TITLE, LINES, EditingTestCase, centre

DROPTARGET = Path(
    os.environ.get("CORVANTIS_DROPTARGET") or BUILD / "tests" / "e2e" / "droptarget.exe"
)
DROPTARGET_AT, DROPTARGET_SIZE = (40, 40), (120, 80)

# The list box's client area starts inside its sunken edge.
LIST_EDGE = 2
ITEM_HEIGHT = 16


class MenuKeyTest(EditingTestCase):
    def open_menu_by_key(self, key):
        self.key(key)
        return self.geometry(self.wait_until(self.find_popup, what=f"the entry menu after {key}"))

    def test_menu_keys_open_the_menu_below_the_selected_item_and_arrows_choose(self):
        self.start_launcher(gbk_file(LINES))
        list_rect = self.window_rect(ID.EntryList)
        left, top = list_rect["left"] + LIST_EDGE, list_rect["top"] + LIST_EDGE
        self.press_expecting_focus("Tab", ID.EntryList)

        # Nothing selected yet: the menu sits at the list's corner, and delete deletes nothing.
        menu = self.open_menu_by_key("shift+F10")
        self.assertLessEqual(abs(menu["x"] - left) + abs(menu["y"] - top), 2, menu)
        self.key("Down", "Down", "Down", "Return")
        self.wait_until(lambda: self.find_popup() is None, what="the menu to close")
        self.sync_through_request_box("n")
        self.assertEqual(self.list_items(), LINES)

        # The pointer away from the request box, whose tooltip would pass for a menu.
        self.xdotool("mousemove", 5, 5)
        self.wait_until(lambda: self.find_popup() is None, what="the tooltip to go")
        self.press_expecting_focus("Tab", ID.EntryList)
        self.key("Home", "Down")
        menu = self.open_menu_by_key("Menu")
        self.assertLessEqual(abs(menu["x"] - left) + abs(menu["y"] - (top + 2 * ITEM_HEIGHT)), 2)
        self.key("Escape")
        self.wait_until(lambda: self.find_popup() is None, what="Escape to dismiss the menu")

        menu = self.open_menu_by_key("shift+F10")
        self.assertLessEqual(abs(menu["x"] - left) + abs(menu["y"] - (top + 2 * ITEM_HEIGHT)), 2)
        self.screenshot("menu-from-the-keyboard")
        self.key("Down", "Down", "Down", "Return")
        self.wait_until(
            lambda: self.list_items() == [LINES[0], LINES[2]], what="the selected item deleted"
        )

    def test_a_typed_character_selects_the_next_item_it_starts(self):
        # Each lookup reads only the first character of each line; a GBK line is decoded for it.
        self.start_launcher(gbk_file(LINES))
        list_rect = self.window_rect(ID.EntryList)
        left, top = list_rect["left"] + LIST_EDGE, list_rect["top"] + LIST_EDGE
        self.press_expecting_focus("Tab", ID.EntryList)
        for typed, index in [("d", 1), ("笔", 2), ("G", 0)]:
            self.type_text(typed)
            menu = self.open_menu_by_key("shift+F10")
            below = top + (index + 1) * ITEM_HEIGHT
            self.assertLessEqual(abs(menu["x"] - left) + abs(menu["y"] - below), 2, (typed, menu))
            self.key("Escape")
            self.wait_until(lambda: self.find_popup() is None, what="Escape to dismiss the menu")


class TargetBoxDragTest(EditingTestCase):
    def start_droptarget(self):
        """Starts droptarget.exe at DROPTARGET_AT; returns the process once its window shows."""
        return self.start_window_program([DROPTARGET, *DROPTARGET_AT], "DropTarget")

    def test_the_target_box_selection_drags_out_as_unicode_and_ansi_text(self):
        if not DROPTARGET.is_file():
            self.skipTest(f"droptarget.exe not found at {DROPTARGET}: build the mingw preset")
        self.start_launcher(gbk_file(LINES))
        target = "C:\\Users\\Public\\笔记.txt"
        self.choose(2, EDIT)
        editor = self.wait_for_editor()
        self.wait_for_boxes(("笔记 note", target))
        droptarget = self.start_droptarget()

        # All of the target but ".txt" selected; the press lands on its first character.
        self.xdotool("windowfocus", editor)
        self.click_control(ID.TargetBox, EDITOR_TITLE)
        self.key("Home", "shift+End", *["shift+Left"] * 4)
        box = self.probe("rect", EDITOR_TITLE, ID.TargetBox)
        on_selection = (box["left"] + 6, centre(box)[1])
        self.press_and_drag(
            on_selection,
            (DROPTARGET_AT[0] + DROPTARGET_SIZE[0] // 2, DROPTARGET_AT[1] + DROPTARGET_SIZE[1] // 2),
            nudge=10,
            pause="0.2",
        )
        try:
            output, _ = droptarget.communicate(timeout=STEP_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise AssertionError("no drop reached DropTarget") from None
        selected = target[: -len(".txt")]
        self.assertEqual(
            output.decode("utf-8").splitlines(), [f"unicode:{selected}", f"ansi:{selected}"]
        )

        # Dropped back on its own box, the selection replaces nothing.
        self.press_and_drag(on_selection, (box["right"] - 12, centre(box)[1]), nudge=10, pause="0.2")
        self.type_in_editor(ID.KeywordsBox, "!")
        self.assertEqual(self.editor_boxes(), ("笔记 note!", target))


if __name__ == "__main__":
    unittest.main(verbosity=2)
