"""The compositors beyond headless sway that the Linux program's Wayland saver is tried on, each
a context manager in the manner of wayland_harness.HeadlessSway: a folder of its own with its
XDG_RUNTIME_DIR, as user 65534 when the tests run as root, every process stopped by its own id
when it closes, every wait bounded. Each answers a session (session()) whose start(...) and
run(...) run clients as the compositor's user with its WAYLAND_DISPLAY.

    X11Sway        sway on its X11 backend, on a private Xvfb: two outputs, X11-1 and X11-2,
                   each an X window; the seat's keyboard and pointer are those windows' (xdotool
                   types and moves there); an output goes away when its window is closed.
    HeadlessWeston weston 10, headless (one output) or on its X11 backend (output_count).
    HeadlessCage   cage with two headless outputs, running the one program it is given.
    VirtualKwin    KDE's kwin_wayland 5.27 --virtual in a D-Bus session bus of its own.
    X11Kwin        kwin_wayland on its X11 backend, on a private Xvfb: its output windows give
                   the seat a keyboard and a pointer (xdotool types and moves there).

start_key_recorder starts a terminal that keeps what is typed into it, to show where keys went.
"""
import os
import shutil
import subprocess

from saver_harness import check
from wayland_harness import NOBODY, HeadlessSway, PrivateCompositor, SwaySession
from x11_harness import PrivateDisplay, Xlib

# Atoms that wlroots' X11 backend looks up without making them (only if they exist), so on a
# fresh Xvfb its output windows would get no name and no close box: made before it starts.
WLROOTS_ATOMS = (b"WM_PROTOCOLS", b"WM_DELETE_WINDOW", b"_NET_WM_NAME", b"UTF8_STRING")


def wayland_socket(runtime):
    """The Wayland socket a compositor made in its runtime folder, or None yet."""
    names = [name for name in os.listdir(runtime)
             if name.startswith("wayland-") and not name.endswith(".lock")]
    return names[0] if names else None


class X11SwaySession(SwaySession):
    """sway's clients, with the X display's input: keys typed into an output's window and
    pointer motion within it reach sway's seat as its X11 keyboard and pointer."""

    def __init__(self, env, x_env):
        super().__init__(env)
        self.x_env = x_env

    def xdotool(self, *arguments, required=True):
        """What xdotool prints; a failure fails the test where required, else prints nothing."""
        ran = subprocess.run(("xdotool",) + arguments, env=self.x_env, capture_output=True,
                             stdin=subprocess.DEVNULL, timeout=20)
        check(ran.returncode == 0 or not required,
              "xdotool %s: %s" % (" ".join(arguments), ran.stderr.decode()))
        return ran.stdout.decode() if ran.returncode == 0 else ""

    def output_windows(self):
        """{output name: X window} of the outputs' windows that have their names yet (wlroots
        names them "wlroots - X11-1" and so on, in _NET_WM_NAME alone, which `xdotool search
        --name` does not match, so every window's name is read)."""
        windows = {}
        for window in self.xdotool("search", "--name", "").split():
            # A window closed since the search has no name left to read.
            name = self.xdotool("getwindowname", window, required=False).strip()
            if name.startswith("wlroots - "):
                windows[name[len("wlroots - "):]] = int(window)
        return windows

    def output_window(self, output):
        window = self.output_windows().get(output)
        check(window is not None, "no X window for %s" % output)
        return window

    def type_text(self, window, text):
        """Types into the output's window (X11-1 without one): focused first, since keys sent
        to a window (`xdotool type --window`) are synthetic events, which wlroots ignores."""
        self.xdotool("windowfocus", "--sync", str(self.output_window(window or "X11-1")))
        self.xdotool("type", text)

    def close_output(self, output):
        """Asks the output's window to close, as a close box does: sway loses the output."""
        window = self.output_window(output)
        xlib = Xlib(self.x_env["DISPLAY"])
        try:
            xlib.close_box(window)
        finally:
            xlib.close()


