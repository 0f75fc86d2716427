#!/usr/bin/env python3
"""Writes the zip that Windows users download: the program, a starter entry file and the guide.

    python3 tools/make_release_zip.py EXE ZIP

CMake's `package` target runs it (scripts/package.sh) with the exe it built and the zip's name,
Corvantis-<version>-win64.zip. The zip holds, in this order:

    corvantis.exe      the program
    data.txt           scripts/starter-data.txt byte for byte, the file scripts/run.sh installs
    README.zh-CN.txt   the Chinese guide, README.zh-CN.md as Notepad shows it right: UTF-8 with a
                       byte-order mark, CR LF line ends

The guide is made from README.zh-CN.md rather than kept as a second copy, so the two never say
different things. It is for a Windows user reading it in Notepad, so it stops where the Markdown
turns to building from source and to Linux (an HTML comment, GUIDE_END, marks the place), and
it holds no Markdown mark: headings are underlined instead of marked with `#`, code loses its
backticks, code blocks their fences (they are indented instead), pictures and lines that merely
link to another file of the repository are left out, and other links to its files become their
text. The Markdown keeps each paragraph on one line (a line break inside Chinese text shows as a
space on a web page); the guide breaks them to fit Notepad's window, which does not wrap by
default. Its name is ASCII because Windows' own zip folders read entry names in the system's
code page, not as UTF-8: a Chinese name would show garbled there.

The same inputs give the same zip, byte for byte: a fixed order, one fixed timestamp, no owner or
permission bits, zlib's deflate at a fixed level. Standard library only.
"""

import re
import sys
import unicodedata
import zipfile
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
STARTER = REPO / "scripts" / "starter-data.txt"
GUIDE = REPO / "README.zh-CN.md"

EXE_NAME = "corvantis.exe"
STARTER_NAME = "data.txt"
GUIDE_NAME = "README.zh-CN.txt"

# Every entry's date: the earliest a zip can hold, so nothing of the build's time gets in.
ENTRY_TIME = (1980, 1, 1, 0, 0, 0)
COMPRESSION_LEVEL = 9
# Entry names and attributes as an MS-DOS/Windows archiver writes them: no Unix mode bits.
MSDOS = 0

BOM = "\ufeff"
# Where the Markdown turns to what concerns only those who build from source or run on Linux.
GUIDE_END = re.compile(r"^<!-- 发布包里的说明到此为止")
CODE_FENCE = "```"
# A heading, and the character that underlines it in the guide, by its level.
HEADING = re.compile(r"^(#+) +(.*)$")
UNDERLINES = {1: "=", 2: "=", 3: "-"}
CODE_INDENT = "    "
# A link to another file of the repository: [text](target) with a target that is not a URL.
FILE_LINK = re.compile(r"\[([^\]]*)\]\((?![a-z]+:)[^)]*\)")
PICTURE = re.compile(r"^!\[[^\]]*\]\([^)]*\)$")

# Columns of the guide's lines; a Chinese character takes two.
LINE_WIDTH = 76
WIDE = "WFA"  # East Asian widths that take two columns in a Chinese font
# Where a line may break: at spaces and around a Chinese character, but not inside a word,
# `code` or a “quoted text”, so that what the screen shows reads whole.
BREAK_UNIT = re.compile(r"`[^`]*`|“[^”]*”|\s+|[!-~]+|.")
# Chinese line breaking: these never begin a line, those never end one.
NO_LINE_START = set("，。、：；！？）》」』”’")
NO_LINE_END = set("（《「『“‘")
# A list item's marker: its continuation lines are indented to the item's text.
ITEM_MARKER = re.compile(r" *(?:- |\d+\. )?")


def columns(text):
    return sum(2 if unicodedata.east_asian_width(c) in WIDE else 1 for c in text)


def break_units(text):
    """The text cut where a line may break, spaces being units of their own; code without its
    backticks."""
    units = []
    for unit in BREAK_UNIT.findall(text):
        unit = unit.strip("`") if unit.startswith("`") else unit
        glued = units and not unit.isspace() and not units[-1].isspace()
        if glued and (unit[0] in NO_LINE_START or units[-1][-1] in NO_LINE_END):
            units[-1] += unit
        else:
            units.append(unit)
    return units


def wrapped(line):
    """The line broken into lines of at most LINE_WIDTH columns (a longer unit stays whole)."""
    marker = ITEM_MARKER.match(line).group()
    lines, current, space, empty = [], marker, "", True
    for unit in break_units(line[len(marker) :]):
        if unit.isspace():
            space = unit
            continue
        if not empty and columns(current + space + unit) > LINE_WIDTH:
            lines.append(current)
            current, space = " " * len(marker), ""
        current += space + unit
        space, empty = "", False
    lines.append(current)
    return lines


def guide_text(markdown):
    """The guide as plain text, from the Markdown of README.zh-CN.md."""
    lines = []
    in_code = False
    for line in markdown.splitlines():
        if GUIDE_END.match(line):
            break
        if line.startswith(CODE_FENCE):
            in_code = not in_code
            continue
        if in_code:
            lines.append(CODE_INDENT + line if line else line)
            continue
        if PICTURE.match(line) or (line and not FILE_LINK.sub("", line).strip()):
            continue
        heading = HEADING.match(line)
        if heading:
            title = "".join(break_units(heading.group(2)))
            lines += [title, UNDERLINES[len(heading.group(1))] * columns(title)]
            continue
        lines.extend(wrapped(FILE_LINK.sub(r"\1", line)))
    # The left-out lines may leave two empty lines in a row, or one at the top.
    text = re.sub(r"\n{3,}", "\n\n", "\n".join(lines).strip("\n") + "\n")
    return BOM + text.replace("\n", "\r\n")


def entry(name):
    info = zipfile.ZipInfo(name, ENTRY_TIME)
    info.create_system = MSDOS
    info.external_attr = 0
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def write_zip(exe, output):
    contents = [
        (EXE_NAME, exe.read_bytes()),
        (STARTER_NAME, STARTER.read_bytes()),
        (GUIDE_NAME, guide_text(GUIDE.read_text(encoding="utf-8")).encode("utf-8")),
    ]
    # Written beside the target and renamed over it: a failed run leaves no half-written zip.
    partial = output.with_name(output.name + ".partial")
    with zipfile.ZipFile(partial, "w") as archive:
        for name, data in contents:
            archive.writestr(entry(name), data, compresslevel=COMPRESSION_LEVEL)
    partial.replace(output)


def main():
    if len(sys.argv) != 3:
        print(f"usage: {sys.argv[0]} EXE ZIP", file=sys.stderr)
        return 64
    exe, output = Path(sys.argv[1]), Path(sys.argv[2])
    write_zip(exe, output)
    print(f"make_release_zip: wrote {output}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
