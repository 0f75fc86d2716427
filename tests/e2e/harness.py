"""End-to-end harness: runs corvantis.exe under Wine on a private Xvfb and drives it with xdotool.

Tests derive from LauncherTestCase. Each test method gets its own X server (1280x800x24) and an
output folder; start_launcher() copies the exe into a folder of its own beside a given data.txt
and starts it. probe.exe, run in the same Wine prefix, reads the launcher's windows from outside.

Paths come from the environment that CTest sets (tests/e2e/CMakeLists.txt) and default to the
`mingw` preset's build folder, so a test file also runs on its own:
    python3 tests/e2e/test_startup.py -v

Fixture commands, run by CTest once per run:
    python3 harness.py prefix-up     create the shared Wine prefix (wineboot -i)
    python3 harness.py prefix-down   end its processes and remove it
"""

import ctypes
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import time
import types
import unittest
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
BUILD = REPO / "build" / "mingw"
SHARED_DATA = REPO.parent / "shared" / "data"


def _path_from_env(name, default):
    value = os.environ.get(name)
    return Path(value) if value else default


EXE = _path_from_env("CORVANTIS_EXE", BUILD / "corvantis.exe")
LOCKER = _path_from_env("CORVANTIS_LOCKER", BUILD / "tests" / "e2e" / "locker.exe")
PROBE = _path_from_env("CORVANTIS_PROBE", BUILD / "tests" / "e2e" / "probe.exe")
RECORDER = _path_from_env("CORVANTIS_RECORDER", BUILD / "tests" / "e2e" / "recorder.exe")
WINEPREFIX = _path_from_env("CORVANTIS_WINEPREFIX", BUILD / "tests" / "e2e" / "wineprefix")
OUTPUT = _path_from_env("CORVANTIS_E2E_OUTPUT", BUILD / "tests" / "e2e" / "output")

SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 800
WINDOW_TITLE = "Form1"

# Generous deadlines: Wine and Xvfb are slow on a loaded machine. Polls end as soon as the
# condition holds, so a long deadline costs nothing when things work.
START_TIMEOUT = 45
STEP_TIMEOUT = 20
COMMAND_TIMEOUT = 60
BOOT_TIMEOUT = 240

# Wine takes the program's ANSI code page from the locale's name: 936 (GBK) for this one.
WINE_LOCALE = "zh_CN.UTF-8"


def _control_ids():
    """Control ids as the program defines them in src/app/control_ids.h (kRequestBox -> ID.RequestBox)."""
    header = (REPO / "src" / "app" / "control_ids.h").read_text(encoding="utf-8")
    pairs = re.findall(r"\bk(\w+)\s*=\s*(\d+)\s*;", header)
    return types.SimpleNamespace(**{name: int(value) for name, value in pairs})


ID = _control_ids()


def tool(name):
    path = shutil.which(name)
    if path is None:
        raise RuntimeError(f"{name} not found on PATH: run scripts/setup.sh")
    return path


def wine_env(display=None, locale=WINE_LOCALE):
    """Environment for Wine processes: the shared prefix, quiet, GBK (code page 936)."""
    env = dict(os.environ)
    env.update(
        WINEPREFIX=str(WINEPREFIX),
        WINEDEBUG="-all",
        LC_ALL=locale,
        # A fresh prefix would otherwise offer to download Mono and Gecko, and wait for a click.
        WINEDLLOVERRIDES="mscoree,mshtml=",
    )
    if display is None:
        env.pop("DISPLAY", None)
    else:
        env["DISPLAY"] = display
    return env


def x_env(display):
    """Environment for X clients: a locale that exists, so xdotool can type non-ASCII text."""
    env = dict(os.environ)
    env.update(DISPLAY=display, LC_ALL="C.UTF-8")
    return env


def run(args, env, timeout=COMMAND_TIMEOUT, check=True):
    try:
        result = subprocess.run(
            [str(a) for a in args],
            env=env,
            stdin=subprocess.DEVNULL,
            capture_output=True,
            timeout=timeout,
        )
    except subprocess.TimeoutExpired:
        raise AssertionError(f"{args[0]} did not finish within {timeout} s: {args}") from None
    if check and result.returncode != 0:
        raise AssertionError(
            f"{args} failed with exit status {result.returncode}\n"
            f"stdout: {result.stdout.decode(errors='replace')}\n"
            f"stderr: {result.stderr.decode(errors='replace')}"
        )
    return result


