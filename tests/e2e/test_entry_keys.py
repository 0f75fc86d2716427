"""The entry list and the editor from the keyboard and for dragging: the entry menu opened with
Shift+F10 or the context-menu key, and the editor's target box selection dragged out."""

import unittest

from harness import ID, gbk_file
from test_editing import LINES, EditingTestCase

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
        self.sync_through_text1("n")
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


if __name__ == "__main__":
    unittest.main(verbosity=2)
