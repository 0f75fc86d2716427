#!/usr/bin/env python3
"""Start-up, list commands, close and memory of the launcher under Wine, against a minimal list
program (bench/minimal_list_win.cpp) that reads the same data.txt into a plain list box.

Run by hand after `cmake --preset mingw && cmake --build --preset mingw`; it builds nothing:

    python3 bench/startup.py [--runs 7] [--entries 40000] [--cold] [--managed] [--starts-only]
                             [--launcher EXE]

Each run starts each program once with a 3-entry and once with a big data.txt (the shared
bangs.txt over and over, or made-up lines without it), in an order that rotates from run to
run, on a private Xvfb and in a Wine prefix of the script's own (build/mingw/bench/wineprefix,
booted on first use). The wineserver stays up throughout. Xvfb has no window manager, so
Wine is told to manage no window: else it waits 2 s for a window manager each time one of its
managed windows goes away (the editor, a message box, the launcher at its close); --managed
keeps Wine's default and those 2 s in the figures. By default a Wine process of the
script's (list_watch.exe) also stays up, as on a desktop where a Wine program already runs, so
that each start is the program's own; with --cold nothing else runs between two starts and each
pays for Wine's session processes again (and the list commands are not measured).

Measured, medians over the runs:
- start to visible: from starting the process to the X server mapping its window; for the
  launcher also to its list showing its background colour (painted);
- private memory: RssAnon of the Wine process once it is idle, and what the big file adds;
- the list commands of the launcher ("删除它", the editor's save, "清空", "载入", "删除所有"),
  each from the click or key that gives it to the list holding its new count with every window
  repainted (list_watch.exe sees both);
- close with save: one entry deleted, then from the click on the close glyph to data.txt
  rewritten (one line fewer), to the window going away and to the process ending.

--starts-only measures the starts alone, so that many runs take little time: Wine's start
times scatter by 10 % and more from one start to the next.

Printed: the medians and the ratios launcher big / launcher 3, launcher / minimal program at
each size, close big / close 3.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
BUILD = REPO / "build" / "mingw"
os.environ.setdefault("CORVANTIS_WINEPREFIX", str(BUILD / "bench" / "wineprefix"))
sys.path.insert(0, str(REPO / "tests" / "e2e"))

import harness  # noqa: E402  (the prefix above must be set first)
from xwatch import XWatch  # noqa: E402

MINIMAL = BUILD / "bench" / "minimal_list.exe"
LIST_WATCH = BUILD / "bench" / "list_watch.exe"
LAUNCHER_TITLE = harness.WINDOW_TITLE
MINIMAL_TITLE = "MinimalList"
EDITOR_TITLE = "Form2"
QUESTION_TITLE = "Tips"  # the caption of the question "删除所有" asks
MENU = ("新增一个", "编辑它", "删除它", "删除所有")
ADD, DELETE, DELETE_ALL = MENU[0], MENU[2], MENU[3]
COMMANDS = ("删除它", "editor save", "清空", "载入", "删除所有")

TIMEOUT = 120
SETTLE = 1.0  # after the window shows, before memory is read: the program is idle by then
ITEM_HEIGHT = 16  # pixels at 96 dpi
# A pixel of the launcher's list in window pixels at 96 dpi: the list's place (60, 405 twips)
# plus its client edge, at the left end of item 5, where no text is drawn.
LIST_PIXEL = (4 + 2, 27 + 2 + ITEM_HEIGHT * 5)
LIST_BACKGROUND = 0xFFFFC0


def log(*parts):
    print(*parts, file=sys.stderr, flush=True)


def entry_lines(count):
    source = harness.bangs_file()
    if source is not None:
        lines = [line for line in source.read_bytes().split(b"\r\n") if line]
    else:
        lines = [f"k{i} alt{i}:https://example.com/search?q={{query}}&n={i}".encode()
                 for i in range(1000)]
    return [lines[i % len(lines)] for i in range(count)]


def file_bytes(lines):
    return b"".join(line + b"\r\n" for line in lines)


class Session:
    """One Xvfb and one persistent wineserver; the programs are started on them."""

    def __init__(self, folder, warm, managed):
        self.folder = folder
        self.xvfb = harness.Xvfb()
        self.display = self.xvfb.display
        self.env = harness.wine_env(self.display)
        self.watch = XWatch(self.display)
        quiet = {"stdin": subprocess.DEVNULL, "stdout": subprocess.DEVNULL,
                 "stderr": subprocess.DEVNULL}  # Wine's servers outlive the call: no pipes
        subprocess.run([harness.tool("wineserver"), "-p"], env=self.env, check=True, **quiet)
        subprocess.run([harness.tool("wine"), "reg", "add", r"HKCU\Software\Wine\X11 Driver",
                        "/v", "Managed", "/d", "Y" if managed else "N", "/f"], env=self.env,
                       check=True, timeout=TIMEOUT, **quiet)
        self.count = 0
        self.places = {}
        self.lister = None
        if warm:
            self.lister = subprocess.Popen(
                [harness.tool("wine"), LIST_WATCH, LAUNCHER_TITLE, str(harness.ID.EntryList)],
                env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                stderr=subprocess.DEVNULL)
            self.answer_of_lister()  # "ready"

    def stop(self):
        if self.lister is not None:
            self.lister.stdin.close()
            self.lister.wait(timeout=TIMEOUT)
        harness.wineserver_stop(self.env)
        self.watch.close()
        self.xvfb.stop()

    def answer_of_lister(self, command=None):
        if command is not None:
            self.lister.stdin.write(command.encode() + b"\n")
            self.lister.stdin.flush()
        line = self.lister.stdout.readline().decode().strip()
        if not line:
            raise AssertionError("list_watch.exe ended")
        return line

    def wait_for_count(self, count):
        answer = self.answer_of_lister(f"wait {count}")
        if answer != "done":
            raise AssertionError(f"the list never counted {count} items ({answer})")
        return time.monotonic()

    def xdotool(self, *args):
        return harness.run([harness.tool("xdotool"), *map(str, args)],
                           harness.x_env(self.display)).stdout.decode()

    def probe(self, *args):
        result = harness.run([harness.tool("wine"), harness.PROBE, *map(str, args)], self.env)
        return json.loads(result.stdout.decode().splitlines()[-1])

    def place(self, title, control):
        """Screen rectangle of a control; the windows always open at the same place."""
        key = (title, control)
        if key not in self.places:
            self.places[key] = self.probe("rect", title, control)
        return self.places[key]

    def start(self, exe, title, data):
        """Starts exe beside data: (process, X window, folder, start time, map time)."""
        self.count += 1
        app = self.folder / f"run{self.count}"
        app.mkdir()
        (app / exe.name).write_bytes(exe.read_bytes())
        (app / "data.txt").write_bytes(data)
        started = time.monotonic()
        process = subprocess.Popen([harness.tool("wine"), str(app / exe.name)], cwd=app,
                                   env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        mapped, window = self.watch.wait_mapped(title, started, TIMEOUT)
        return process, window, app, started, mapped

    @staticmethod
    def private_memory(process):
        status = Path(f"/proc/{process.pid}/status").read_text()
        fields = dict(line.split(":", 1) for line in status.splitlines() if ":" in line)
        return int(fields["RssAnon"].split()[0]) / 1024  # MB

    @staticmethod
    def end(process):
        if process.poll() is None:
            process.kill()
        process.wait()


class Launcher:
    """Gestures on one running launcher."""

    def __init__(self, session, process, window, app):
        self.session = session
        self.process = process
        self.window = window
        self.app = app

    def find_popup(self):
        session = self.session
        for window in session.xdotool("search", "--onlyvisible", "--name", "").split():
            if session.xdotool("getwindowname", window).strip():
                continue
            text = session.xdotool("getwindowgeometry", "--shell", window)
            values = dict(line.split("=", 1) for line in text.split() if "=" in line)
            geometry = {k.lower(): int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT")}
            if (geometry["width"], geometry["height"]) != (harness.SCREEN_WIDTH,
                                                           harness.SCREEN_HEIGHT):
                return geometry
        return None

    def point_at(self, command):
        """Opens the menu on the first item; the screen point of command in it."""
        place = self.session.place(LAUNCHER_TITLE, harness.ID.EntryList)
        self.session.xdotool("mousemove", place["left"] + 60,
                             place["top"] + 2 + ITEM_HEIGHT // 2, "click", 1)
        menu = harness.wait_until(self.find_popup, 20, "the entry menu")
        slot = MENU.index(command)
        point = (menu["x"] + menu["width"] // 2,
                 menu["y"] + menu["height"] * (2 * slot + 1) // (2 * len(MENU)))
        self.session.xdotool("mousemove", *point)
        return point

    def click(self):
        return self.session.watch.click()

    def focus_on(self, control, key):
        """Presses key until control has the keyboard focus."""
        for _ in range(12):
            if self.session.probe("focus", LAUNCHER_TITLE)["focus"] == control:
                return
            self.session.xdotool("key", key)
        raise AssertionError(f"control {control} never got the focus")

    def press(self, key):
        return self.session.watch.key(key)

    def delete_first(self, count):
        self.point_at(DELETE)
        clicked = self.click()
        return self.session.wait_for_count(count - 1) - clicked

    def editor_save(self, count):
        session = self.session
        self.point_at(ADD)
        opened = self.click()
        _, editor = session.watch.wait_mapped(EDITOR_TITLE, opened, TIMEOUT)
        session.xdotool("windowfocus", editor)
        session.xdotool("type", "--delay", "40", "bench")
        session.xdotool("key", "Tab")
        session.xdotool("type", "--delay", "40", "x")
        ok = session.place(EDITOR_TITLE, harness.ID.OkLabel)
        session.xdotool("mousemove", (ok["left"] + ok["right"]) // 2,
                        (ok["top"] + ok["bottom"]) // 2)
        clicked = self.click()
        done = session.wait_for_count(count + 1)
        _, self.window = session.watch.wait_mapped(LAUNCHER_TITLE, clicked, TIMEOUT)
        return done - clicked

    def keyboard_command(self, button, count):
        session = self.session
        session.xdotool("windowfocus", self.window)
        self.focus_on(button, "Tab")
        pressed = self.press("space")
        return session.wait_for_count(count) - pressed

    def delete_all(self):
        session = self.session
        self.point_at(DELETE_ALL)
        chosen = self.click()
        _, question = session.watch.wait_mapped(QUESTION_TITLE, chosen, TIMEOUT)
        session.xdotool("windowfocus", question)
        pressed = self.press("Return")
        return session.wait_for_count(0) - pressed

    def close_with_save(self, lines):
        """Deletes the first entry, then closes: seconds to data.txt written, to the window
        gone and to the process ended."""
        session = self.session
        self.point_at(DELETE)
        self.click()
        if session.lister is not None:
            session.wait_for_count(len(lines) - 1)
        else:
            harness.wait_until(lambda: self.find_popup() is None, 20, "the menu to close")
            time.sleep(0.5)
        close = session.place(LAUNCHER_TITLE, harness.ID.CloseGlyph)
        session.xdotool("mousemove", (close["left"] + close["right"]) // 2,
                        (close["top"] + close["bottom"]) // 2)
        expected = file_bytes(lines[1:])
        data = self.app / "data.txt"
        clicked = self.click()
        # Both watched at once: the window may go before the file is written or after it, and
        # an X event is timed when it is taken.
        saved = gone = None
        deadline = clicked + TIMEOUT
        while saved is None or gone is None:
            if time.monotonic() > deadline:
                raise AssertionError(f"after {TIMEOUT} s: data.txt rewritten {saved is not None}, "
                                     f"window gone {gone is not None}")
            session.watch.drain(0.002)
            if saved is None and read_or_none(data) == expected:
                saved = time.monotonic()
            if gone is None:
                gone = session.watch.gone_time(self.window, clicked)
        self.process.wait(timeout=TIMEOUT)
        return saved - clicked, gone - clicked, time.monotonic() - clicked


def read_or_none(path):
    """The file's bytes; None while it cannot be read (as for a moment while it is replaced)."""
    try:
        return path.read_bytes()
    except OSError:
        return None


