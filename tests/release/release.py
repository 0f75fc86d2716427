"""What the release tests share: paths, the project's version and the build's tools.

CTest sets the paths (tests/release/CMakeLists.txt); without them they default to the `mingw`
preset's build folder and its CMake cache, so a test file also runs on its own:
    python3 tests/release/test_zip.py -v
"""

import os
import re
import subprocess
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from harness import EXE, WINEPREFIX, prefix_up, run, tool, wine_env, windows_path  # noqa: E402,F401


def _env_path(name, default):
    value = os.environ.get(name)
    return Path(value) if value else default


BUILD = _env_path("CORVANTIS_BUILD_DIR", REPO / "build" / "mingw")
OUTPUT = _env_path("CORVANTIS_RELEASE_OUTPUT", BUILD / "tests" / "release" / "output")
FILEVERSION = _env_path(
    "CORVANTIS_FILEVERSION", BUILD / "tests" / "release" / "fileversion.exe"
)
STARTER = REPO / "scripts" / "starter-data.txt"


def _cached(name):
    """A value of the build folder's CMake cache."""
    cache = (BUILD / "CMakeCache.txt").read_text(encoding="utf-8")
    match = re.search(rf"^{name}:\w+=(.*)$", cache, re.MULTILINE)
    if match is None:
        raise AssertionError(f"{name} is not in {BUILD / 'CMakeCache.txt'}")
    return match.group(1)


VERSION = os.environ.get("CORVANTIS_VERSION") or _cached("CMAKE_PROJECT_VERSION")
OBJDUMP = os.environ.get("CORVANTIS_OBJDUMP") or _cached("CMAKE_OBJDUMP")
RELEASE_ZIP = _env_path("CORVANTIS_RELEASE_ZIP", BUILD / f"Corvantis-{VERSION}-win64.zip")


def windows_version(version):
    """The version as Windows' version resources hold it: four numbers (1.2.3 is 1.2.3.0)."""
    numbers = version.split(".")
    return ".".join(numbers + ["0"] * (4 - len(numbers)))


def objects():
    """The object files the exe is linked from."""
    listed = os.environ.get("CORVANTIS_OBJECTS")
    if listed:
        return [Path(path) for path in listed.split(":")]
    return sorted((BUILD / "CMakeFiles" / "corvantis.dir").rglob("*.obj"))


def objdump(*args):
    return run([OBJDUMP, *args], env=dict(os.environ)).stdout.decode()


def cmake(*args, cwd=REPO, timeout=900):
    """Runs cmake; a failure shows its output."""
    result = subprocess.run(
        [tool("cmake"), *map(str, args)],
        cwd=cwd,
        stdin=subprocess.DEVNULL,
        capture_output=True,
        timeout=timeout,
    )
    if result.returncode != 0:
        raise AssertionError(
            f"cmake {' '.join(map(str, args))} failed with status {result.returncode}:\n"
            f"{result.stdout.decode(errors='replace')[-4000:]}"
            f"{result.stderr.decode(errors='replace')[-4000:]}"
        )
    return result.stdout.decode(errors="replace")