def wait_until(predicate, timeout, what, check=None, interval=0.1):
    """Polls predicate until it returns a true value, which is returned.

    Exceptions from predicate count as "not yet" and the last one is reported on timeout.
    check, when given, runs between polls and raises when waiting longer is pointless.
    """
    deadline = time.monotonic() + timeout
    last = None
    while True:
        try:
            value = predicate()
            if value:
                return value
            last = f"last value: {value!r}"
        except (AssertionError, RuntimeError, ValueError, OSError) as error:
            last = f"last error: {error}"
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}; {last}")
        if check is not None:
            check()
        time.sleep(interval)


def wineserver_stop(env):
    """Ends every process of the prefix and waits until its wineserver has saved and exited."""
    run([tool("wineserver"), "-k"], env, check=False)
    run([tool("wineserver"), "-w"], env, check=False)


def prefix_up():
    shutil.rmtree(WINEPREFIX, ignore_errors=True)
    WINEPREFIX.parent.mkdir(parents=True, exist_ok=True)
    env = wine_env()
    started = time.monotonic()
    run([tool("wineboot"), "-i"], env, timeout=BOOT_TIMEOUT)
    # A crashing program must end, not wait behind winedbg's dialog; the backtrace goes to
    # the test's Wine log instead.
    run(
        [tool("wine"), "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog",
         "/t", "REG_DWORD", "/d", "0", "/f"],
        env,
    )
    run([tool("wineserver"), "-w"], env, timeout=BOOT_TIMEOUT)
    if not (WINEPREFIX / "system.reg").exists():
        raise AssertionError(f"wineboot -i left no prefix at {WINEPREFIX}")
    print(f"Wine prefix {WINEPREFIX} ready in {time.monotonic() - started:.1f} s")


def prefix_down():
    if WINEPREFIX.exists():
        wineserver_stop(wine_env())
        shutil.rmtree(WINEPREFIX, ignore_errors=True)
    print(f"Wine prefix {WINEPREFIX} removed")


def _die_with_parent():
    # PR_SET_PDEATHSIG: a test killed by the CTest timeout takes its X server with it.
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)


class XServer:
    """A private X server on a display number that it picks itself (-displayfd)."""

    name = "X server"

    def __init__(self, command):
        read_end, write_end = os.pipe()
        try:
            self.process = subprocess.Popen(
                [*command, "-displayfd", str(write_end), "-nolisten", "tcp"],
                pass_fds=(write_end,),
                stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL,
                preexec_fn=_die_with_parent,
            )
            os.close(write_end)
            write_end = None
            number = b""
            deadline = time.monotonic() + START_TIMEOUT
            while not number.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(remaining, 0))
                chunk = os.read(read_end, 16) if ready else b""
                if not chunk:
                    self.stop()
                    raise AssertionError(f"{self.name} did not report a display number")
                number += chunk
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        self.display = f":{number.decode().strip()}"

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


class Xvfb(XServer):
    """One screen of the given size."""

    name = "Xvfb"

    def __init__(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT):
        super().__init__([tool("Xvfb"), "-screen", "0", f"{width}x{height}x24"])


# Xvfb places every screen at 0,0; the dummy video driver lets xrandr put monitors side by side.
DUMMY_XORG_CONFIG = """\
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual {width} {height}
    EndSubSection
EndSection
"""

# The second monitor: 1024 x 768 beside the 1280 x 800 primary, as Windows places monitors.
SECOND_MONITOR = (1024, 768)
SECOND_MODE = ["63.50", "1024", "1072", "1176", "1328", "768", "771", "775", "798",
               "-hsync", "+vsync"]