class X11Sway(HeadlessSway):
    """sway on its X11 backend on an Xvfb of its own: one output per (width, height, x, y),
    X11-1 the first, each an X window, placed in sway's layout by its configuration."""

    PREFIX = "tavrel-x11sway-"

    def __init__(self, outputs=((1280, 720, 0, 0), (1280, 720, 1280, 0)), programs=(),
                 **options):
        super().__init__(programs=programs, backend="x11", **options, outputs={
            "X11-%d" % number: tuple(place) for number, place in enumerate(outputs, 1)})
        width = max(place[0] for place in outputs)
        self.display = PrivateDisplay(size=(max(width * len(outputs), 1024),
                                            max(place[1] for place in outputs)))

    def start(self):
        self.display.__enter__()
        self.x11 = self.display.name
        xlib = Xlib(self.x11)
        try:
            for atom in WLROOTS_ATOMS:
                xlib.lib.XInternAtom(xlib.display, atom, 0)
            xlib.lib.XSync(xlib.display, 0)
        finally:
            xlib.close()
        super().start()
        # Every output's window named, and the windows side by side on the X screen as the
        # outputs are in the layout, so that the pointer is over one window only.
        windows = self.wait_for(self.client_session.programs[0], lambda: (
            lambda found: found if len(found) == len(self.outputs) else None)(
                self.client_session.output_windows()), "the outputs' X windows")
        for name, place in self.outputs.items():
            self.client_session.xdotool("windowmove", str(windows[name]), str(place[2]),
                                        str(place[3]))

    def make_session(self, env):
        return X11SwaySession(env, dict(os.environ, DISPLAY=self.x11))

    def __exit__(self, *_):
        super().__exit__()
        self.display.__exit__()


class CompositorSession(SwaySession):
    """The clients of a compositor other than sway: SwaySession's start, run and grim
    screenshots (where the compositor offers wlr-screencopy), without swaymsg."""


class HeadlessWeston(PrivateCompositor):
    """weston 10 with the pixman renderer and no idle time-out (its default of 300 s would fade
    the outputs out and stop their frames): headless, one output of size; with x11 set
    (output_count outputs, each an X window of size on a private Xvfb) on its X11 backend, whose
    windows give the seat a keyboard and a pointer."""

    PREFIX = "tavrel-weston-"

    def __init__(self, size=(1280, 720), programs=(), output_count=None):
        super().__init__(programs)
        self.size = size
        self.output_count = output_count
        self.display = PrivateDisplay(size=(size[0] * output_count, size[1])) \
            if output_count else None

    def launch(self, env, runtime):
        backend = ["--backend=headless-backend.so"]
        if self.display is not None:
            self.display.__enter__()
            env.update(DISPLAY=self.display.name)
            backend = ["--backend=x11-backend.so", "--output-count=%d" % self.output_count]
        self.client_session = CompositorSession(env)
        weston = self.client_session.start(
            "weston", *backend, "--use-pixman", "--idle-time=0", "--socket=wayland-weston",
            "--width=%d" % self.size[0], "--height=%d" % self.size[1],
            "--log=%s" % os.path.join(runtime, "weston.log"))
        self.wait_for(weston, lambda: wayland_socket(runtime), "weston's socket")
        env.update(WAYLAND_DISPLAY="wayland-weston")

    def __exit__(self, *_):
        super().__exit__()
        if self.display is not None:
            self.display.__exit__()


class CageSession(CompositorSession):
    """cage's one client, which cage started: program is its process (cage's child, not in a
    process group of its own), cage the compositor's."""

    def __init__(self, env, cage):
        super().__init__(env)
        self.cage = cage
        self.programs = [cage]

    def program_pid(self):
        """The process id of cage's child, the program it runs, or None once it has ended."""
        path = "/proc/%d/task/%d/children" % ((self.cage.popen.pid,) * 2)
        try:
            with open(path, encoding="ascii") as children:
                found = [int(pid) for pid in children.read().split()]
        except OSError:
            return None
        # As root, the child is setpriv's, which became cage by exec.
        return found[0] if found else None


class HeadlessCage(PrivateCompositor):
    """cage 0.1.4 (a kiosk) on wlroots' headless backend with output_count outputs of 1280x720
    side by side (wlroots' headless default: cage has no configuration and no IPC), running
    command as its one client, with env added to its environment (cage's own is the session's;
    a part of command or a value of env that names one of programs names its copy);
    it ends when that ends. status() is cage's exit status."""

    PREFIX = "tavrel-cage-"

    def __init__(self, command, programs=(), output_count=2, env=None):
        super().__init__(programs)
        self.command = command
        self.output_count = output_count
        self.extra_env = env or {}
        self.cage = None

    def launch(self, env, runtime):
        env.update(WLR_BACKENDS="headless", WLR_HEADLESS_OUTPUTS=str(self.output_count),
                   WLR_RENDERER="pixman", WLR_LIBINPUT_NO_DEVICES="1")
        session = CompositorSession(env)
        command = [self.copy(part) if part in self.programs else part for part in self.command]
        extra = {name: self.copy(value) if value in self.programs else value
                 for name, value in self.extra_env.items()}
        # The client's own variables through env, which becomes the client by exec.
        self.errors = open(os.path.join(self.folder, "client.log"), "w", encoding="utf-8")
        self.cage = session.start("cage", "--", "env", *["%s=%s" % item for item in
                                                          extra.items()],
                                  *command, errors=self.errors)
        self.client_session = CageSession(env, self.cage)
        env.update(WAYLAND_DISPLAY=self.wait_for(self.cage, lambda: wayland_socket(runtime),
                                                 "cage's socket"))

    def log(self):
        """What cage and its client wrote to standard error so far."""
        with open(self.errors.name, encoding="utf-8", errors="replace") as lines:
            return lines.read()

    def status(self, timeout):
        return self.cage.wait(timeout)

    def __exit__(self, *_):
        super().__exit__()
        if self.cage is not None:
            self.errors.close()


