"""What a screen reader reads of the launcher, from another process through the accessible objects
(MSAA): every entry of the list by its whole text with its state, also one drawn cut short, and
the controls by their names."""

import re
import unittest
from collections import Counter

from harness import ID, gbk_file, run, tool, x_env
from test_editing import ADD, EDITOR_TITLE, ITEM_HEIGHT, EditingTestCase

ROLE_SYSTEM_LIST, ROLE_SYSTEM_LISTITEM = 0x21, 0x22
# A Chinese entry, an empty line, a line of 400 characters (far wider than the list), and enough
# more that some are out of view.
LONG = 2
LINES = (
    ["g 谷歌:https://www.google.com/search?q={query}", "", "长" * 150 + ":" + "x" * 249]
    + [f"k{i}:C:\\目录\\{i}.txt" for i in range(40)]
)
# The list's client area within its window rectangle: a 2-pixel edge, and the scroll bar.
EDGE, SCROLL_BAR = 2, 16
# At most this wide and high, in pixels, each dot of the ellipsis.
DOT = 3


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
        # On screen the long line ends in "…": its last three marks are dots. (A mark as high as
        # the row is an edge of the list.)
        marks = [(w, h) for w, h in self.row_marks(LONG) if h < ITEM_HEIGHT]
        self.assertGreater(len(marks), 3, "the line is not drawn")
        self.assertTrue(all(w <= DOT and h <= DOT for w, h in marks[-3:]), marks[-4:])

        # A click selects an item (and opens the menu, dismissed here): the reader hears it.
        self.open_menu(LONG)
        self.key("Escape")
        self.wait_until(lambda: self.find_popup() is None, what="the menu dismissed")
        read = self.wait_until(
            lambda: (r := self.accessible(ID.EntryList, items=True))["selected"] == [LONG] and r,
            what="the third entry read as selected",
        )
        self.assertEqual(read["focused"], [LONG])
        self.assertEqual(len(read["items"][LONG]), 400)

    def row_marks(self, index):
        """The marks drawn in a row of the list, left to right, each as its width and height in
        pixels: a run of columns holding ink, apart from the next by a column without."""
        rect = self.window_rect(ID.EntryList)
        width = rect["right"] - rect["left"] - 2 * EDGE - SCROLL_BAR
        top = rect["top"] + EDGE + ITEM_HEIGHT * index
        pixels = run(
            [tool("convert"), self.screenshot(f"row{index}"), "-crop",
             f"{width}x{ITEM_HEIGHT}+{rect['left'] + EDGE}+{top}", "+repage",
             "-colorspace", "gray", "-depth", "8", "gray:-"],
            x_env(self.display),
        ).stdout
        background = Counter(pixels).most_common(1)[0][0]
        inked = [{y for y in range(ITEM_HEIGHT) if pixels[y * width + x] != background}
                 for x in range(width)]
        runs = re.finditer("1+", "".join("1" if rows else "0" for rows in inked))
        return [(len(rows), max(set().union(*rows)) - min(set().union(*rows)) + 1)
                for rows in (inked[r.start() : r.end()] for r in runs)]

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
