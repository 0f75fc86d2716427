"""The release zip: what it holds, the version its exe reports, and that the same sources give the
same zip, byte for byte."""

import codecs
import os
import shutil
import sys
import unittest
import zipfile

from release import (
    BUILD,
    EXE,
    FILEVERSION,
    OUTPUT,
    RELEASE_ZIP,
    REPO,
    STARTER,
    VERSION,
    WINEPREFIX,
    cmake,
    prefix_up,
    run,
    tool,
    windows_path,
    windows_version,
    wine_env,
)

sys.path.insert(0, str(REPO / "tools"))
from make_release_zip import LINE_WIDTH, columns  # noqa: E402

NAMES = ["corvantis.exe", "data.txt", "README.zh-CN.txt"]
# What Notepad needs to read a file right on every Windows: a byte-order mark, CR LF line ends.
TEXT_FILES = ["data.txt", "README.zh-CN.txt"]
# What a Windows user looks for in the guide, each a heading of its own, in this order.
GUIDE_SECTIONS = [
    "安装和启动",
    "添加程序、文件夹和网页搜索",
    "使用",
    "停靠在屏幕边缘",
    "条目保存在哪里：备份和同步",
    "快捷键和开机启动",
    "SmartScreen 的警告和卸载",
]


def build_zip(build_dir):
    """Builds the `package` target of a configured build folder; returns the zip's bytes."""
    cmake("--build", build_dir, "--target", "package", "--parallel", os.cpu_count() or 2)
    return (build_dir / RELEASE_ZIP.name).read_bytes()


def read_zip(path):
    """Entry names and contents, in the zip's order (reading checks each entry's CRC)."""
    with zipfile.ZipFile(path) as archive:
        return {info.filename: archive.read(info) for info in archive.infolist()}


class ReleaseZipTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(OUTPUT, ignore_errors=True)
        OUTPUT.mkdir(parents=True)
        cls.zip_bytes = build_zip(BUILD)
        if not (WINEPREFIX / "system.reg").exists():
            prefix_up()

    def test_zip_holds_the_program_the_starter_file_and_the_guide(self):
        self.assertEqual(RELEASE_ZIP.name, f"Corvantis-{VERSION}-win64.zip")
        entries = read_zip(RELEASE_ZIP)
        self.assertEqual(list(entries), NAMES)
        self.assertEqual(entries["corvantis.exe"], EXE.read_bytes())
        self.assertEqual(entries["data.txt"], STARTER.read_bytes())
        for name in TEXT_FILES:
            with self.subTest(name):
                data = entries[name]
                self.assertTrue(data.startswith(codecs.BOM_UTF8), "no byte-order mark")
                rest = data[len(codecs.BOM_UTF8) :].decode("utf-8").replace("\r\n", "")
                self.assertFalse({"\r", "\n"} & set(rest), "a line ends without CR LF")

    def test_guide_is_plain_text_that_fits_notepad(self):
        guide = read_zip(RELEASE_ZIP)["README.zh-CN.txt"].decode("utf-8-sig")
        lines = guide.splitlines()
        self.assertIn("Corvantis", lines[0])
        for mark in ("#", "`", "](", "![", "<!--", "scripts/", "Linux"):
            self.assertNotIn(mark, guide, "Markdown, or what concerns no Windows user")
        # A heading is its line underlined.
        headings = [line for line, under in zip(lines, lines[1:]) if set(under) in ({"="}, {"-"})]
        self.assertEqual([h for h in headings if h in GUIDE_SECTIONS], GUIDE_SECTIONS)
        # Code examples (indented) keep their lines whole; prose fits the width.
        long = [
            line
            for line in guide.splitlines()
            if columns(line) > LINE_WIDTH and not line.startswith("    ")
        ]
        self.assertEqual(long, [])

    def test_exe_reports_the_project_version(self):
        folder = OUTPUT / "version"
        folder.mkdir()
        with zipfile.ZipFile(RELEASE_ZIP) as archive:
            archive.extract("corvantis.exe", folder)
        # Starting a Wine process now and then fails outright (status 1, nothing printed) on a
        # loaded machine: that says nothing about the exe, so it is tried again.
        for _ in range(3):
            result = run(
                [tool("wine"), FILEVERSION, windows_path(folder / "corvantis.exe")],
                wine_env(),
                check=False,
            )
            if result.stdout or result.returncode != 1:
                break
        output = result.stdout.decode("utf-8")
        self.assertEqual(result.returncode, 0, f"fileversion: {output}")
        values = dict(line.split("=", 1) for line in output.splitlines())
        names = ("file", "product", "FileVersion", "ProductVersion")
        self.assertEqual(values, dict.fromkeys(names, windows_version(VERSION)))

    def test_same_sources_give_the_same_zip(self):
        # A second build from a copy of the sources in another folder, from scratch: nothing of
        # the time or the place of a build may reach the zip.
        sources = OUTPUT / "rebuild"
        ignored = shutil.ignore_patterns("build", ".git", "__pycache__")
        shutil.copytree(REPO, sources, ignore=ignored)
        cmake("--preset", "mingw", "--log-level=WARNING", cwd=sources)
        rebuilt = build_zip(sources / "build" / "mingw")
        if rebuilt != self.zip_bytes:
            first = read_zip(RELEASE_ZIP)
            second = read_zip(sources / "build" / "mingw" / RELEASE_ZIP.name)
            differing = [name for name in first if first[name] != second.get(name)]
            self.fail(f"the zips differ; entries that differ: {differing or 'none (headers)'}")
        shutil.rmtree(sources)


if __name__ == "__main__":
    unittest.main()
