"""data.txt keeps every entry: outside edits and other copies are merged, an unreadable file is
never replaced blindly, untouched lines keep their bytes, and the editor saves where it should."""

import os
import re
import shutil
import subprocess
import unittest

from harness import (
    EXE,
    ID,
    START_TIMEOUT,
    STEP_TIMEOUT,
    WINDOW_TITLE,
    gbk_file,
    wait_until,
    windows_path,
)
from test_editing import (
    ADD,
    DELETE,
    EDIT,
    EDITOR_TITLE,
    LINES,
    EditingTestCase,
    centre,
)

UNREADABLE = "无法读取 data.txt，列表暂时为空。\n文件中的条目不会丢失：文件可以读取后，列表会显示它们。"
SAVE_FAILED = "无法保存 {path}：{cause}。修改尚未写入。\n请解决后再试一次。"
CLOSE_SAVE_FAILED = (
    "无法保存 {path}：{cause}。修改尚未写入。\n\n"
    "重试：解决后再保存一次。\n"
    "不保存退出：data.txt 保持原样，列表另存为新文件 {copy}，然后退出。\n"
    "取消：继续运行，列表保留。"
)
READ_ONLY = "文件或其所在文件夹是只读的"
IN_USE = "文件正被其他程序占用"


class DataSafetyTest(EditingTestCase):
    def add_entry(self, keywords, target):
        self.choose(0, ADD)
        self.wait_for_editor()
        self.type_in_editor(ID.KeywordsBox, keywords)
        self.type_in_editor(ID.TargetBox, target)
        self.click_control(ID.OkLabel, EDITOR_TITLE)
        self.wait_for_editor_closed()

    def test_an_outside_edit_survives_a_list_change_and_close(self):
        self.start_launcher(gbk_file(LINES))
        self.choose(0, DELETE)
        self.wait_until(lambda: self.list_items() == LINES[1:], what="the first entry deleted")
        outside = "outside:C:\\outside.txt"
        with open(self.data_file(), "ab") as data:
            data.write(gbk_file([outside]))
        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), gbk_file(LINES[1:] + [outside]))

    def test_a_file_locked_at_start_then_released_keeps_all_its_entries(self):
        folder = self.output / "locked"
        folder.mkdir()
        (folder / "data.txt").write_bytes(gbk_file(LINES))
        locker = self.lock(folder / "data.txt")
        self.start_launcher(None, folder="locked")
        box, text = self.message_box("Corvantis")
        self.assertEqual(text, UNREADABLE)
        # A second start meanwhile is answered by the running copy, which brings the question
        # forward, and ends.
        second = self.start_again(folder)
        self.assertEqual(second.wait(timeout=STEP_TIMEOUT), 0, "the second start's exit status")
        self.assertTrue(self.probe("focus", "Corvantis")["foreground"], "the question went behind")
        self.answer(box, "Corvantis", "Return")
        self.assertEqual(self.list_items(), [])

        locker.stdin.close()
        locker.wait(timeout=STEP_TIMEOUT)
        self.add_entry("new", "C:\\new.txt")
        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), gbk_file(["new:C:\\new.txt"] + LINES))

    def test_a_utf8_file_without_mark_keeps_every_untouched_line_byte_for_byte(self):
        lines = ["猫:https://zh.wikipedia.org/wiki/猫", "dl 下载:D:\\Downloads\\新建", "g:https://g.cn/?q={query}"]
        data = "".join(line + "\r\n" for line in lines).encode("utf-8")
        self.start_launcher(data)
        self.assertEqual(self.list_items(), lines)
        self.choose(2, DELETE)
        self.wait_until(lambda: self.list_items() == lines[:2], what="the last entry deleted")
        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), data[: data.rindex(b"g:")])

    def test_a_drop_of_several_lines_adds_exactly_one_entry(self):
        self.start_launcher(gbk_file(LINES))
        page = "https://example.com/page"
        self.drag(centre(self.window_rect(ID.EntryList)), "lines", page, "g:C:\\Windows\\System32\\calc.exe")
        self.wait_for_editor()
        self.wait_for_boxes(("", page))
        self.type_in_editor(ID.KeywordsBox, "ex")
        self.click_control(ID.OkLabel, EDITOR_TITLE)
        self.wait_for_editor_closed()
        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), gbk_file([f"ex:{page}"] + LINES))

    def test_the_editor_saves_into_the_entry_it_was_opened_on_after_the_menu_was_used_on_another(self):
        self.start_launcher(gbk_file(LINES))
        self.choose(1, EDIT)
        self.wait_for_editor()
        keywords, target = LINES[1].split(":", 1)
        self.wait_for_boxes((keywords, target))
        # The launcher stays visible in edit mode: the menu opened on another item and dismissed.
        self.open_menu(2)
        self.key("Escape")
        self.wait_until(lambda: self.find_popup() is None, what="the menu dismissed")
        self.type_in_editor(ID.TargetBox, "\\更新")
        self.click_control(ID.OkLabel, EDITOR_TITLE)
        self.wait_for_editor_closed()
        expected = [LINES[0], f"{keywords}:{target}\\更新", LINES[2]]
        self.assertEqual(self.list_items(), expected)
        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), gbk_file(expected))

    def start_with_a_deletion_and_the_file_locked(self):
        """Starts the launcher, deletes the first entry and has another program hold data.txt, so
        that a write of it fails; returns that program."""
        self.start_launcher(gbk_file(LINES))
        self.choose(0, DELETE)
        self.wait_until(lambda: self.list_items() == LINES[1:], what="the first entry deleted")
        return self.lock(self.data_file())

    def test_a_failed_save_from_the_save_button_says_so_and_keeps_the_list(self):
        locker = self.start_with_a_deletion_and_the_file_locked()
        self.sync_through_request_box("x")  # the focus in the request box, where the tab order starts
        for key, control in [("Tab", ID.EntryList), ("Tab", ID.ReloadButton),
                             ("Tab", ID.ClearButton), ("Tab", ID.SaveButton)]:
            self.press_expecting_focus(key, control)
        self.key("space")
        box, text = self.message_box("Corvantis")
        self.assertEqual(text, SAVE_FAILED.format(path=windows_path(self.data_file()), cause=IN_USE))
        self.answer(box, "Corvantis", "Return")
        self.assertEqual(self.list_items(), LINES[1:])
        locker.stdin.close()
        locker.wait(timeout=STEP_TIMEOUT)
        self.assertEqual(self.data_file().read_bytes(), gbk_file(LINES))

    def close_failing(self, cause):
        """Clicks the close glyph on a launcher whose save fails; returns the question, checked,
        and the path of the file it offers to keep the list in."""
        self.click_control(ID.CloseGlyph)
        box, text = self.message_box("Corvantis")
        copy = re.search(r"列表另存为新文件 (.*)，然后退出", text)
        self.assertIsNotNone(copy, text)
        self.assertEqual(text, CLOSE_SAVE_FAILED.format(
            path=windows_path(self.data_file()), cause=cause, copy=copy.group(1)))
        return box, copy.group(1)

    def test_a_failed_save_on_close_brings_the_launcher_back_and_a_later_close_saves(self):
        locker = self.start_with_a_deletion_and_the_file_locked()
        box, _ = self.close_failing(IN_USE)
        self.answer(box, "Corvantis", "Return")  # "取消", the default
        self.assertIsNone(self.launcher.poll(), "the launcher ended with its change unsaved")
        self.wait_until(lambda: self.window_state()["visible"], what="the launcher shown again")
        self.assertEqual(self.list_items(), LINES[1:])
        locker.stdin.close()
        locker.wait(timeout=STEP_TIMEOUT)
        self.assertEqual(self.data_file().read_bytes(), gbk_file(LINES))
        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), gbk_file(LINES[1:]))
        self.assert_no_stray_files()

    def test_a_close_outwaits_a_scanner_that_holds_data_txt_for_a_moment(self):
        self.start_launcher(gbk_file(LINES))
        self.choose(0, DELETE)
        self.wait_until(lambda: self.list_items() == LINES[1:], what="the first entry deleted")
        # As a virus scanner or indexer holds it: readable, but not to be replaced meanwhile.
        scanner = self.lock(self.data_file(), scan=True)
        self.click_control(ID.CloseGlyph)
        # It lets go once the close's save has written the new file and is putting it in place.
        wait_until(
            lambda: any(p.name.endswith(".corvantis.tmp") for p in self.app_dir.iterdir()),
            STEP_TIMEOUT,
            "the save's new file beside data.txt",
            interval=0.01,
        )
        scanner.stdin.close()
        scanner.wait(timeout=STEP_TIMEOUT)
        self.wait_for_exit("the launcher to end once the scanner let go")
        self.assertEqual(self.data_file().read_bytes(), gbk_file(LINES[1:]))
        self.assert_no_stray_files()

    def test_a_file_emptied_just_before_the_close_keeps_every_entry_left(self):
        lines = [f"k{i} 条目{i}:C:\\Tools\\t{i}.txt" for i in range(30)]
        self.start_launcher(gbk_file(lines))
        self.choose(0, DELETE)
        self.wait_until(lambda: self.list_items() == lines[1:], what="the first entry deleted")
        # Emptied in place, as an editor begins to write it anew.
        with open(self.data_file(), "r+b") as data:
            data.truncate(0)
        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), gbk_file(lines[1:]))

    def test_a_mixed_file_keeps_each_line_as_it_reads(self):
        # A UTF-8 line in a GBK file: each shows as the text it is, and the untouched one keeps
        # its bytes when the other goes.
        self.start_launcher(b"a:\xE4\xB8\xAD\r\nb:\xD6\xD0\r\n")
        self.assertEqual(self.list_items(), ["a:中", "b:中"])
        self.choose(1, DELETE)
        self.wait_until(lambda: self.list_items() == ["a:中"], what="the second entry deleted")
        self.close_launcher()
        self.assertEqual(self.data_file().read_bytes(), b"a:\xE4\xB8\xAD\r\n")

    def test_a_read_only_file_is_left_as_it_is_and_the_close_offers_to_keep_the_list_apart(self):
        # Read-only for Windows programs under Wine: no write permission for anyone, which root
        # would otherwise write through.
        self.start_launcher(gbk_file(LINES))
        self.choose(0, DELETE)
        self.wait_until(lambda: self.list_items() == LINES[1:], what="the first entry deleted")
        os.chmod(self.data_file(), 0o444)
        box, copy = self.close_failing(READ_ONLY)
        self.answer(box, "Corvantis", "Return")  # "取消", the default
        self.assertEqual(self.list_items(), LINES[1:])
        self.assertEqual(self.data_file().read_bytes(), gbk_file(LINES))
        self.assert_no_stray_files()

        # "不保存退出", beside "取消": the program ends, and the list is in the file it named.
        box, copy = self.close_failing(READ_ONLY)
        self.assertEqual(copy.rsplit("\\", 1)[0], windows_path(self.app_dir))
        self.answer(box, "Corvantis", "shift+Tab space")
        self.wait_for_exit("the launcher to end without writing data.txt")
        self.assertEqual(self.data_file().read_bytes(), gbk_file(LINES))
        kept = self.app_dir / copy.rsplit("\\", 1)[1]
        self.assertEqual(kept.read_bytes(), gbk_file(LINES[1:]))

    def start_second_copy(self, folder):
        """Starts a copy of the launcher in output/<folder>, beside the first; returns it once
        both windows show."""
        exe = self.output / folder / EXE.name
        shutil.copy2(EXE, exe)
        copy = self.start_window_program([exe], WINDOW_TITLE, stdout=subprocess.DEVNULL)

        def both_showing():
            found = self.xdotool("search", "--onlyvisible", "--name", f"^{WINDOW_TITLE}$")
            return len(found.split()) == 2

        self.wait_until(both_showing, START_TIMEOUT, "the second copy's window")
        return copy

    def test_two_copies_reaching_one_file_through_links_closed_together_keep_both_changes(self):
        # A symbolic link names the file; hard links are the file, which must stay one.
        for kind, link in (("symbolic", os.symlink), ("hard", os.link)):
            with self.subTest(kind):
                shared = self.output / f"{kind}-shared"
                shared.mkdir()
                (shared / "entries.txt").write_bytes(gbk_file(LINES))
                for folder in ("one", "two"):
                    (self.output / f"{kind}-{folder}").mkdir()
                    link(shared / "entries.txt", self.output / f"{kind}-{folder}" / "data.txt")
                self.start_launcher(None, folder=f"{kind}-one")
                self.choose(0, DELETE)
                self.wait_until(lambda: self.list_items() == LINES[1:], what="copy one's deletion")

                second = self.start_second_copy(f"{kind}-two")
                # The second copy's window is the newer, on top: the probe and the clicks reach it.
                self.wait_until(lambda: self.list_items() == LINES, what="copy two's list")
                self.choose(2, DELETE)
                self.wait_until(lambda: self.list_items() == LINES[:2], what="copy two's deletion")

                # Both asked to close at once, as `taskkill` asks every window of a program.
                self.assertEqual(self.probe("close", WINDOW_TITLE)["closed"], 2)
                wait_until(lambda: self.launcher.poll() is not None and second.poll() is not None,
                           STEP_TIMEOUT, "both copies to end")
                self.assertEqual((shared / "entries.txt").read_bytes(), gbk_file([LINES[1]]))
                for folder in ("one", "two"):
                    data = self.output / f"{kind}-{folder}" / "data.txt"
                    self.assertTrue(data.is_symlink() if kind == "symbolic"
                                    else data.samefile(shared / "entries.txt"))
                self.assertEqual(sorted(p.name for p in shared.iterdir()), ["entries.txt"])

if __name__ == "__main__":
    unittest.main(verbosity=2)