class TwoMonitorXorg(XServer):
    """Two monitors, as Wine sees them: the primary 1280 x 800 at 0,0 and a second one of
    1024 x 768 to its right, at 1280,0, its top edge level with the primary's."""

    name = "Xorg"

    def __init__(self, folder):
        width, height = SECOND_MONITOR
        config = folder / "xorg.conf"
        config.write_text(
            DUMMY_XORG_CONFIG.format(width=SCREEN_WIDTH + width, height=SCREEN_HEIGHT)
        )
        super().__init__([tool("Xorg"), "-config", str(config), "-noreset",
                          "-logfile", str(folder / "xorg.log")])
        env = x_env(self.display)
        mode = f"{width}x{height}_60"
        for command in (
            ["--output", "DUMMY0", "--mode", f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}", "--pos", "0x0"],
            ["--newmode", mode, *SECOND_MODE],
            ["--addmode", "DUMMY1", mode],
            ["--output", "DUMMY1", "--mode", mode, "--right-of", "DUMMY0"],
            ["--output", "DUMMY0", "--primary"],
            # A query polls the outputs: until then the dummy driver reports the second one
            # disconnected to whoever reads the current configuration without polling, as Wine does.
            [],
        ):
            run([tool("xrandr"), *command], env)


class ProbeError(AssertionError):
    pass


def stop_process(process):
    if process.poll() is None:
        process.kill()
    process.communicate()


def windows_path(path):
    """The path as Wine's programs see it: Z: is the Linux root."""
    return "Z:" + str(path).replace("/", "\\")


def gbk_file(lines, line_end=b"\r\n"):
    """The bytes of an entry file: every line in GBK, each followed by line_end."""
    return b"".join(line.encode("gbk") + line_end for line in lines)


def bangs_file():
    """Path of the shared real-world entry file, or None when it is not there."""
    path = SHARED_DATA / "bangs.txt"
    return path if path.is_file() else None