def measure(args):
    big_lines = entry_lines(args.entries)
    sizes = {"3": big_lines[:3], "big": big_lines}
    programs = {"launcher": (args.launcher, LAUNCHER_TITLE), "minimal": (MINIMAL, MINIMAL_TITLE)}
    for path in (args.launcher, MINIMAL, LIST_WATCH, harness.PROBE):
        if not path.is_file():
            sys.exit(f"{path} is missing: build with `cmake --preset mingw && "
                     "cmake --build --preset mingw` first")
    if not (harness.WINEPREFIX / "system.reg").exists():
        log("booting the Wine prefix", harness.WINEPREFIX)
        harness.prefix_up()

    results = {}

    def record(name, seconds):
        results.setdefault(name, []).append(seconds)

    configs = [(program, size) for program in programs for size in sizes]
    with tempfile.TemporaryDirectory(prefix="corvantis-startup-") as scratch:
        session = Session(Path(scratch), warm=not args.cold, managed=args.managed)
        try:
            for program in programs:  # unmeasured: Wine's own first start of each
                process, *_ = session.start(*programs[program], file_bytes(sizes["3"]))
                time.sleep(SETTLE)
                session.end(process)
            for run in range(args.runs):
                shift = run % len(configs)
                for program, size in configs[shift:] + configs[:shift]:
                    lines = sizes[size]
                    process, window, app, started, mapped = session.start(
                        *programs[program], file_bytes(lines))
                    name = f"{program} {size}"
                    record(f"{name} start", mapped - started)
                    if program == "launcher":
                        painted = session.watch.wait_pixel(window, *LIST_PIXEL, LIST_BACKGROUND,
                                                           TIMEOUT)
                        record(f"{name} painted", painted - started)
                    if args.starts_only:
                        time.sleep(SETTLE / 4)
                        session.end(process)
                        continue
                    time.sleep(SETTLE)
                    record(f"{name} memory", session.private_memory(process))
                    if program == "launcher":
                        measure_launcher(session, Launcher(session, process, window, app), name,
                                         lines, record)
                    session.end(process)
                    log(f"run {run + 1}: {name}: start {mapped - started:.3f} s")
                    if program == "launcher" and session.lister is not None and not args.starts_only:
                        # "删除所有" empties data.txt: on a launcher of its own.
                        process, window, app, *_ = session.start(*programs[program],
                                                                 file_bytes(lines))
                        time.sleep(SETTLE)
                        record(f"{name} 删除所有",
                               Launcher(session, process, window, app).delete_all())
                        session.end(process)
        finally:
            session.stop()
    return results


