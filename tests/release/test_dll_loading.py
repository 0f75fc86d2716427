"""Where the exe's DLLs come from: an exe run from the Downloads folder must load no DLL that was
planted beside it.

Windows takes a DLL that the exe imports from the program's folder first, unless the DLL is one
of the system's known DLLs; so the exe imports only those, and loads every other DLL (the
delay-loaded ones) later, after the first thing it does, which points every later load at
System32 alone. Wine does not load a planted DLL for these names anyway, so instead of planting
one the tests read the exe's import table and the object code of its entry point.
"""

import re
import unittest
from pathlib import Path

from release import EXE, REPO, objdump, objects

# The known DLLs of Windows 10 and 11 (the registry key HKLM\SYSTEM\CurrentControlSet\Control\
# Session Manager\KnownDLLs), less the WOW64 ones: Windows maps them from System32 whatever lies
# beside the program.
KNOWN_DLLS = {
    f"{name}.dll"
    for name in """advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32
    kernel32 msctf msvcrt normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore
    shell32 shlwapi user32 wldap32 ws2_32""".split()
}


def delay_loaded():
    """The DLLs the MinGW build delay-loads: one import definition each in cmake/delay_load/."""
    names = set()
    for definition in (REPO / "cmake" / "delay_load").glob("*.def"):
        match = re.search(r"^LIBRARY\s+(\S+)", definition.read_text(), re.MULTILINE)
        names.add(match.group(1).lower())
    return names


def imported_dlls(exe):
    return {name.lower() for name in re.findall(r"DLL Name: (\S+)", objdump("-p", exe))}


def entry_point_code():
    """Disassembly of wWinMain, one instruction a line, each call followed by its target."""
    for path in objects():
        if re.search(r"\bwWinMain\b", objdump("-t", path)):
            text = objdump("-dr", "--disassemble=wWinMain", path)
            # Relocations listed before the function's own label belong to other code.
            return text[text.index("<wWinMain>:") :]
    raise AssertionError(f"no object file defines wWinMain: {objects()}")


def calls(code):
    """Each call instruction of the disassembly with its target: the symbol its relocation
    names (the import's __imp_ pointer for a call through the import table)."""
    lines = code.splitlines()
    found = []
    for index, line in enumerate(lines):
        if re.search(r"\tcall\s", line):
            following = lines[index + 1] if index + 1 < len(lines) else ""
            relocation = re.search(r"IMAGE_REL_AMD64_\w+\s+(\S+)", following)
            found.append((index, relocation.group(1) if relocation else line.strip()))
    return found


class DllLoadingTest(unittest.TestCase):
    def test_exe_imports_only_known_dlls_and_none_of_the_delay_loaded(self):
        imports = imported_dlls(EXE)
        delayed = delay_loaded()
        self.assertIn("kernel32.dll", imports, "objdump listed no imports as expected")
        self.assertIn("comctl32.dll", delayed, "cmake/delay_load/ lists no DLLs as expected")
        self.assertEqual(imports - KNOWN_DLLS, set(), "imports Windows may take from beside it")
        # The delay-loaded ones would cost their load at every start.
        self.assertEqual(imports & delayed, set(), "delay-loaded DLLs imported directly")

    def test_entry_point_first_sets_dll_search_to_system32(self):
        code = entry_point_code()
        # A frame larger than a page is probed by ___chkstk_ms first: that loads nothing.
        made = [(index, target) for index, target in calls(code) if target != "___chkstk_ms"]
        self.assertTrue(made, f"no calls found in wWinMain:\n{code}")
        index, first = made[0]
        self.assertEqual(
            first,
            "__imp_SetDefaultDllDirectories",
            f"wWinMain's first calls: {[target for _, target in made[:4]]}",
        )
        # LOAD_LIBRARY_SEARCH_SYSTEM32, passed in ecx.
        before = "\n".join(code.splitlines()[:index])
        self.assertRegex(before, r"mov\s+\$0x800,%ecx", "the argument is not 0x800")


if __name__ == "__main__":
    unittest.main()