class LauncherTestCase(unittest.TestCase):
    maxDiff = None
    # Set when the launcher's window did not come up: the class's later tests fail at once
    # instead of each waiting out the start deadline.
    start_failure = None

    @classmethod
    def setUpClass(cls):
        for name in ("wine", "wineserver", "wineboot", "Xvfb", "xdotool", "import"):
            tool(name)
        for path, what in ((EXE, "the launcher"), (PROBE, "probe.exe")):
            if not path.is_file():
                raise AssertionError(
                    f"{what} not found at {path}: build it with "
                    "`cmake --preset mingw && cmake --build --preset mingw`"
                )
        if not (WINEPREFIX / "system.reg").exists():
            prefix_up()

    def setUp(self):
        name = re.sub(r"[^\w.-]+", "_", self.id().split(".", 1)[-1])
        self.output = OUTPUT / name
        shutil.rmtree(self.output, ignore_errors=True)
        self.output.mkdir(parents=True)
        self.x_server = self.start_x_server()
        self.addCleanup(self.x_server.stop)
        self.display = self.x_server.display
        self.launcher = None
        self.app_dir = None
        self.window = None

    def start_x_server(self):
        """The test's own X server: one screen, unless a test class needs another desktop."""
        return Xvfb()

    def start_window_manager(self):
        """Runs openbox on the test's X server, as a desktop does: from then on the window
        manager, not the test, decides which window gets the keyboard."""
        process = subprocess.Popen(
            [tool("openbox"), "--sm-disable"],
            env=x_env(self.display),
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_parent,
        )

        def stop():
            if process.poll() is None:
                process.terminate()
                process.wait(timeout=10)

        self.addCleanup(stop)
        self.wait_until(
            lambda: "window id" in run(
                [tool("xprop"), "-root", "_NET_SUPPORTING_WM_CHECK"], x_env(self.display),
                check=False,
            ).stdout.decode(),
            what="openbox to take the screen",
        )

    def _failed(self):
        # unittest has no public "did this test fail" for tearDown: Python 3.11+ records failures
        # in the result at once, older versions collect them in the outcome until the end.
        outcome = getattr(self, "_outcome", None)
        result = getattr(outcome, "result", None)
        entries = list(getattr(outcome, "errors", []))
        if result is not None:
            entries += result.failures + result.errors
        return any(
            info is not None and getattr(test, "test_case", test) is self for test, info in entries
        )

    def tearDown(self):
        if self._failed():
            try:
                self.screenshot("failure")
            except AssertionError as error:
                print(f"no failure screenshot: {error}", file=sys.stderr)
            log = self.output / "wine.log"
            text = log.read_bytes().decode(errors="replace") if log.is_file() else ""
            tail = text.splitlines()[-30:]
            if tail:
                print(f"Wine log {log}, last lines:", *tail, sep="\n  ", file=sys.stderr)

    def lock(self, path, scan=False):
        """Starts locker.exe holding path open without sharing (scan: as a scanner does, readable
        and writable by others but not replaceable); returns once it holds it. Closing its
        standard input (or the test's end) releases the file."""
        if not LOCKER.is_file():
            self.skipTest(f"locker.exe not found at {LOCKER}: build the mingw preset")
        # A Wine process that fails to start at all (status 1, nothing printed) is started once
        # more: that says nothing about the launcher.
        for attempt in range(2):
            locker = subprocess.Popen(
                [tool("wine"), str(LOCKER), windows_path(path)] + (["--scan"] if scan else []),
                env=wine_env(self.display),
                stdin=subprocess.PIPE,
                stdout=subprocess.PIPE,
                stderr=subprocess.DEVNULL,
            )

            def stop(locker=locker):
                if locker.poll() is None:
                    locker.kill()
                    locker.wait()
                locker.stdout.close()

            self.addCleanup(stop)
            ready, _, _ = select.select([locker.stdout], [], [], STEP_TIMEOUT)
            self.assertTrue(ready, "locker.exe printed nothing")
            line = locker.stdout.readline().strip()
            if line or attempt == 1 or locker.wait(timeout=STEP_TIMEOUT) != 1:
                self.assertEqual(line, b"locked")
                return locker

    # Launcher lifecycle ------------------------------------------------------------------

    def start_launcher(self, data, folder="app", locale=WINE_LOCALE, cwd=None, environment=None):
        """Starts the launcher in output/<folder> beside data.txt (None: no data.txt, or the one
        the test put in the folder), under the given locale (its name sets the ANSI code page),
        from the working directory cwd (default: that folder), with the variables of the dict
        environment added to its environment (Wine hands them to the Windows side; WINEPATH
        goes in front of its PATH).

        Returns the X window id once the window is viewable and has the X keyboard focus.
        """
        if LauncherTestCase.start_failure is not None:
            raise AssertionError(f"not tried: {LauncherTestCase.start_failure}")
        self.stop_launcher()
        self.app_dir = self.output / folder
        self.app_dir.mkdir(exist_ok=True)
        exe = self.app_dir / EXE.name
        shutil.copy2(EXE, exe)
        if data is not None:
            (self.app_dir / "data.txt").write_bytes(data)
        self.addCleanup(self.stop_launcher)
        # Starting a Wine process now and then fails outright (status 1 before anything is
        # logged) just after the previous test stopped its wineserver. That says nothing about
        # the launcher, so such a start is tried once more; any other failure counts at once.
        for attempt in range(2):
            log_path = self.output / "wine.log"
            logged = log_path.stat().st_size if log_path.exists() else 0
            with open(log_path, "ab") as log:
                self.launcher = subprocess.Popen(
                    [tool("wine"), str(exe)],
                    cwd=cwd or self.app_dir,
                    env={**wine_env(self.display, locale), **(environment or {})},
                    stdin=subprocess.DEVNULL,
                    stdout=log,
                    stderr=log,
                )
            try:
                self.window = self.wait_until(self.find_window, START_TIMEOUT, "the window Form1")
                break
            except AssertionError as error:
                stillborn = self.launcher.poll() == 1 and log_path.stat().st_size == logged
                if attempt == 0 and stillborn:
                    print("launcher: Wine failed to start it; trying once more", file=sys.stderr)
                    continue
                LauncherTestCase.start_failure = f"the launcher did not start earlier ({error})"
                raise AssertionError(f"{error}\n{self._window_diagnosis()}") from None
        # Xvfb has no window manager to hand the keyboard focus to the new window.
        self.xdotool("windowfocus", self.window)
        return self.window

    def _window_diagnosis(self):
        """What Windows knows of the window that X does not show."""
        try:
            return f"Win32 sees: {self.window_state()} {self.window_rect()}"
        except AssertionError as error:
            return f"Win32 sees no such window either: {error}"

    def stop_launcher(self):
        if self.launcher is None:
            return
        wineserver_stop(wine_env(self.display))
        try:
            self.launcher.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.launcher.kill()
            self.launcher.wait()
        self.launcher = None
        self.window = None

    def data_file(self):
        return self.app_dir / "data.txt"

    def age_data_file(self):
        """Backdates data.txt, so that any rewrite shows in its modification time."""
        stamp = time.time_ns() - 86_400 * 1_000_000_000
        os.utime(self.data_file(), ns=(stamp, stamp))
        return self.data_file().stat().st_mtime_ns

    def assert_no_stray_files(self):
        """A write goes through a temporary file, which must not outlive it."""
        self.assertEqual(sorted(p.name for p in self.app_dir.iterdir()), [EXE.name, "data.txt"])

    def start_again(self, folder):
        """Starts the exe in folder as a user would; returns it once it runs on or has ended."""

        def begun(process):
            try:
                process.wait(timeout=1)
            except subprocess.TimeoutExpired:
                return
            if process.returncode == 1:
                raise AssertionError("the start failed at once")

        return self.start_wine([folder / EXE.name], begun, cwd=folder)

    def wait_for_exit(self, what="the launcher to end"):
        wait_until(lambda: self.launcher.poll() is not None, STEP_TIMEOUT, what)

    def start_window_program(self, args, title, env=None, stdout=subprocess.PIPE):
        """Starts a helper exe under Wine; returns the process once its window titled `title`
        shows."""

        def shown(process):
            def running():
                self.assert_launcher_running()
                if process.poll() is not None:
                    raise AssertionError(f"{title} exited with status {process.returncode}")

            wait_until(lambda: self.find_window(title), STEP_TIMEOUT, f"the {title} window",
                       check=running)

        return self.start_wine(args, shown, env=env, stdout=stdout)

    def start_wine(self, args, started, cwd=None, env=None, stdout=None):
        """Starts `wine args` (output to wine.log, or standard output to stdout) and returns the
        process once started(process) has returned; it raises AssertionError when the start
        failed. A Wine process that fails to start at all (status 1 at once) is started once
        more: that says nothing about the program."""
        for attempt in range(2):
            with open(self.output / "wine.log", "ab") as log:
                process = subprocess.Popen(
                    [tool("wine"), *map(str, args)],
                    cwd=cwd,
                    env=env or wine_env(self.display),
                    stdin=subprocess.DEVNULL,
                    stdout=log if stdout is None else stdout,
                    stderr=log,
                )
            self.addCleanup(stop_process, process)
            try:
                started(process)
                return process
            except AssertionError:
                if attempt == 1 or process.poll() != 1:
                    raise

    def assert_launcher_running(self):
        if self.launcher is not None and self.launcher.poll() is not None:
            raise AssertionError(
                f"the launcher exited with status {self.launcher.returncode}; "
                f"Wine log: {self.output / 'wine.log'}"
            )

    def wait_until(self, predicate, timeout=STEP_TIMEOUT, what="a condition"):
        return wait_until(predicate, timeout, what, check=self.assert_launcher_running)

    # X side: xdotool and imagemagick ------------------------------------------------------

    def xdotool(self, *args):
        return run([tool("xdotool"), *args], x_env(self.display)).stdout.decode()

    def find_window(self, title=WINDOW_TITLE):
        """X window id of the viewable top-level window with exactly this text, or None."""
        result = run(
            [tool("xdotool"), "search", "--onlyvisible", "--name", f"^{re.escape(title)}$"],
            x_env(self.display),
            check=False,
        )
        ids = result.stdout.split()
        return ids[0].decode() if ids else None

    def geometry(self, window=None):
        """{"x", "y", "width", "height"} of an X window, in screen pixels."""
        text = self.xdotool("getwindowgeometry", "--shell", window or self.window)
        values = dict(line.split("=", 1) for line in text.split() if "=" in line)
        return {k.lower(): int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT")}

    def type_text(self, text):
        # xdotool types a character the keyboard map lacks by remapping a key first; given too
        # little time, Wine now and then misses such a character.
        delay = "40" if text.isascii() else "120"
        self.xdotool("type", "--delay", delay, "--", text)

    def key(self, *keys):
        self.xdotool("key", "--delay", "60", *keys)

    def click(self, x, y, button=1):
        # Not `mousemove --sync`: onto the spot where the pointer already is, it waits 15 s.
        self.xdotool("mousemove", x, y, "sleep", "0.1", "click", button)

    def click_centre(self, rect, button=1):
        """Clicks the middle of a rectangle as probe.exe reports it (screen pixels)."""
        self.click((rect["left"] + rect["right"]) // 2, (rect["top"] + rect["bottom"]) // 2, button)

    def find_popup(self):
        """The X window of a pop-up menu: a Wine program's (a window manager's frames are
        nameless too), visible, nameless and smaller than the screen."""
        found = run([tool("xdotool"), "search", "--onlyvisible", "--classname", r"\.exe$"],
                    x_env(self.display), check=False)
        for window in found.stdout.decode().split():
            if self.xdotool("getwindowname", window).strip():
                continue
            geometry = self.geometry(window)
            if (geometry["width"], geometry["height"]) != (SCREEN_WIDTH, SCREEN_HEIGHT):
                return window
        return None

    def screenshot(self, name):
        path = self.output / f"{name}.png"
        run([tool("import"), "-window", "root", path], x_env(self.display))
        print(f"screenshot: {path}", file=sys.stderr)
        return path

    # Windows side: probe.exe -------------------------------------------------------------

    def probe(self, command, *args):
        """Runs probe.exe in the launcher's prefix and returns its JSON answer."""
        # Starting a Wine process now and then fails outright on a loaded machine (exit status
        # 1, no output at all): that says nothing about the launcher, so try again.
        for _ in range(3):
            result = run(
                [tool("wine"), PROBE, command, *args],
                wine_env(self.display),
                check=False,
            )
            lines = [l for l in result.stdout.decode("utf-8").splitlines() if l.startswith("{")]
            if lines or result.stdout or result.returncode != 1:
                break
        if not lines:
            raise ProbeError(
                f"probe {command} {' '.join(map(str, args))} printed no answer "
                f"(exit status {result.returncode}): {result.stderr.decode(errors='replace')}"
            )
        answer = json.loads(lines[-1])
        if "error" in answer:
            raise ProbeError(f"probe {command} {' '.join(map(str, args))}: {answer}")
        return answer

    def window_rect(self, control=None):
        return self.probe("rect", WINDOW_TITLE, *([control] if control else []))

    def window_state(self, control=None):
        return self.probe("state", WINDOW_TITLE, *([control] if control else []))

    def control_text(self, control):
        return self.probe("text", WINDOW_TITLE, control)["text"]

    def accessible(self, control, window=WINDOW_TITLE, items=False):
        """The control as a screen reader reads it from another process: its accessible name and
        role, and for a list its items' names and which are selected, focused and offscreen."""
        return self.probe("items" if items else "name", window, control)["accessible"]

    def list_items(self, control=ID.EntryList):
        """The entry list's items, read as a screen reader reads them."""
        return self.accessible(control, items=True)["items"]

    def focused_control(self):
        """Id of the control with the keyboard focus in the launcher's thread, or None."""
        return self.probe("focus", WINDOW_TITLE)["focus"]

    def press_expecting_focus(self, key, control):
        """Presses key and waits until control has the focus."""
        self.key(key)
        self.wait_until(
            lambda: self.focused_control() == control,
            what=f"the focus on control {control} after {key}",
        )


def main():
    commands = {"prefix-up": prefix_up, "prefix-down": prefix_down}
    if len(sys.argv) != 2 or sys.argv[1] not in commands:
        print(f"usage: {sys.argv[0]} {'|'.join(commands)}", file=sys.stderr)
        return 64
    try:
        commands[sys.argv[1]]()
    except (AssertionError, RuntimeError) as error:
        print(error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