def start_session_bus(compositor, env, runtime):
    """Starts a D-Bus session bus of the compositor's own, listening in its runtime folder, and
    adds its address to env, so that the compositor and its clients share it."""
    bus = compositor.client_session.start(
        "dbus-daemon", "--session", "--nofork", "--print-address=1",
        "--address=unix:path=%s" % os.path.join(runtime, "bus"), output=True)
    address = bus.readline(10)
    check(address, "dbus-daemon did not start")
    env.update(DBUS_SESSION_BUS_ADDRESS=address)


def launch_kwin(compositor, env, runtime, *backend, lockscreen=False):
    """Starts a copy of kwin_wayland in the compositor's folder, with the backend's arguments and
    no global shortcuts, in a D-Bus session bus of its own (shared with its clients where it runs
    its screen locker, whose org.freedesktop.ScreenSaver they follow), its configuration in the
    folder and what it says in kwin.log there (compositor.errors); waits for its socket, adds it
    to env and answers kwin's program."""
    kwin = os.path.join(compositor.folder, "kwin_wayland")
    shutil.copy(shutil.which("kwin_wayland"), kwin)
    config = os.path.join(compositor.folder, ".config")
    os.mkdir(config)
    if os.getuid() == 0:
        os.chown(config, NOBODY, NOBODY)
    # QPainter compositing: on Xvfb kwin's OpenGL compositing fails (no binding of pixmaps to
    # EGL images) only after it has been tried.
    env.update(QT_QPA_PLATFORM="wayland-org.kde.kwin.qpa", KWIN_COMPOSE="Q",
               XDG_CONFIG_HOME=config, XDG_DATA_HOME=config, XDG_CACHE_HOME=config)
    compositor.errors = open(os.path.join(compositor.folder, "kwin.log"), "w", encoding="utf-8")
    if lockscreen:
        start_session_bus(compositor, env, runtime)
    program = compositor.client_session.start(
        *([] if lockscreen else ["dbus-run-session", "--"]), kwin, *backend,
        *([] if lockscreen else ["--no-lockscreen"]), "--no-global-shortcuts",
        "--no-kactivities", "--socket", "wayland-kwin", errors=compositor.errors)
    compositor.wait_for(program, lambda: wayland_socket(runtime), "kwin's socket")
    env.update(WAYLAND_DISPLAY="wayland-kwin")
    return program


class VirtualKwin(PrivateCompositor):
    """KDE's kwin_wayland 5.27 on its virtual backend (one output of size), in a D-Bus session
    bus of its own (dbus-run-session), with no lock screen and no global shortcuts, and its fake
    input offered to the program fake_input (one of programs) if given. Debian's
    kwin_wayland has file capabilities (cap_sys_resource), which a process without that
    capability in its bounding set may not exec (EPERM), and kwin's Qt platform plugin only
    loads into a program named kwin_wayland: so a copy of that name, in the folder, runs."""

    PREFIX = "tavrel-kwin-"

    def __init__(self, size=(1280, 720), programs=(), fake_input=None):
        super().__init__(programs)
        self.size = size
        self.fake_input = fake_input

    def launch(self, env, runtime):
        self.client_session = CompositorSession(env)
        self.kwin = launch_kwin(self, env, runtime, "--virtual", "--width", str(self.size[0]),
                                "--height", str(self.size[1]))
        if self.fake_input:
            # kwin offers its fake input only to a program that a desktop entry of its data
            # folder (XDG_DATA_HOME) names, asking for it.
            os.makedirs(os.path.join(self.folder, ".config", "applications"))
            self.write(".config/applications/fake_input.desktop", "[Desktop Entry]\n"
                       "Type=Application\nName=fake input\nExec=%s\n"
                       "X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n" %
                       self.copy(self.fake_input))

    def __exit__(self, *_):
        super().__exit__()
        if hasattr(self, "errors"):
            self.errors.close()


