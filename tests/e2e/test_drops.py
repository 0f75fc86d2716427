"""OLE drops on the launcher's list and on the editor's target box, from dragsource.exe."""

import unittest

from harness import ID, gbk_file
from test_editing import ADD, EDITOR_TITLE, ITEM_HEIGHT, LINES, EditingTestCase, centre

# Chinese and a character outside the Basic Multilingual Plane: both must arrive unchanged.
DROPPED_TEXT = "链接 https://例子.cn/?q=1 😀"
DROPPED_FILES = ("Z:\\tmp\\第一个.txt", "Z:\\tmp\\second.txt", "Z:\\tmp\\third.txt")


class DropTest(EditingTestCase):
    def test_drop_on_the_list_opens_the_add_editor_with_its_text_or_first_path_or_is_ignored(self):
        cases = [
            ("text", ("text", DROPPED_TEXT), DROPPED_TEXT),
            ("three files", ("files", *DROPPED_FILES), DROPPED_FILES[0]),
            ("neither text nor files", ("none",), None),
        ]
        for number, (name, drag, target) in enumerate(cases):
            with self.subTest(name):
                self.start_launcher(gbk_file(LINES), folder=f"case{number}")
                effect = self.drag(centre(self.window_rect(ID.EntryList)), *drag)
                if target is None:
                    self.assertEqual(effect, "none")
                    self.sync_through_request_box("n")
                    self.assertFalse(self.editor_exists())
                    self.assertTrue(self.window_state()["visible"])
                else:
                    self.wait_for_editor()
                    self.wait_for_boxes(("", target))
                    self.assertFalse(self.window_state()["visible"], "add mode shows the launcher")
                self.assertEqual(self.list_items(), LINES)

    def test_an_item_dragged_off_the_list_carries_its_line_and_its_release_opens_no_menu(self):
        # Dropped back on the list itself, the line arrives as the target of a new entry: the
        # press selected the item, the move started the drag and the release ended it.
        self.start_launcher(gbk_file(LINES))
        rect = self.window_rect(ID.EntryList)
        x, y = rect["left"] + 60, rect["top"] + ITEM_HEIGHT + ITEM_HEIGHT // 2
        self.xdotool(
            "mousemove", x, y, "sleep", "0.2", "mousedown", "1", "sleep", "0.3",
            "mousemove", x + 20, y + 40, "sleep", "0.2",
            "mousemove", x + 40, y + 80, "sleep", "0.3",
            "mousemove", x + 42, y + 82, "sleep", "0.3", "mouseup", "1",
        )
        self.wait_for_editor()
        self.wait_for_boxes(("", LINES[1]))
        self.assertIsNone(self.find_popup(), "the release that ended the drag opened the menu")
        self.assertEqual(self.list_items(), LINES)

    def test_drop_on_the_editor_target_box_replaces_it_and_keeps_the_keywords(self):
        self.start_launcher(gbk_file(LINES))
        self.choose(0, ADD)
        self.wait_for_editor()
        self.type_in_editor(ID.KeywordsBox, "kw 关键")
        self.type_in_editor(ID.TargetBox, "old")

        target_box = centre(self.probe("rect", EDITOR_TITLE, ID.TargetBox))
        for name, drag, target in (
            ("text", ("text", DROPPED_TEXT), DROPPED_TEXT),
            ("three files", ("files", *DROPPED_FILES), DROPPED_FILES[0]),
        ):
            with self.subTest(name):
                self.drag(target_box, *drag)
                self.wait_for_boxes(("kw 关键", target))
                self.assertFalse(self.window_state()["visible"])

        # Data offering neither leaves the box alone; typing shows the editor still answers.
        self.assertEqual(self.drag(target_box, "none"), "none")
        self.type_in_editor(ID.KeywordsBox, "!")
        self.assertEqual(self.editor_boxes(), ("kw 关键!", DROPPED_FILES[0]))

        self.click_control(ID.OkLabel, EDITOR_TITLE)
        self.wait_for_editor_closed()
        self.assert_back_in_the_launcher()
        self.assertEqual(self.list_items(), [f"kw 关键!:{DROPPED_FILES[0]}"] + LINES)


if __name__ == "__main__":
    unittest.main(verbosity=2)
