"""Timestamps of X window events, read straight from the X server with libX11 (ctypes), and
input sent through the XTEST extension.

Polling with xdotool costs a process start per look; listening to the root window's structure
events gives the moment a top-level window is mapped or destroyed to within a millisecond. A
click or key sent from here reaches the server when it is flushed, so the time taken just before
is the time the user acted (xdotool's own start and its pauses would be counted otherwise).
"""

import ctypes
import ctypes.util
import select
import time

_MAP_NOTIFY = 19
_UNMAP_NOTIFY = 18
_DESTROY_NOTIFY = 17
_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
_Z_PIXMAP = 2
_ALL_PLANES = ctypes.c_ulong(-1).value


class _Event(ctypes.Structure):
    # XEvent is a union of 24 longs. The events used here (XMapEvent, XUnmapEvent,
    # XDestroyWindowEvent) share their head: type, serial, send_event, display, event, window.
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("event", ctypes.c_ulong),
        ("window", ctypes.c_ulong),
        ("pad", ctypes.c_long * 18),
    ]


def _xlib():
    lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    lib.XOpenDisplay.restype = ctypes.c_void_p
    lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    lib.XDefaultRootWindow.restype = ctypes.c_ulong
    lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    lib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
    lib.XConnectionNumber.argtypes = [ctypes.c_void_p]
    lib.XPending.argtypes = [ctypes.c_void_p]
    lib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_Event)]
    lib.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
    lib.XFree.argtypes = [ctypes.c_void_p]
    lib.XFlush.argtypes = [ctypes.c_void_p]
    lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    lib.XGetImage.restype = ctypes.c_void_p
    lib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                              ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    lib.XGetPixel.restype = ctypes.c_ulong
    lib.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
    lib.XDestroyImage.argtypes = [ctypes.c_void_p]
    lib.XSetErrorHandler.restype = ctypes.c_void_p
    lib.XSetErrorHandler.argtypes = [ctypes.c_void_p]
    lib.XStringToKeysym.restype = ctypes.c_ulong
    lib.XStringToKeysym.argtypes = [ctypes.c_char_p]
    lib.XKeysymToKeycode.restype = ctypes.c_ubyte
    lib.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    return lib


def _xtst():
    lib = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
    lib.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                         ctypes.c_int, ctypes.c_ulong]
    lib.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                         ctypes.c_ulong]
    lib.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                      ctypes.c_ulong]
    return lib


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
    lambda display, error: 0  # a window that went away between event and look: ignore
)


class XWatch:
    """Records when top-level windows of one X display are mapped, unmapped and destroyed."""

    def __init__(self, display):
        self._x = _xlib()
        self._xtst = _xtst()
        self._x.XSetErrorHandler(ctypes.cast(_ERROR_HANDLER, ctypes.c_void_p))
        self._display = self._x.XOpenDisplay(display.encode())
        if not self._display:
            raise RuntimeError(f"cannot open X display {display}")
        self._root = self._x.XDefaultRootWindow(self._display)
        self._x.XSelectInput(self._display, self._root, _SUBSTRUCTURE_NOTIFY_MASK)
        self._x.XSync(self._display, 0)
        self._fd = self._x.XConnectionNumber(self._display)
        self.events = []  # (monotonic time, type, window)

    def close(self):
        self._x.XCloseDisplay(self._display)

    def _drain(self, timeout):
        if not self._x.XPending(self._display):
            select.select([self._fd], [], [], max(timeout, 0))
        event = _Event()
        while self._x.XPending(self._display):
            self._x.XNextEvent(self._display, ctypes.byref(event))
            if event.type in (_MAP_NOTIFY, _UNMAP_NOTIFY, _DESTROY_NOTIFY):
                self.events.append((time.monotonic(), event.type, event.window))

    def move(self, x, y):
        self._xtst.XTestFakeMotionEvent(self._display, -1, x, y, 0)
        self._x.XFlush(self._display)

    def click(self):
        """Presses and releases the left button where the pointer is; the time it was sent."""
        self._xtst.XTestFakeButtonEvent(self._display, 1, 1, 0)
        self._xtst.XTestFakeButtonEvent(self._display, 1, 0, 0)
        sent = time.monotonic()
        self._x.XFlush(self._display)
        return sent

    def key(self, name):
        """Presses and releases a key given by its keysym name; the time it was sent."""
        code = self._x.XKeysymToKeycode(self._display, self._x.XStringToKeysym(name.encode()))
        self._xtst.XTestFakeKeyEvent(self._display, code, 1, 0)
        self._xtst.XTestFakeKeyEvent(self._display, code, 0, 0)
        sent = time.monotonic()
        self._x.XFlush(self._display)
        return sent

    def name(self, window):
        text = ctypes.c_char_p()
        if not self._x.XFetchName(self._display, window, ctypes.byref(text)) or not text.value:
            return None
        value = text.value.decode(errors="replace")
        self._x.XFree(text)
        return value

    def pixel(self, window, x, y):
        """The RGB value of one pixel of a window, or None when it cannot be read."""
        image = self._x.XGetImage(self._display, window, x, y, 1, 1, _ALL_PLANES, _Z_PIXMAP)
        if not image:
            return None
        value = self._x.XGetPixel(image, 0, 0)
        self._x.XDestroyImage(image)
        return value & 0xFFFFFF

    def wait_mapped(self, title, since, timeout):
        """(time, window) of the first map of a window named title at or after since."""
        deadline = time.monotonic() + timeout
        checked = 0
        while True:
            for index in range(checked, len(self.events)):
                stamp, kind, window = self.events[index]
                if kind == _MAP_NOTIFY and stamp >= since and self.name(window) == title:
                    return stamp, window
            checked = len(self.events)
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise AssertionError(f"no window {title!r} mapped within {timeout} s")
            self._drain(min(remaining, 0.05))

    def drain(self, timeout):
        """Takes the events that came, waiting up to timeout for one: an event's time is when it
        is taken, so whoever waits for something else meanwhile must keep calling this."""
        self._drain(timeout)

    def gone_time(self, window, since):
        """The time window was unmapped or destroyed, at or after since; None if not yet seen."""
        for stamp, kind, which in self.events:
            if which == window and stamp >= since and kind in (_UNMAP_NOTIFY, _DESTROY_NOTIFY):
                return stamp
        return None

    def wait_gone(self, window, since, timeout):
        """The time window was unmapped or destroyed, at or after since."""
        deadline = time.monotonic() + timeout
        while True:
            stamp = self.gone_time(window, since)
            if stamp is not None:
                return stamp
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise AssertionError(f"window {window:#x} still there after {timeout} s")
            self._drain(min(remaining, 0.05))

    def wait_pixel(self, window, x, y, colour, timeout, interval=0.002):
        """The time the pixel at x, y of window first shows colour (0xRRGGBB)."""
        deadline = time.monotonic() + timeout
        while True:
            self._drain(0)
            if self.pixel(window, x, y) == colour:
                return time.monotonic()
            if time.monotonic() >= deadline:
                raise AssertionError(f"pixel {x},{y} never became {colour:06x} in {timeout} s")
            time.sleep(interval)