def measure_launcher(session, launcher, name, lines, record):
    count = len(lines)
    if session.lister is not None:
        record(f"{name} 删除它", launcher.delete_first(count))
        record(f"{name} editor save", launcher.editor_save(count - 1))
        record(f"{name} 清空", launcher.keyboard_command(harness.ID.ClearButton, 0))
        record(f"{name} 载入", launcher.keyboard_command(harness.ID.ReloadButton, count))
    saved, gone, ended = launcher.close_with_save(lines)
    record(f"{name} close saved", saved)
    record(f"{name} close gone", gone)
    record(f"{name} close exit", ended)


def report(results, args):
    med = {name: statistics.median(values) for name, values in results.items()}

    def ms(name):
        return f"{med[name] * 1000:6.0f} ms"

    print(f"Medians of {args.runs} runs, {'cold' if args.cold else 'warm'} starts, "
          f"{'managed' if args.managed else 'unmanaged'} windows; big = {args.entries} entries")
    print("\nstart to visible (window mapped)")
    for program in ("launcher", "minimal"):
        for size in ("3", "big"):
            line = f"  {program:8} {size:>3}: {ms(f'{program} {size} start')}"
            if program == "launcher":
                line += f"   list painted {ms(f'launcher {size} painted')}"
            print(line)
    if args.starts_only:
        for name, top, bottom, goal in (
            ("start: launcher big / launcher 3", "launcher big start", "launcher 3 start", 1.3),
            ("start: launcher big / minimal big", "launcher big start", "minimal big start", 1.5),
            ("start: launcher 3 / minimal 3", "launcher 3 start", "minimal 3 start", 1.2),
        ):
            value = med[top] / med[bottom]
            print(f"  {name:36} {value:5.2f}  <= {goal}  {'ok' if value <= goal else 'MISSED'}")
        return
    print("\nprivate memory (RssAnon, idle)")
    for program in ("launcher", "minimal"):
        small, big = med[f"{program} 3 memory"], med[f"{program} big memory"]
        print(f"  {program:8}: 3 entries {small:5.1f} MB, big {big:5.1f} MB; "
              f"the big file adds {big - small:5.1f} MB")
    if not args.cold:
        print("\nlist commands (to the new count on the screen)")
        for command in COMMANDS:
            print(f"  {command:12}  3 entries {ms(f'launcher 3 {command}')}, "
                  f"big {ms(f'launcher big {command}')}")
    print("\nclose with save (one entry deleted)")
    for size in ("3", "big"):
        print(f"  launcher {size:>3}: data.txt written {ms(f'launcher {size} close saved')}, "
              f"window gone {ms(f'launcher {size} close gone')}, "
              f"process ended {ms(f'launcher {size} close exit')}")
    ratios = [
        ("start: launcher big / launcher 3", "launcher big start", "launcher 3 start", 1.3),
        ("start: launcher big / minimal big", "launcher big start", "minimal big start", 1.5),
        ("start: launcher 3 / minimal 3", "launcher 3 start", "minimal 3 start", 1.2),
        ("painted: launcher big / launcher 3", "launcher big painted", "launcher 3 painted",
         1.3),
        ("close: big / 3, data.txt written", "launcher big close saved",
         "launcher 3 close saved", 1.3),
        ("close: big / 3, window gone", "launcher big close gone", "launcher 3 close gone", 1.3),
        ("close: big / 3, process ended", "launcher big close exit", "launcher 3 close exit",
         1.3),
    ]
    extra = {p: med[f"{p} big memory"] - med[f"{p} 3 memory"] for p in ("launcher", "minimal")}
    print("\nratios (goal)")
    for name, top, bottom, goal in ratios:
        value = med[top] / med[bottom]
        print(f"  {name:36} {value:5.2f}  <= {goal}  {'ok' if value <= goal else 'MISSED'}")
    value = extra["launcher"] / extra["minimal"]
    print(f"  {'memory the big file adds, / minimal':36} {value:5.2f}  <= 1.0  "
          f"{'ok' if value <= 1 else 'MISSED'}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--entries", type=int, default=40000)
    parser.add_argument("--cold", action="store_true",
                        help="no Wine process of the script's between starts")
    parser.add_argument("--managed", action="store_true",
                        help="Wine's default: it waits for a window manager that Xvfb lacks")
    parser.add_argument("--starts-only", action="store_true",
                        help="only the starts: no memory, list commands or close")
    parser.add_argument("--launcher", type=Path, default=harness.EXE,
                        help="the launcher's exe (default: the mingw build's)")
    args = parser.parse_args()
    report(measure(args), args)


if __name__ == "__main__":
    main()
