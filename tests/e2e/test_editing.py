"""Entry editing: the list's menu, the editor Form2 in add and edit mode, deleting, keep-on-top.

EditingTestCase holds the gestures these tests share with test_drops.py.
"""

import os
import subprocess
import time
import unittest
from pathlib import Path

from harness import (
    BUILD,
    ID,
    STEP_TIMEOUT,
    WINDOW_TITLE,
    LauncherTestCase,
    ProbeError,
    gbk_file,
    run,
    tool,
    windows_path,
    wine_env,
    x_env,
)

EDITOR_TITLE = "Form2"
MENU = ("新增一个", "编辑它", "删除它", "删除所有")
ADD, EDIT, DELETE, DELETE_ALL = MENU
# The list's item height in pixels at 96 dpi: clicks aim at the middle of an item.
ITEM_HEIGHT = 16
# Windows gives the text of a message box's static control this id.
MESSAGE_TEXT_ID = 0xFFFF
DRAGSOURCE = Path(
    os.environ.get("CORVANTIS_DRAGSOURCE") or BUILD / "tests" / "e2e" / "dragsource.exe"
)
DRAGSOURCE_SIZE = (120, 80)

# Chinese keywords, a drive-letter target (its colon must survive the split) and a web address.
LINES = [
    "g 谷歌:https://www.google.com/search?q={query}",
    "dl 下载:D:\\Downloads\\新建",
    "笔记 note:C:\\Users\\Public\\笔记.txt",
]



def centre(rect):
    return (rect["left"] + rect["right"]) // 2, (rect["top"] + rect["bottom"]) // 2


