"""Runs the Linux program's Wayland saver on Debian's sway, headless (WLR_BACKENDS=headless,
pixman rendering, no input devices), in a folder of its own that holds sway's XDG_RUNTIME_DIR,
its configuration and copies of the programs the tests run there. sway refuses to run as root, so
as root it and every client run as the unprivileged user 65534 (nobody); run as anyone else, they
run as that user. A headless sway's seat has no devices, and a client gets no pointer from a seat
without one: wayvnc, started beside sway with its virtual pointer and keyboard, gives the seat
both, and then `swaymsg seat - cursor move` reaches the saver as pointer motion. Every process is
stopped by its own id when the compositor closes, pass or fail.

    with HeadlessSway(programs=[PROGRAM]) as sway:
        session = sway.session()
        tavrel = session.start(sway.copy(PROGRAM), "--wayland")
"""
import json
import os
import shutil
import tempfile
import time

from saver_harness import Session, check

NOBODY = 65534
START_SECONDS = 20


def user_switch():
    """The command prefix that runs a program as nobody when the tests run as root."""
    if os.getuid() != 0:
        return []
    return ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups", "--"]


def ppm_pixels(data):
    """(width, height, pixels) of a binary PPM picture (grim -t ppm), 3 bytes a pixel."""
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        start = position
        while not data[position:position + 1].isspace():
            position += 1
        fields.append(data[start:position])
    check(fields[0] == b"P6", "not a PPM picture")
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[position + 1:position + 1 + width * height * 3]


class SwaySession(Session):
    """A session whose programs are the compositor's clients: started as its user, with its
    runtime folder, socket and IPC socket in their environment; screenshots come from grim,
    pointer motion from swaymsg, keys from wtype."""

    def __init__(self, env):
        super().__init__(env, scr=None)

    def start(self, *command, **options):
        return super().start(*(user_switch() + list(command)), **options)

    def run(self, *command, timeout=60):
        return super().run(*(user_switch() + list(command)), timeout=timeout)

    def screenshot(self, width=None, height=None, output=None):
        """The whole desktop, or one output, as bytes, 3 a pixel, top row first."""
        shot = self.run("grim", "-t", "ppm", *(["-o", output] if output else []), "-",
                        timeout=30)
        check(shot.returncode == 0, "grim failed: %s" % shot.stderr.decode(errors="replace"))
        shot_width, shot_height, pixels = ppm_pixels(shot.stdout)
        check(width is None or (shot_width, shot_height) == (width, height),
              "a screenshot of %dx%d" % (shot_width, shot_height))
        return pixels

    def msg(self, *command):
        ran = self.run("swaymsg", *command, timeout=20)
        check(ran.returncode == 0, "swaymsg %s: %s" % (" ".join(command), ran.stdout.decode()))

    def move_mouse_by(self, dx, dy):
        self.msg("seat", "-", "cursor", "move", str(dx), str(dy))

    def click(self, button=1):
        self.msg("seat", "-", "cursor", "press", "button%d" % button)
        self.msg("seat", "-", "cursor", "release", "button%d" % button)

    def type_text(self, window, text):
        self.run("wtype", text)

    def add_output(self, width, height, x, y):
        """Creates the next headless output and gives it a size and a place; answers its name."""
        before = self.output_names()
        self.msg("create_output")
        name = [found for found in self.output_names() if found not in before][0]
        self.msg("output", name, "resolution", "%dx%d" % (width, height), "position", str(x),
                 str(y))
        return name

    def output_names(self):
        ran = self.run("swaymsg", "-t", "get_outputs", "-r", timeout=20)
        return [output["name"] for output in json.loads(ran.stdout)]



