"""What a screen reader reads of the launcher, from another process through the accessible objects
(MSAA): every entry of the list by its text with its state, and the controls by their names."""

import unittest

from harness import ID, gbk_file
from test_editing import ADD, EDITOR_TITLE, EditingTestCase

ROLE_SYSTEM_LIST, ROLE_SYSTEM_LISTITEM = 0x21, 0x22
# A Chinese entry, an empty line, a line of 300 characters, and enough more that some are out of
# view.
LINES = (
    ["g 谷歌:https://www.google.com/search?q={query}", "", "长" * 150 + ":" + "x" * 149]
    + [f"k{i}:C:\\目录\\{i}.txt" for i in range(40)]
)


class ScreenReaderTest(EditingTestCase):
    def test_the_list_reads_every_entry_by_its_text_and_the_selected_one(self):
        self.start_launcher(gbk_file(LINES))
        read = self.accessible(ID.EntryList, items=True)
        self.assertEqual(read["name"], "条目列表")
        self.assertEqual(read["role"], ROLE_SYSTEM_LIST)
        self.assertEqual(read["items"], LINES)
        self.assertEqual(read["itemRole"], ROLE_SYSTEM_LISTITEM)
        self.assertEqual(read["selected"], [])
        self.assertIn(len(LINES) - 1, read["offscreen"])
        self.assertNotIn(0, read["offscreen"])
        self.assertEqual((read["first"], read["last"]), (1, len(LINES)))
        self.assertEqual(read["location"], read["client"])
        self.assertTrue(read["borderHit"], "a point on the border is outside the list")

        # A click selects an item (and opens the menu, dismissed here): the reader hears it.
        self.open_menu(2)
        self.key("Escape")
        self.wait_until(lambda: self.find_popup() is None, what="the menu dismissed")
        read = self.wait_until(
            lambda: (r := self.accessible(ID.EntryList, items=True))["selected"] == [2] and r,
            what="the third entry read as selected",
        )
        self.assertEqual(read["focused"], [2])
        self.assertEqual(len(read["items"][2]), 300)

    def test_an_empty_list_has_no_first_or_last_child(self):
        self.start_launcher(gbk_file([]))
        read = self.accessible(ID.EntryList, items=True)
        self.assertEqual((read["count"], read["first"], read["last"]), (0, 0, 0))

    def test_the_controls_are_named_by_their_tips_and_labels(self):
        self.start_launcher(gbk_file(LINES[:1]))
        names = {
            ID.RequestBox: "输入触发关键字,按enter键执行.备注：多个关键字用空格隔开",
            ID.KeepOnTopGlyph: "置顶",
            ID.CloseGlyph: "退出",
        }
        for control, name in names.items():
            with self.subTest(control=control):
                self.assertEqual(self.accessible(control)["name"], name)
        self.choose(0, ADD)
        self.wait_for_editor()
        for control, name in ((ID.KeywordsBox, "触发关键字"), (ID.TargetBox, "路径/网址")):
            with self.subTest(control=control):
                self.assertEqual(self.accessible(control, EDITOR_TITLE)["name"], name)


if __name__ == "__main__":
    unittest.main(verbosity=2)