class EditingTestCase(LauncherTestCase):
    """Gestures on the launcher's list, its menu, the editor and message boxes."""

    def click_control(self, control, window=WINDOW_TITLE):
        self.click_centre(self.probe("rect", window, control))

    def click_item(self, index, button=1):
        rect = self.window_rect(ID.EntryList)
        self.click(rect["left"] + 60, rect["top"] + ITEM_HEIGHT * index + ITEM_HEIGHT // 2, button)


    def open_menu(self, index):
        """Left click on list item index; returns the menu's X geometry."""
        self.click_item(index)
        return self.geometry(self.wait_until(self.find_popup, what="the entry menu"))

    def click_command(self, menu, command):
        """Clicks the command of the open menu whose X geometry is `menu`."""
        slot = MENU.index(command)
        x = menu["x"] + menu["width"] // 2
        y = menu["y"] + menu["height"] * (2 * slot + 1) // (2 * len(MENU))
        self.click(x, y)

    def choose(self, index, command):
        """Opens the menu on list item index and clicks the command."""
        self.click_command(self.open_menu(index), command)
        self.wait_until(lambda: self.find_popup() is None, what=f"the menu to close on {command}")

    def assert_stays_open(self, what):
        """The menu is still there a second later."""
        deadline = time.monotonic() + 1.0
        while time.monotonic() < deadline:
            self.assertIsNotNone(self.find_popup(), what)
            time.sleep(0.2)

    def editor_exists(self):
        try:
            self.probe("state", EDITOR_TITLE)
        except ProbeError as error:
            if "window not found" in str(error):
                return False
            raise
        return True

    def wait_for_editor(self):
        """Waits until Form2 shows; returns its X id."""
        return self.wait_until(lambda: self.find_window(EDITOR_TITLE), what="the editor Form2")

    def wait_for_editor_closed(self):
        self.wait_until(lambda: not self.editor_exists(), what="the editor to be unloaded")

    def editor_text(self, control):
        return self.probe("text", EDITOR_TITLE, control)["text"]

    def editor_boxes(self):
        return self.editor_text(ID.KeywordsBox), self.editor_text(ID.TargetBox)

    def wait_for_boxes(self, boxes):
        try:
            self.wait_until(lambda: self.editor_boxes() == boxes, what=f"the editor boxes {boxes}")
        except AssertionError as error:
            raise AssertionError(f"{error}; they hold {self.editor_boxes()}") from None

    def type_in_editor(self, box, text):
        """Clicks into the box and types text at its end. Typing that lost a character on the
        way in (xdotool and Wine now and then miss a Chinese one) is taken back and retyped."""
        before = self.editor_text(box)
        for attempt in range(3):
            self.click_control(box, EDITOR_TITLE)
            self.key("End")
            self.type_text(text)
            try:
                self.wait_until(
                    lambda: self.editor_text(box) == before + text,
                    timeout=5 if attempt < 2 else STEP_TIMEOUT,
                    what=f"box {box} to end in {text!r}",
                )
                return
            except AssertionError:
                if attempt == 2:
                    raise
                typed = len(self.editor_text(box)) - len(before)
                if typed > 0:
                    self.key(*["BackSpace"] * typed)

    def message_box(self, title):
        """Waits for the message box with this title; returns its X id and its text."""
        window = self.wait_until(lambda: self.find_window(title), what=f"the message box {title}")
        return window, self.probe("text", title, MESSAGE_TEXT_ID)["text"]

    def answer(self, window, title, key):
        self.xdotool("windowfocus", window)
        self.key(*key.split())
        self.wait_until(lambda: self.find_window(title) is None, what=f"{title} to close")

    def assert_back_in_the_launcher(self):
        """After the editor has closed: the launcher shows and the request box has the focus and takes
        typing. The click that closed the editor must end there: its release reaching the list
        below would pop up the entry menu, which then takes the keys."""
        self.wait_until(
            lambda: self.window_state()["visible"] and self.focused_control() == ID.RequestBox,
            what="the launcher visible with the focus in the request box",
        )
        with self.subTest("the click that closed the editor opens no menu"):
            self.xdotool("windowfocus", self.window)
            before = self.control_text(ID.RequestBox)
            self.type_text("#")
            menu = self.wait_until(
                lambda: self.find_popup() or self.control_text(ID.RequestBox) == before + "#",
                what="the typed key in the request box or an open menu",
            )
            if menu is not True:
                # Dismissed so that the test's remaining checks still run.
                self.key("Escape")
                self.wait_until(lambda: self.find_popup() is None, what="the menu dismissed")
                self.fail("the release of the click that closed the editor opened the entry menu")

    def close_launcher(self):
        """Clicks the exit image and waits until the program has ended."""
        self.click_control(ID.CloseGlyph)
        self.wait_for_exit()

    def sync_through_request_box(self, marker, click=True):
        """Types marker into the launcher's request box and waits for it: every earlier input has been
        handled by then, and no menu or modal box was in the way. click=False types without
        first clicking into the request box, a click that would also dismiss an open menu."""
        self.xdotool("windowfocus", self.window)
        if click:
            self.click_control(ID.RequestBox)
            self.key("End")
        before = self.control_text(ID.RequestBox)
        self.type_text(marker)
        self.wait_until(
            lambda: self.control_text(ID.RequestBox) == before + marker, what=f"the request box to get {marker!r}"
        )

    def start_dragsource(self, mode, *args, at=(40, 40)):
        """Starts dragsource.exe with its window at `at`; returns the process once it shows."""
        position = ["--at", *at] if mode in ("files", "lines") else list(at)
        env = wine_env(self.display)
        # Wine turns the command line into UTF-16 with the Unix locale: it must exist.
        env["LC_ALL"] = "C.UTF-8"
        return self.start_window_program([DRAGSOURCE, mode, *args, *position], "DragSource", env)

    def drag(self, target, mode, *args):
        """Drags from a new dragsource window onto the screen point target; returns the effect."""
        at = (40, 40)
        process = self.start_dragsource(mode, *args, at=at)
        source = (at[0] + DRAGSOURCE_SIZE[0] // 2, at[1] + DRAGSOURCE_SIZE[1] // 2)
        self.press_and_drag(source, target, nudge=20, pause="0.1")
        try:
            output, _ = process.communicate(timeout=STEP_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"dragsource {mode} did not end after the drop") from None
        return output.decode(errors="replace").strip()

    def press_and_drag(self, start, end, nudge, pause):
        """Presses the left button at start, moves by nudge pixels (past the drag distance), then
        on to end in two steps, and releases it there."""
        sx, sy = start
        ex, ey = end
        self.xdotool(
            "mousemove", sx, sy, "sleep", "0.2", "mousedown", "1", "sleep", "0.3",
            "mousemove", sx + nudge, sy + nudge, "sleep", pause,
            "mousemove", (sx + ex) // 2, (sy + ey) // 2, "sleep", pause,
            "mousemove", ex, ey, "sleep", "0.3",
            "mousemove", ex + 2, ey + 2, "sleep", "0.3", "mouseup", "1",
        )

    def region_signature(self, name, left, top, width, height):
        """Screenshot, and a hash of the pixels in the given screen rectangle."""
        shot = self.screenshot(name)
        crop = f"{width}x{height}+{left}+{top}"
        return run(
            [tool("convert"), shot, "-crop", crop, "+repage", "-format", "%#", "info:"],
            x_env(self.display),
        ).stdout.decode()


class EditingTest(EditingTestCase):
    def setUp(self):
        super().setUp()
        self.data = gbk_file(LINES)

    def test_left_click_on_an_item_or_an_empty_list_opens_the_menu_and_a_right_click_does_not(self):
        self.start_launcher(self.data)
        self.click_item(1, button=3)
        self.sync_through_request_box("z", click=False)
        self.assertIsNone(self.find_popup())
        self.assertFalse(self.editor_exists())

        list_rect = self.window_rect(ID.EntryList)
        menu = self.open_menu(1)
        # The menu's top-left corner is at the pointer.
        pointer = (list_rect["left"] + 60, list_rect["top"] + ITEM_HEIGHT + ITEM_HEIGHT // 2)
        self.assertLessEqual(abs(menu["x"] - pointer[0]), 2, menu)
        self.assertLessEqual(abs(menu["y"] - pointer[1]), 2, menu)
        self.screenshot("menu")
        self.xdotool("windowfocus", self.window)
        self.key("Escape")
        self.wait_until(lambda: self.find_popup() is None, what="Escape to dismiss the menu")
        self.sync_through_request_box("y")
        self.assertEqual(self.list_items(), LINES)
        self.assertFalse(self.editor_exists())
        self.assertTrue(self.window_state()["visible"])

        # On an empty list nothing is selected: edit and delete are greyed, a click on them leaves
        # the menu open and the list intact; add works.
        self.start_launcher(b"", folder="empty")
        for command in (EDIT, DELETE):
            with self.subTest(command):
                self.click_command(self.open_menu(0), command)
                self.assert_stays_open("a greyed command closed the menu")
                self.key("Escape")
                self.wait_until(lambda: self.find_popup() is None, what="the menu dismissed")
                self.sync_through_request_box(str(MENU.index(command)))
                self.assertEqual(self.list_items(), [])
                self.assertFalse(self.editor_exists())
        self.choose(0, ADD)
        self.wait_for_editor()
        self.assertEqual(self.editor_boxes(), ("", ""))
        self.assertFalse(self.window_state()["visible"])

    def test_add_puts_the_entry_on_top_and_closing_saves_it_for_the_next_start(self):
        marker = self.output / "marker.txt"
        batch = self.output / "mark.bat"
        batch.write_bytes(b"@echo off\r\necho ran>> %s\r\n" % windows_path(marker).encode())
        keywords, target = "记号 mk", windows_path(batch)
        self.start_launcher(self.data)

        self.choose(0, ADD)
        editor = self.wait_for_editor()
        self.assertFalse(self.window_state()["visible"])
        # The launcher hides once the editor has taken the foreground.
        self.wait_until(lambda: self.find_window(WINDOW_TITLE) is None, what="the launcher hidden")
        self.assertEqual(self.editor_boxes(), ("", ""))
        self.assertEqual(self.editor_text(ID.EditorTitleLabel), "添加")
        self.assertEqual(self.probe("focus", EDITOR_TITLE)["focus"], ID.KeywordsBox)
        self.assertTrue(self.probe("state", EDITOR_TITLE)["topmost"])

        self.xdotool("windowfocus", editor)
        self.type_in_editor(ID.KeywordsBox, keywords)
        self.type_in_editor(ID.TargetBox, target)
        self.check_editor_look(self.screenshot("editor"))

        self.click_control(ID.OkLabel, EDITOR_TITLE)
        self.wait_for_editor_closed()
        self.assert_back_in_the_launcher()
        line = f"{keywords}:{target}"
        self.assertEqual(self.list_items(), [line] + LINES)
        self.assertEqual(self.data_file().read_bytes(), self.data, "the editor wrote data.txt")

        self.close_launcher()
        saved = self.data_file().read_bytes()
        self.assertEqual(saved, gbk_file([line] + LINES))

        self.start_launcher(saved, folder="again")
        self.assertEqual(self.list_items(), [line] + LINES)
        # Wine drops a first key that xdotool had to map anew (a Chinese character) when it is
        # the session's first key press; an ordinary key first avoids that.
        self.key("End")
        self.type_text("记号")
        self.wait_until(lambda: self.control_text(ID.RequestBox) == "记号", what="the keyword typed")
        self.key("Return")
        self.wait_until(
            lambda: marker.is_file() and marker.read_bytes().strip() == b"ran",
            what="the new entry's batch file to write its marker",
        )

    def check_editor_look(self, shot):
        """Colours of the open editor in a screenshot, by the editor's own screen rectangle."""
        window = self.probe("rect", EDITOR_TITLE)
        ok_label = self.probe("rect", EDITOR_TITLE, ID.OkLabel)
        boxes = [self.probe("rect", EDITOR_TITLE, box) for box in (ID.KeywordsBox, ID.TargetBox)]
        panel = self.probe("rect", EDITOR_TITLE, ID.EditorPanel)

        def colours(rect):
            crop = f"{rect['width']}x{rect['height']}+{rect['left']}+{rect['top']}"
            text = run(
                [tool("convert"), shot, "-crop", crop, "+repage", "-format", "%c",
                 "histogram:info:-"],
                x_env(self.display),
            ).stdout.decode()
            counts = {}
            for line in text.splitlines():
                count, _, rest = line.strip().partition(":")
                hex_colour = next(w for w in rest.split() if w.startswith("#"))[1:7]
                counts[hex_colour.upper()] = int(count)
            return counts

        def main_colour(rect):
            counts = colours(rect)
            return max(counts, key=counts.get)

        # A strip of the panel left of the boxes, below the labels.
        panel_strip = dict(left=panel["left"] + 2, top=panel["bottom"] - 12, width=60,
                           height=8)
        self.assertEqual(main_colour(panel_strip), "FFC080")
        self.assertEqual(main_colour(ok_label), "FF8000")
        self.assertIn("404040", colours(ok_label), "the save label's grey text")
        for box in boxes:
            self.assertEqual(main_colour(box), "FFFFFF")
        # The frame runs along the window's edges.
        left, top, right, bottom = (window[k] for k in ("left", "top", "right", "bottom"))
        for name, edge in (
            ("left", dict(left=left, top=top + 40, width=1, height=80)),
            ("right", dict(left=right - 1, top=top + 40, width=1, height=80)),
            ("bottom", dict(left=left + 40, top=bottom - 1, width=300, height=1)),
        ):
            self.assertEqual(main_colour(edge), "E0E0E0", f"frame {name} edge")

    def test_save_refuses_empty_boxes_and_enter_or_escape_neither_save_nor_close(self):
        self.start_launcher(self.data)
        self.choose(0, ADD)
        self.wait_for_editor()

        # Both boxes empty: only the keyword message. The keyword alone: the target message.
        refusals = [(("", ""), "触发关键字不能为空"), (("kw", ""), "路径或者网址不能为空")]
        for boxes, message in refusals:
            with self.subTest(boxes=boxes):
                if boxes[0]:
                    self.type_in_editor(ID.KeywordsBox, boxes[0])
                self.click_control(ID.OkLabel, EDITOR_TITLE)
                box, text = self.message_box("Corvantis")
                self.assertEqual(text, message)
                self.answer(box, "Corvantis", "Return")
                # Typing reaches the editor again only when no second box is up.
                self.type_in_editor(ID.TargetBox, "t")
                self.assertIsNone(self.find_window("Corvantis"))
                self.assertEqual(self.editor_boxes(), (boxes[0], "t"))
                self.click_control(ID.TargetBox, EDITOR_TITLE)
                self.key("End", "BackSpace")
                self.wait_for_boxes(boxes)
        self.assertEqual(self.list_items(), LINES)

        self.type_in_editor(ID.TargetBox, "notepad.exe")
        for box in (ID.TargetBox, ID.KeywordsBox):
            self.click_control(box, EDITOR_TITLE)
            self.key("End", "Return", "Escape", "KP_Enter")
        self.type_in_editor(ID.KeywordsBox, "!")
        self.assertEqual(self.editor_boxes(), ("kw!", "notepad.exe"))
        self.assertEqual(self.list_items(), LINES)
        self.assertFalse(self.window_state()["visible"])

        # The same editor still saves with its save label.
        self.click_control(ID.OkLabel, EDITOR_TITLE)
        self.wait_for_editor_closed()
        self.assert_back_in_the_launcher()
        self.assertEqual(self.list_items(), ["kw!:notepad.exe"] + LINES)

    def test_edit_shows_the_entry_split_at_its_first_colon_and_save_replaces_it_in_place(self):
        self.start_launcher(self.data)
        self.choose(1, EDIT)
        self.wait_for_editor()
        self.assertEqual(self.editor_boxes(), ("dl 下载", "D:\\Downloads\\新建"))
        self.assertTrue(self.window_state()["visible"], "edit mode hides the launcher")
        self.assertEqual(self.editor_text(ID.EditorTitleLabel), "添加")

        self.type_in_editor(ID.KeywordsBox, " 盘")
        self.type_in_editor(ID.TargetBox, "\\文档")
        self.click_control(ID.OkLabel, EDITOR_TITLE)
        self.wait_for_editor_closed()
        self.assert_back_in_the_launcher()
        edited = [LINES[0], "dl 下载 盘:D:\\Downloads\\新建\\文档", LINES[2]]
        self.assertEqual(self.list_items(), edited)
        self.assertEqual(self.data_file().read_bytes(), self.data)

        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), gbk_file(edited))

    def test_edit_closed_unsaved_keeps_the_list_and_the_close_writes_nothing_new(self):
        self.start_launcher(self.data)
        aged = self.age_data_file()
        self.choose(1, EDIT)
        self.wait_for_editor()
        self.type_in_editor(ID.KeywordsBox, "x")
        self.click_control(ID.EditorCloseGlyph, EDITOR_TITLE)
        self.wait_for_editor_closed()
        self.assert_back_in_the_launcher()
        self.assertEqual(self.list_items(), LINES)

        # The list is marked changed, but what the close would write is what the file holds.
        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), self.data)
        self.assertEqual(self.data_file().stat().st_mtime_ns, aged, "data.txt rewritten")

    def test_delete_removes_the_item_and_the_file_follows_when_the_launcher_closes(self):
        self.start_launcher(self.data)
        aged = self.age_data_file()
        self.choose(1, DELETE)
        remaining = [LINES[0], LINES[2]]
        self.wait_until(lambda: self.list_items() == remaining, what="the second item removed")
        self.assertEqual(self.data_file().read_bytes(), self.data, "written before closing")
        self.assertFalse(self.editor_exists())

        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), gbk_file(remaining))
        self.assertNotEqual(self.data_file().stat().st_mtime_ns, aged)
        self.assert_no_stray_files()

    def test_closing_an_unchanged_list_leaves_data_file_untouched(self):
        self.start_launcher(self.data)
        aged = self.age_data_file()
        # Reloading doubles the list without marking it changed: closing must not write it.
        self.press_expecting_focus("Tab", ID.EntryList)
        self.press_expecting_focus("Tab", ID.ReloadButton)
        self.key("space")
        self.wait_until(lambda: self.list_items() == LINES + LINES, what="the reloaded list")

        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), self.data)
        self.assertEqual(self.data_file().stat().st_mtime_ns, aged)

    def test_delete_all_asks_first_and_ok_empties_list_and_file_at_once(self):
        self.start_launcher(self.data)
        self.choose(0, DELETE_ALL)
        box, text = self.message_box("Tips")
        self.assertEqual(text, "Do you want to delete all ?")
        self.answer(box, "Tips", "Escape")
        self.sync_through_request_box("c")
        self.assertEqual(self.list_items(), LINES)
        self.assertEqual(self.data_file().read_bytes(), self.data)

        self.choose(0, DELETE_ALL)
        box, _ = self.message_box("Tips")
        self.answer(box, "Tips", "Return")
        self.wait_until(lambda: self.list_items() == [], what="the list emptied")
        self.wait_until(
            lambda: self.data_file().read_bytes() == b"\r\n", what="data.txt holding only CR LF"
        )
        self.assert_launcher_running()

        # Delete all leaves the list unmarked: closing does not write the file again.
        aged = self.age_data_file()
        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), b"\r\n")
        self.assertEqual(self.data_file().stat().st_mtime_ns, aged)

    def test_keep_on_top_click_raises_the_launcher_above_a_newer_topmost_window(self):
        self.start_launcher(gbk_file(LINES * 10))
        list_rect = self.window_rect(ID.EntryList)
        area = (list_rect["left"] + 150, list_rect["top"] + 150, 100, 60)
        uncovered = self.region_signature("uncovered", *area)
        # DragSource is topmost too, and newer: it covers the list until the launcher is raised.
        self.start_dragsource("none", at=(area[0] - 10, area[1] - 10))
        self.wait_until(
            lambda: self.region_signature("covered", *area) != uncovered,
            what="the DragSource window over the list",
        )
        rect = self.window_rect()

        # Activating the launcher by a click elsewhere does not raise it.
        self.click_control(ID.RequestBox)
        self.wait_until(lambda: self.probe("focus")["active"], what="the launcher active")
        self.assertNotEqual(self.region_signature("activated", *area), uncovered)

        for click in (1, 2):
            with self.subTest(click=click):
                self.click_control(ID.KeepOnTopGlyph)
                self.wait_until(
                    lambda: self.region_signature(f"kept_on_top_{click}", *area) == uncovered,
                    what="the launcher above DragSource",
                )
                state = self.window_state()
                self.assertTrue(state["topmost"] and state["visible"], state)
                self.assertEqual(self.window_rect(), rect)
        self.assertIsNone(self.find_popup())
        self.assertEqual(self.list_items(), LINES * 10)


if __name__ == "__main__":
    unittest.main(verbosity=2)
