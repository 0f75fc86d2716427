"""Where targets lead: a relative target is found beside the program, and a web search reaches
the site with exactly the text typed.

The browser hook here also writes each address it receives, as Wine hands it over, to a log:
the decoded form that LaunchTestCase reports cannot tell an encoded "&" from a bare one.
"""

import unittest
import urllib.parse

from harness import windows_path
from test_launch import HOOK, SENTINEL_URL, LaunchTestCase


class LaunchTargetTest(LaunchTestCase):
    def setUp(self):
        super().setUp()
        self.received = self.output / "received-addresses.txt"
        HOOK.write_text(
            "#!/bin/sh\n"
            f"printf '%s\\n' \"$1\" >> '{self.received}'\n"
            f"while [ ! -e '{self.release}' ]; do sleep 0.05; done\n"
        )

    def marking_batch(self, folder, marker):
        """notes\\mark.bat in folder: creates marker, then waits for the release file."""
        path = folder / "notes" / "mark.bat"
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(
            f"@echo off\r\necho ran> {windows_path(marker)}\r\n"
            f":wait\r\nif not exist {windows_path(self.release)} goto wait\r\n".encode()
        )

    def test_a_relative_target_opens_beside_the_program_when_started_elsewhere(self):
        elsewhere = self.output / "elsewhere"
        beside, decoy = self.output / "beside.ran", self.output / "elsewhere.ran"
        self.marking_batch(elsewhere, decoy)
        self.start_launcher(self.entry_file(["rel:notes\\mark.bat"], ["rel"]), cwd=elsewhere)
        self.marking_batch(self.app_dir, beside)

        self.assertEqual(self.request("rel").batches, ["mark.bat"])
        self.assertTrue(beside.is_file(), "the batch file beside the program did not run")
        self.assertFalse(decoy.is_file(), "the batch file in the working directory ran")

    def test_the_site_receives_exactly_the_typed_query(self):
        lines = ["ddg:https://duckduckgo.com/?q={query}", "gh:https://github.com/{query}"]
        self.start_launcher(self.entry_file(lines, ["ddg", "gh"]))

        self.request("ddg C# AT&T 1+1")
        self.request("gh owner/repo")
        received = [
            urllib.parse.urlsplit(address)
            for address in self.received.read_text().splitlines()
            if address != SENTINEL_URL
        ]
        self.assertEqual(len(received), 2, received)
        search, repository = received
        self.assertEqual(search.netloc, "duckduckgo.com")
        self.assertEqual(urllib.parse.parse_qs(search.query), {"q": ["C# AT&T 1+1"]})
        self.assertEqual(search.fragment, "")
        self.assertEqual(
            repository.netloc + urllib.parse.unquote(repository.path), "github.com/owner/repo"
        )


if __name__ == "__main__":
    unittest.main(verbosity=2)
