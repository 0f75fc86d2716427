"""The Chinese guide quotes what the user sees on screen exactly as the program shows it."""

import re
import unittest

from release import REPO

GUIDE = REPO / "README.zh-CN.md"
TEXTS = REPO / "src" / "app" / "texts.h"

# The texts of Windows itself that the guide quotes (Explorer, SmartScreen, a shortcut's
# properties, the message box's buttons), as Simplified Chinese Windows 10 and 11 show them.
WINDOWS_TEXTS = {
    "全部解压缩",
    "Windows 已保护你的电脑",
    "更多信息",
    "仍要运行",
    "发送到",
    "桌面快捷方式",
    "显示更多选项",
    "属性",
    "快捷方式",
    "快捷键",
    "确定",
    "在当前位置创建快捷方式",
}


def program_texts():
    """Every line of every text in texts.h (a message box shows each line of a text apart)."""
    literals = re.findall(r'L"((?:[^"\\]|\\.)*)"', TEXTS.read_text(encoding="utf-8"))
    return {line for literal in literals for line in literal.split("\\n")}


class GuideTest(unittest.TestCase):
    def test_quoted_texts_are_the_programs_own_or_windows(self):
        quoted = set(re.findall(r"“([^”]*)”", GUIDE.read_text(encoding="utf-8")))
        self.assertIn("新增一个", quoted, "the guide quotes no menu command")
        self.assertEqual(quoted - program_texts() - WINDOWS_TEXTS, set())


if __name__ == "__main__":
    unittest.main()
