"""Runs the Linux program on a private Xvfb display of its own, started with -displayfd, and
stopped by its process id when the test ends. Windows that the tests make or destroy themselves
go through Xlib (ctypes), as any other X client would.

    with PrivateDisplay() as display:
        session = display.session()
        tavrel = session.start(PROGRAM, "-root")
"""
import ctypes
import ctypes.util
import os
import select
import subprocess

from saver_harness import SCREEN_HEIGHT, SCREEN_WIDTH, Program, Session

START_SECONDS = 30


class PrivateDisplay:
    def __init__(self, extra=()):
        self.extra = list(extra)
        self.server = None
        self.name = None

    def __enter__(self):
        read, write = os.pipe()
        self.server = Program(subprocess.Popen(
            # A black root window (-br), so that only the snow is bright.
            ["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-br",
             "-screen", "0", "%dx%dx24" % (SCREEN_WIDTH, SCREEN_HEIGHT)] + self.extra,
            pass_fds=(write,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True))
        os.close(write)
        number = b""
        with os.fdopen(read, "rb") as announced:
            while not number.endswith(b"\n"):
                ready, _, _ = select.select([announced], [], [], START_SECONDS)
                chunk = os.read(announced.fileno(), 16) if ready else b""
                if not chunk:
                    self.server.stop()
                    raise AssertionError("Xvfb did not start")
                number += chunk
        self.name = ":" + number.decode().strip()
        return self

    def __exit__(self, *_):
        self.server.stop()

    def session(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        env.pop("XSCREENSAVER_WINDOW", None)
        return Session(env, scr=None)


class Xlib:
    """The few Xlib calls a test needs to make, map and destroy a window of its own."""

    def __init__(self, display_name):
        self.lib = ctypes.CDLL(ctypes.util.find_library("X11"))
        self.lib.XOpenDisplay.restype = ctypes.c_void_p
        self.lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.lib.XDefaultRootWindow.restype = ctypes.c_ulong
        self.lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.lib.XCreateSimpleWindow.restype = ctypes.c_ulong
        self.lib.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + \
            [ctypes.c_int] * 2 + [ctypes.c_uint] * 3 + [ctypes.c_ulong] * 2
        for name in ("XMapWindow", "XDestroyWindow"):
            getattr(self.lib, name).argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        for name in ("XSync",):
            getattr(self.lib, name).argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.display = self.lib.XOpenDisplay(display_name.encode())
        if not self.display:
            raise AssertionError("cannot open %s" % display_name)

    def make_window(self, x, y, width, height):
        window = self.lib.XCreateSimpleWindow(self.display, self.lib.XDefaultRootWindow(
            self.display), x, y, width, height, 0, 0, 0)
        self.lib.XMapWindow(self.display, window)
        self.lib.XSync(self.display, 0)
        return window

    def destroy(self, window):
        self.lib.XDestroyWindow(self.display, window)
        self.lib.XSync(self.display, 0)

    def close(self):
        self.lib.XCloseDisplay(self.display)


def crop(shot, x, y, width, height):
    """The pixels of a screenshot (3 bytes each, top row first) inside a rectangle."""
    rows = []
    for row in range(y, y + height):
        start = (row * SCREEN_WIDTH + x) * 3
        rows.append(shot[start:start + width * 3])
    return b"".join(rows)