class X11KwinSession(X11SwaySession):
    """kwin's clients, with the X display's input as X11SwaySession has it (type_text focuses
    the output's window first, X11-0's without one). kwin names its outputs X11-0, X11-1, ...
    in the order it makes them, but their windows all alike ("KDE Wayland Compositor (SOCKET)
    - ..."): told apart by that order, which is that of their X window ids."""

    def output_windows(self):
        ran = subprocess.run(("xwininfo", "-root", "-children"), env=self.x_env,
                             capture_output=True, stdin=subprocess.DEVNULL, timeout=20)
        found = sorted(int(line.split()[0], 16) for line in ran.stdout.decode().splitlines()
                       if '"KDE Wayland Compositor' in line)
        return {"X11-%d" % number: window for number, window in enumerate(found)}

    def type_text(self, window, text):
        super().type_text(window or "X11-0", text)


class X11Kwin(PrivateCompositor):
    """KDE's kwin_wayland 5.27 on its X11 backend, on an Xvfb of its own, as VirtualKwin runs
    it: output_count outputs of size, side by side from X11-0, each an X window placed on the X
    screen as the output is in kwin's layout, whose keyboard and pointer are the seat's. With
    lockscreen, kwin runs KDE's screen locker, on a session bus its clients share (lock() locks
    it; nothing here unlocks it: its greeter cannot run)."""

    PREFIX = "tavrel-x11kwin-"

    def __init__(self, size=(1280, 720), programs=(), output_count=1, lockscreen=False):
        super().__init__(programs)
        self.size = size
        self.output_count = output_count
        self.lockscreen = lockscreen
        self.display = PrivateDisplay(size=(max(size[0] * output_count, 1024), size[1]))

    def launch(self, env, runtime):
        self.display.__enter__()
        self.client_session = X11KwinSession(env, dict(os.environ, DISPLAY=self.display.name))
        self.kwin = launch_kwin(self, env, runtime, "--x11-display", self.display.name,
                                "--width", str(self.size[0]), "--height", str(self.size[1]),
                                "--output-count", str(self.output_count),
                                lockscreen=self.lockscreen)
        # kwin puts every output's window at the X screen's corner: side by side instead, so
        # that the pointer is over one of them only.
        windows = self.wait_for(self.kwin, lambda: (
            lambda found: found if len(found) == self.output_count else None)(
                self.client_session.output_windows()), "kwin's output windows")
        for number in range(self.output_count):
            self.client_session.xdotool("windowmove", str(windows["X11-%d" % number]),
                                        str(number * self.size[0]), "0")

    def __exit__(self, *_):
        super().__exit__()
        if hasattr(self, "errors"):
            self.errors.close()
        self.display.__exit__()


    def lock(self):
        """Locks the session through KDE's locker, as its idle time or a key binding would."""
        ran = self.client_session.run(
            "dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.ScreenSaver",
            "/ScreenSaver", "org.freedesktop.ScreenSaver.Lock", timeout=20)
        check(ran.returncode == 0, "Lock: %s" % ran.stderr.decode(errors="replace"))


# What the key recorder's shell does: takes each key as it comes (no line editing, which would
# hold keys back until Return) and writes it to the file it is given, unbuffered.
KEY_RECORDER = """#!/bin/sh
stty -icanon -echo min 1
exec cat > "%s"
"""


def start_key_recorder(compositor):
    """Starts weston-terminal as the compositor's client, its shell a script that copies what
    is typed into it to a file in the folder; answers the terminal's program and that file's
    path (typed_text reads it). The file is there, empty, before the terminal starts."""
    number = len([name for name in os.listdir(compositor.folder) if name.startswith("typed-")])
    path = compositor.write("typed-%d.txt" % number, "")
    if os.getuid() == 0:
        os.chown(path, NOBODY, NOBODY)
    script = compositor.write("record-keys-%d" % number, KEY_RECORDER % path)
    os.chmod(script, 0o755)
    return compositor.session().start("weston-terminal", "--shell=" + script), path


def typed_text(path):
    """What has reached a key recorder so far."""
    with open(path, encoding="utf-8", errors="replace") as typed:
        return typed.read()
