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
import statistics
import subprocess
import time

from saver_harness import SCREEN_HEIGHT, SCREEN_WIDTH, Program, Session, flake_shapes

START_SECONDS = 30


def start_server(command, env=None):
    """Starts an X server that announces its display number through -displayfd; answers the
    server and the display's name."""
    read, write = os.pipe()
    server = Program(subprocess.Popen(
        command[:1] + ["-displayfd", str(write)] + command[1:], env=env, pass_fds=(write,),
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        start_new_session=True))
    os.close(write)
    number = b""
    with os.fdopen(read, "rb") as announced:
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([announced], [], [], START_SECONDS)
            chunk = os.read(announced.fileno(), 16) if ready else b""
            if not chunk:
                server.stop()
                raise AssertionError("%s did not start" % command[0])
            number += chunk
    return server, ":" + number.decode().strip()


class PrivateDisplay:
    """Xvfb of the given size; with heads ((width, height, x, y), ...), Xephyr inside it with
    those monitors joined by Xinerama, which is then the display the tests use."""

    def __init__(self, extra=(), size=(SCREEN_WIDTH, SCREEN_HEIGHT), heads=()):
        self.extra = list(extra)
        self.size = size
        self.heads = heads
        self.servers = []
        self.name = None

    def __enter__(self):
        # A black root window (-br), so that only the snow is bright. -noreset: by default the
        # server resets whenever its last client leaves, and a client that connects during the
        # reset (the program starting while a test's xdotool call ends) is turned away.
        common = ["-nolisten", "tcp", "-br", "-noreset"] + self.extra
        server, self.name = start_server(["Xvfb", "-screen", "0", "%dx%dx24" % self.size] + common)
        self.servers.append(server)
        if self.heads:
            screens = sum((["-screen", "%dx%d+%d+%d" % head] for head in self.heads), [])
            try:
                server, self.name = start_server(["Xephyr", "+xinerama"] + screens + common,
                                                 env=dict(os.environ, DISPLAY=self.name))
            except AssertionError:
                self.__exit__()
                raise
            self.servers.append(server)
        return self

    def __exit__(self, *_):
        for server in reversed(self.servers):
            server.stop()

    def session(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.name
        env.pop("XSCREENSAVER_WINDOW", None)
        return Session(env, scr=None)


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("client", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


CLIENT_MESSAGE = 33


class Xlib:
    """The few Xlib calls a test needs to make, map and destroy a window of its own, and to ask
    a window to close as a window manager's close box does."""

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
        self.lib.XInternAtom.restype = ctypes.c_ulong
        self.lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                        ctypes.c_long, ctypes.POINTER(XEvent)]
        self.display = self.lib.XOpenDisplay(display_name.encode())
        if not self.display:
            raise AssertionError("cannot open %s" % display_name)

    def make_window(self, x, y, width, height, parent=None, mapped=True):
        window = self.lib.XCreateSimpleWindow(
            self.display, parent or self.lib.XDefaultRootWindow(self.display), x, y, width,
            height, 0, 0, 0)
        if mapped:
            self.lib.XMapWindow(self.display, window)
        self.lib.XSync(self.display, 0)
        return window

    def destroy(self, window):
        self.lib.XDestroyWindow(self.display, window)
        self.lib.XSync(self.display, 0)

    def close_box(self, window):
        """Sends the window WM_DELETE_WINDOW, the close box's request."""
        event = XEvent()
        event.client.type = CLIENT_MESSAGE
        event.client.window = window
        event.client.message_type = self.lib.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        event.client.format = 32
        event.client.data[0] = self.lib.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)
        self.lib.XSendEvent(self.display, window, 0, 0, ctypes.byref(event))
        self.lib.XSync(self.display, 0)

    def close(self):
        self.lib.XCloseDisplay(self.display)


def crop(shot, x, y, width, height, screen_width=SCREEN_WIDTH):
    """The pixels of a screenshot (3 bytes each, top row first) inside a rectangle."""
    rows = []
    for row in range(y, y + height):
        start = (row * screen_width + x) * 3
        rows.append(shot[start:start + width * 3])
    return b"".join(rows)


# The flakes' median bounding-box width over height in a picture of the right shape (-root on a
# 1280x720 screen, FLAKE_SHAPE_SECONDS after the start, as flake_shapes measures it), and how far
# a picture may stray from it. The median, because flakes tumbling edge-on show as long thin
# lines, whose share varies; at one time after the start, because flakes tilt as they tumble and
# are seen more from above as they near the ground.
FLAKE_SHAPE = 1.13
FLAKE_SHAPE_SECONDS = 5
FLAKE_SHAPE_TOLERANCE = 0.15


def median_flake_shapes(session, areas, screen=(SCREEN_WIDTH, SCREEN_HEIGHT)):
    """The median of flake_shapes in each area of the screen, over the same three screenshots
    half a second apart, all taken before any is measured: measuring one takes a second or more
    on a loaded machine, and flakes that near the ground widen."""
    shots = []
    start = time.monotonic()
    for shot in range(3):
        time.sleep(max(0.0, start + 0.5 * shot - time.monotonic()))
        shots.append(session.screenshot(*screen))
    shapes = [[] for _ in areas]
    for shot in shots:
        for area, found in zip(areas, shapes):
            found += flake_shapes(crop(shot, *area, screen_width=screen[0]), area[2], area[3])
    return [statistics.median(found) if found else 0.0 for found in shapes]


# A sky whose count of flakes means something: one that has hardly begun to snow holds a flake or
# two, and a count taken then compares with nothing.
FILLED_SKY_FLAKES = 10


def filled_sky(count, what, seconds=20):
    """Waits until count() answers at least FILLED_SKY_FLAKES, and answers it; fails when the sky
    has not filled in seconds."""
    deadline = time.monotonic() + seconds
    flakes = count()
    while flakes < FILLED_SKY_FLAKES and time.monotonic() < deadline:
        time.sleep(0.5)
        flakes = count()
    if flakes < FILLED_SKY_FLAKES:
        raise AssertionError("%s: the sky did not fill (%d flakes)" % (what, flakes))
    return flakes


def check_flake_shape(shape, what, expected=FLAKE_SHAPE, tolerance=FLAKE_SHAPE_TOLERANCE):
    """A median flake shape is about that of a picture of the right shape (by default the
    reference picture's)."""
    if abs(shape / expected - 1) > tolerance:
        raise AssertionError("%s: flakes %.2f times as wide as high, not about %.2f" %
                             (what, shape, expected))