class PrivateCompositor:
    """What every compositor the tests start has: a folder of its own (removed when it closes)
    that holds its XDG_RUNTIME_DIR (mode 700, owned by the user it runs as) and copies of the
    programs that user runs (copy gives a copy's path); a session whose programs, the compositor
    first, are stopped by their own ids in the reverse order when it closes. A subclass starts
    the compositor in launch(env, runtime) and adds WAYLAND_DISPLAY to env."""

    PREFIX = "tavrel-wayland-"

    def __init__(self, programs=()):
        self.programs = programs
        self.folder = None
        self.runtime = None
        self.client_session = None

    def copy(self, path):
        return os.path.join(self.folder, os.path.basename(path))

    def __enter__(self):
        self.folder = tempfile.mkdtemp(prefix=self.PREFIX)
        try:
            self.start()
        except BaseException:
            self.__exit__()
            raise
        return self

    def start(self):
        os.chmod(self.folder, 0o755)
        self.runtime = os.path.join(self.folder, "runtime")
        os.mkdir(self.runtime, 0o700)
        if os.getuid() == 0:
            os.chown(self.runtime, NOBODY, NOBODY)
        for path in self.programs:
            shutil.copy(path, self.copy(path))
        env = {name: value for name, value in os.environ.items()
               if not name.startswith(("WAYLAND_", "SWAYSOCK", "DISPLAY", "XDG_", "DBUS_"))}
        env.update(XDG_RUNTIME_DIR=self.runtime, HOME=self.folder)
        self.launch(env, self.runtime)

    def launch(self, env, runtime):
        raise NotImplementedError

    def write(self, name, text):
        """A file in the folder that the compositor's user can read; answers its path."""
        path = os.path.join(self.folder, name)
        with open(path, "w", encoding="utf-8") as lines:
            lines.write(text)
        os.chmod(path, 0o644)
        return path

    def wait_for(self, compositor, found, what, seconds=START_SECONDS):
        """Polls found() until it answers something true, while the compositor runs; answers
        that, or fails with what did not happen."""
        deadline = time.monotonic() + seconds
        while True:
            answer = found()
            if answer:
                return answer
            check(compositor.running(), "the compositor ended before %s" % what)
            check(time.monotonic() < deadline, "%s: not within %d s" % (what, seconds))
            time.sleep(0.05)

    def session(self):
        return self.client_session

    def __exit__(self, *_):
        # The clients first, the compositor last.
        if self.client_session is not None:
            for program in reversed(self.client_session.programs):
                program.stop()
        shutil.rmtree(self.folder, ignore_errors=True)


class HeadlessSway(PrivateCompositor):
    """sway with its first output HEADLESS-1 of the given size at (0, 0); programs are copied
    where its user can run them (copy gives a copy's path). backend="x11" runs it on the X
    display x11 instead, one output a window there (X11-1, X11-2, ...), each output's size and
    place from outputs ({name: (width, height, x, y)}); the X windows give the seat a keyboard,
    a pointer and touch, so wayvnc is not started then. devices=False leaves the seat without
    any, on either backend. config adds lines to sway's configuration."""

    PREFIX = "tavrel-sway-"

    def __init__(self, size=(1280, 720), programs=(), backend="headless", x11=None,
                 outputs=None, config="", devices=True):
        super().__init__(programs)
        self.config = config
        self.devices = devices
        self.size = size
        self.backend = backend
        self.x11 = x11
        self.outputs = outputs or {"HEADLESS-1": tuple(size) + (0, 0)}

    def launch(self, env, runtime):
        config = self.write("config", "xwayland disable\n" + "".join(
            "output %s resolution %dx%d position %d %d\n" % ((name,) + place)
            for name, place in self.outputs.items()) + self.config +
            # No seat takes the devices of a backend that has some (X11).
            ("" if self.devices else "seat seat0 fallback false\n"))
        env.update(WLR_BACKENDS=self.backend, WLR_RENDERER="pixman", WLR_LIBINPUT_NO_DEVICES="1")
        if self.backend == "x11":
            env.update(DISPLAY=self.x11, WLR_X11_OUTPUTS=str(len(self.outputs)))
        self.client_session = self.make_session(env)
        # What sway says goes to sway.log in the folder (read it before the folder goes).
        with open(os.path.join(self.folder, "sway.log"), "w", encoding="utf-8") as log:
            sway = self.client_session.start("sway", "-c", config, errors=log)
        sockets = self.wait_for(sway, lambda: self.sockets(runtime), "sway's sockets")
        env.update(WAYLAND_DISPLAY=sockets[0], SWAYSOCK=os.path.join(runtime, sockets[1]))
        if not self.devices:
            return
        if self.backend != "x11":
            # An empty configuration file: wayvnc otherwise looks for one in a home it lacks.
            vnc_config = self.write("wayvnc.conf", "")
            self.client_session.start("wayvnc", "-C", vnc_config, "-u",
                                      os.path.join(runtime, "vnc"))
        self.wait_for(sway, lambda: "pointer" in self.seat_devices(), "a pointer on the seat")

    def make_session(self, env):
        return SwaySession(env)

    @staticmethod
    def sockets(runtime):
        """The Wayland socket and the IPC socket sway made, once it has made both."""
        names = os.listdir(runtime)
        wayland = [name for name in names if name.startswith("wayland-") and
                   not name.endswith(".lock")]
        ipc = [name for name in names if name.startswith("sway-ipc.")]
        return [wayland[0], ipc[0]] if wayland and ipc else []

    def seat_devices(self):
        ran = self.client_session.run("swaymsg", "-t", "get_seats", timeout=20)
        return ran.stdout.decode(errors="replace")
