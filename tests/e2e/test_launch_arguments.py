"""Targets with arguments: a target that names a program and more is divided as Windows divides a
command line, and the program starts with the rest as its arguments; environment variables are
expanded in both parts, the query goes into both, as typed.

The programs are copies of recorder.exe under several names and in several folders: each start
writes the path of its exe and its command line to a file of its own in the folder that
CORVANTIS_RECORDS names, which the launcher's environment sets and the programs it starts
inherit. LaunchTestCase's sentinel address says when the shell has started them all; their
records come when they have run.
"""

import shutil
import unittest

from harness import RECORDER, windows_path
from test_launch import LaunchTestCase, prefix_processes


def arguments(command_line):
    """What follows the program in a command line, as the C runtime skips the program: a quoted
    name to its closing quote, else to the first space or tab; then the spaces and tabs."""
    if command_line.startswith('"'):
        end = command_line.find('"', 1)
        rest = "" if end < 0 else command_line[end + 1 :]
    else:
        end = min((i for i in (command_line.find(" "), command_line.find("\t")) if i >= 0),
                  default=len(command_line))
        rest = command_line[end:]
    return rest.lstrip(" \t")


class ArgumentLaunchTest(LaunchTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        if not RECORDER.is_file():
            raise AssertionError(f"recorder.exe not found at {RECORDER}: build the mingw preset")

    def setUp(self):
        super().setUp()
        self.records = self.output / "records"
        self.tools = self.output / "tools"
        self.spaced = self.output / "my tools"
        self.path_folder = self.output / "search-path"
        for folder in (self.records, self.tools, self.spaced, self.path_folder):
            folder.mkdir()
        # Names that nothing else in a command line holds: a started program is seen by its
        # name, with or without its folder and extension.
        self.programs = [
            self.tools / "argrec.exe",
            self.spaced / "argrec.exe",
            self.path_folder / "onpathrec.exe",
        ]
        for program in self.programs:
            shutil.copy2(RECORDER, program)

    def start(self, lines, keywords):
        """Starts the launcher from another folder than its own, with the environment the
        targets use; a recorder beside the program is besiderec.exe."""
        environment = {
            "CORVANTIS_RECORDS": windows_path(self.records),
            "WINEPATH": windows_path(self.path_folder),
            "CORVANTIS_TOOLS": windows_path(self.spaced),
            "CORVANTIS_PROFILE": r"Z:\profiles\work",
        }
        elsewhere = self.output / "elsewhere"
        elsewhere.mkdir()
        self.start_launcher(self.entry_file(lines, keywords), cwd=elsewhere,
                            environment=environment)
        self.programs.append(self.app_dir / "besiderec.exe")
        shutil.copy2(RECORDER, self.programs[-1])

    def started(self, request):
        """(exe, arguments) of every program that request started."""
        for record in self.records.iterdir():
            record.unlink()
        before = set(prefix_processes())
        self.request(request)
        # A started program runs under its name, with or without folder and extension; just
        # after the launcher's fork, before it becomes the program, under the launcher's.
        names = [program.stem.lower() for program in self.programs] + ["corvantis.exe"]

        def running():
            return any(name in " ".join(argv).lower()
                       for key, argv in prefix_processes().items() if key not in before
                       for name in names)

        # The shell started them all before it opened the sentinel: once none runs, every
        # record is there.
        self.wait_until(lambda: not running(), what="the started programs to end")
        found = []
        for record in sorted(self.records.glob("*.started")):
            exe, command_line = record.read_text(encoding="utf-8").split("\n", 1)
            found.append((exe, arguments(command_line)))
        return found

    def test_a_program_starts_with_the_rest_of_its_target_as_arguments(self):
        tools, spaced = windows_path(self.tools), windows_path(self.spaced)
        lines = [
            f"full:{tools}\\argrec.exe --alpha beta",
            f'quoted:"{spaced}\\argrec.exe" --quoted "two words"',
            f"spaced:{spaced}\\argrec.exe --unquoted x",
            "named:onpathrec --named x",
            "beside:besiderec --relative",
            f'query:{tools}\\argrec.exe --ping {{query}} --one "{{query}}"',
            "variable-file:%CORVANTIS_TOOLS%\\argrec.exe --from-variable",
            f"variable-parameters:{tools}\\argrec.exe --profile %CORVANTIS_PROFILE%\\p"
            " --typed {query}",
        ]
        # request, (exe, arguments) started
        cases = [
            ("full", (f"{tools}\\argrec.exe", "--alpha beta")),
            ("quoted", (f"{spaced}\\argrec.exe", '--quoted "two words"')),
            ("spaced", (f"{spaced}\\argrec.exe", "--unquoted x")),
            ("named", (f"{windows_path(self.path_folder)}\\onpathrec.exe", "--named x")),
            ("beside", (f"{windows_path(self.output / 'app')}\\besiderec.exe", "--relative")),
            ("query a b", (f"{tools}\\argrec.exe", '--ping a b --one "a b"')),
            ("variable-file", (f"{spaced}\\argrec.exe", "--from-variable")),
            ("variable-parameters %CORVANTIS_PROFILE%",
             (f"{tools}\\argrec.exe", r"--profile Z:\profiles\work\p --typed %CORVANTIS_PROFILE%")),
        ]
        keywords = [request.split(" ", 1)[0] for request, _ in cases]
        self.start(lines, keywords)
        for request, expected in cases:
            with self.subTest(request=request):
                self.assertEqual(self.started(request), [expected])


if __name__ == "__main__":
    unittest.main(verbosity=2)
