"""Chinese text on its way out of Wine, and the starter entry file that scripts/run.sh installs.

Wine hands file names and the address for the browser to Linux in the Linux locale's charset.
Under a zh_CN.UTF-8 that is not installed that charset is ASCII and every Chinese character
becomes "?": a target with a Chinese name is not found, a Chinese search word reaches the browser
as "?". scripts/setup.sh generates the locale; these tests fail without it.

Targets are batch files that leave a marker file as they run, so a test sees that the file was
found and ran, not only that the shell was asked for it.
"""

import unittest

from harness import (
    REPO,
    LauncherTestCase,
    gbk_file,
    windows_path,
)
from test_launch import SENTINEL_URL, LaunchTestCase

STARTER = REPO / "scripts" / "starter-data.txt"
UTF8_BOM = b"\xef\xbb\xbf"


def utf8_file(lines):
    """The bytes of an entry file in UTF-8 after a byte-order mark, with CR LF line ends."""
    return UTF8_BOM + b"".join(line.encode("utf-8") + b"\r\n" for line in lines)


class ChineseNameTest(LaunchTestCase):
    def marked_batch(self, relative, marker):
        """Windows path of a batch file at targets/<relative> that creates the file `marker`,
        then waits for the release file."""
        path = self.targets / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(
            f"@echo off\r\n"
            f"echo ran> {windows_path(marker)}\r\n"
            f":wait\r\n"
            f"if not exist {windows_path(self.release)} goto wait\r\n".encode()
        )
        return windows_path(path)

    def check_targets_open(self, relatives, encode):
        """Binds keyword tN to the Nth target, writes data.txt with encode, and checks that each
        keyword runs its own target and nothing else."""
        keywords = [f"t{i}" for i in range(len(relatives))]
        markers = [self.targets / f"{keyword}.ran" for keyword in keywords]
        lines = [
            f"{keyword}:{self.marked_batch(relative, marker)}"
            for keyword, relative, marker in zip(keywords, relatives, markers)
        ]
        self.lines = lines + [f"{' '.join(keywords)}:{SENTINEL_URL}"]
        self.start_launcher(encode(self.lines))
        for keyword, relative, marker in zip(keywords, relatives, markers):
            with self.subTest(target=relative):
                launches = self.request(keyword)
                self.assertEqual(launches.addresses, [])
                self.assertEqual(launches.batches, [relative.rsplit("/", 1)[-1]])
                # The request waits for the target to end, and the target writes first.
                self.assertTrue(marker.is_file(), f"{relative} was not found, or did not run")

    def test_target_whose_path_holds_chinese_opens_from_a_gbk_entry_file(self):
        self.check_targets_open(
            [
                "猫咪.bat",  # Chinese file name
                "中文目录/run.bat",  # Chinese folder name
                "我的 脚本.bat",  # Chinese and a space
            ],
            gbk_file,
        )

    def test_target_named_beyond_gbk_opens_from_a_utf8_entry_file(self):
        # Hangul is not in GBK, and the cat lies beyond the Basic Multilingual Plane (a UTF-16
        # surrogate pair): only the UTF-8 form of data.txt holds them.
        self.check_targets_open(["한글 😺.bat"], utf8_file)

    def test_chinese_search_words_reach_the_browser_intact(self):
        self.start_launcher(self.entry_file(["bd:https://www.baidu.com/s?wd={query}"], ["bd"]))
        cases = [
            ("bd 猫", "https://www.baidu.com/s?wd=猫"),
            ("bd 北京 天安门", "https://www.baidu.com/s?wd=北京 天安门"),
        ]
        for request, expected in cases:
            with self.subTest(request=request):
                self.enter_chinese_request(request)
                launches = self.confirm()
                self.assertEqual(launches.addresses, [expected])
                self.assertEqual(launches.batches, [])

    def enter_chinese_request(self, text):
        """enter_request, retyping when xdotool and Wine lost a Chinese character on the way."""
        for attempt in range(3):
            try:
                self.enter_request(text)
                return
            except AssertionError:
                if attempt == 2:
                    raise


class StarterEntryFileTest(LauncherTestCase):
    def test_starter_entry_file_lists_its_chinese_keywords_under_any_code_page(self):
        data = STARTER.read_bytes()
        self.assertTrue(data.startswith(UTF8_BOM), f"{STARTER} must start with a byte-order mark")
        lines = data[len(UTF8_BOM) :].decode("utf-8").split("\r\n")
        self.assertEqual(lines.pop(), "", f"{STARTER} must end each line with CR LF")
        self.assertFalse(all(line.isascii() for line in lines), "no Chinese keyword to check")

        # locale (its name sets the ANSI code page): a Chinese and a Western Windows
        for locale in ("zh_CN.UTF-8", "en_US.UTF-8"):
            with self.subTest(locale=locale):
                self.start_launcher(data, folder=f"starter-{locale}", locale=locale)
                self.assertEqual(self.list_items(), lines)

        # The same lines in GBK read wrong under en_US: the locale did change the code page.
        self.start_launcher(gbk_file(lines), folder="gbk-en_US", locale="en_US.UTF-8")
        self.assertNotEqual(self.list_items(), lines)


if __name__ == "__main__":
    unittest.main(verbosity=2)
