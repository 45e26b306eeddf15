"""The real GNOME Shell 43 session, headless, in the manner of wayland_harness.HeadlessSway: a
folder of its own (its home, XDG folders and XDG_RUNTIME_DIR), everything as user 65534 when the
tests run as root, every process stopped by its own id when it closes, every wait bounded.

gnome-session --builtin runs a session of one required component, gnome-shell --headless on one
virtual monitor, and the power plugin of gnome-settings-daemon, as a real session has it, on two
private buses: a session bus, and a second daemon standing in for the system bus. The shell
draws its shield once the session has been idle for the blank time (idle_delay; headless the
shield does not fade in, and its ActiveChanged comes within a tenth of a second of that time),
but only where a display manager answers on the system bus: a stand-in for one
(display_manager.py in the folder) answers there. The session does not lock (nobody could
unlock it). The shell opens in its overview; Escape and the Super key leave it.

A helper (session_helper.py, python3-gi) lives as long as the session on its session bus and
acts as the user's hands and eyes there:
  - it holds one RemoteDesktop session of mutter's from the start, whose virtual keyboard and
    pointer send the tests' keys and motion: mutter gives keys only to a virtual keyboard that
    existed before the focused window appeared, so the same one serves every test;
  - it owns org.gnome.Screenshot, one of the names the shell's Screenshot answers.
The session starts in about a second here.

    with GnomeSession(idle_delay=24, programs=[PROGRAM]) as gnome:
        saver = gnome.session().start(gnome.copy(PROGRAM), "--wayland", "--idle", "600")
        gnome.wait_for_shield(40)
"""
import json
import os
import shutil
import signal
import subprocess
import time

from compositors import CompositorSession, wayland_socket
from saver_harness import Program, check
from wayland_harness import NOBODY, PrivateCompositor, ppm_pixels, user_switch

# Debian's own python3, which has python3-gi (the one running the tests may not).
GI_PYTHON = "/usr/bin/python3"
SESSION_NAME = "tavrel"
# Measured here on 2 cores: the session runs under a second after the buses start.
GNOME_START_SECONDS = 30
# A child of the shell that runs the shell's own program this long after its fork is stuck
# before its exec (see free_stuck_fork); a child that is not execs within milliseconds.
FORK_SECONDS = 2
SHELL_ENTRY = """[Desktop Entry]
Type=Application
Name=GNOME Shell
Exec=gnome-shell --headless --wayland --no-x11 --virtual-monitor %dx%d
X-GNOME-Autostart-Phase=DisplayServer
X-GNOME-Provides=panel;windowmanager;
X-GNOME-Autostart-Notify=true
X-GNOME-AutoRestart=false
"""
POWER_ENTRY = "/etc/xdg/autostart/org.gnome.SettingsDaemon.Power.desktop"
# gnome-session's flag for an inhibitor of idle (org.gnome.SessionManager.Inhibit).
INHIBIT_IDLE = 8

DISPLAY_MANAGER = r'''
"""Stands in for GDM on the private system bus: the shell draws its shield only where a
display manager of version 3.5.91 or later answers. Says "ready" once it owns its name."""
from gi.repository import Gio, GLib

MANAGER = Gio.DBusNodeInfo.new_for_xml("""<node>
  <interface name="org.gnome.DisplayManager.Manager">
    <method name="RegisterSession"><arg type="a{sv}" direction="in"/></method>
    <property name="Version" type="s" access="read"/>
  </interface></node>""").interfaces[0]

bus = Gio.bus_get_sync(Gio.BusType.SYSTEM)
bus.register_object("/org/gnome/DisplayManager/Manager", MANAGER,
                    lambda *call: call[-1].return_value(None),
                    lambda *_: GLib.Variant("s", "43.0"), None)
owned = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                      "RequestName", GLib.Variant("(su)", ("org.gnome.DisplayManager", 4)),
                      GLib.VariantType("(u)"), 0, 10000, None).unpack()[0]
print("ready" if owned == 1 else "org.gnome.DisplayManager is taken", flush=True)
GLib.MainLoop().run()
'''

SESSION_HELPER = r'''
"""The tests' hands and eyes on the session bus (see gnome_session.py). Reads one command a
line on standard input and answers one line, "ok" and a JSON value or "error" and why; ends
when its input ends."""
import json
import os
import sys

import gi
from gi.repository import Gio, GLib

SHIELD = ("org.gnome.Shell.ScreenShield", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver")
SHELL = ("org.gnome.Shell", "/org/gnome/Shell")
REMOTE = "org.gnome.Mutter.RemoteDesktop"

bus = Gio.bus_get_sync(Gio.BusType.SESSION)


def call(name, path, interface, method, signature=None, values=(), reply=None):
    parameters = GLib.Variant(signature, values) if signature else None
    answer = bus.call_sync(name, path, interface, method, parameters,
                           GLib.VariantType(reply) if reply else None,
                           Gio.DBusCallFlags.NO_AUTO_START, 20000, None)
    return answer.unpack() if answer is not None else ()


def own(name):
    owned = call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                 "RequestName", "(su)", (name, 4), "(u)")[0]
    if owned != 1:
        raise RuntimeError("%s is taken" % name)


def remote(method, signature, values):
    call(REMOTE, session_path, REMOTE + ".Session", method, signature, values)


def key(keysym):
    for pressed in (True, False):
        remote("NotifyKeyboardKeysym", "(ub)", (int(keysym, 0), pressed))


def move(dx, dy):
    remote("NotifyPointerMotionRelative", "(dd)", (float(dx), float(dy)))


def shot(path):
    """The whole stage into path, a PNG, as the shell writes it."""
    done, _ = call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                   "org.gnome.Shell.Screenshot", "Screenshot", "(bbs)", (False, False, path),
                   "(bs)")
    if not done:
        raise RuntimeError("the shell took no screenshot")


def overview():
    return call(*SHELL, "org.freedesktop.DBus.Properties", "Get", "(ss)",
                ("org.gnome.Shell", "OverviewActive"), "(v)")[0]


def inhibited(flags):
    return call("org.gnome.SessionManager", "/org/gnome/SessionManager",
                "org.gnome.SessionManager", "IsInhibited", "(u)", (int(flags),), "(b)")[0]


COMMANDS = {
    "key": key,
    "move": move,
    "shot": shot,
    "overview": overview,
    "inhibited": inhibited,
    "active": lambda: call(*SHIELD, "GetActive", reply="(b)")[0],
}


def answer(line):
    name, *arguments = line.split()
    try:
        said = "ok " + json.dumps(COMMANDS[name](*arguments))
    except Exception as error:  # every fault is the answer, not the helper's end
        said = "error " + " ".join(str(error).split())
    sys.stdout.write(said + "\n")
    sys.stdout.flush()


def on_input(fd, _condition, pending=[b""]):
    data = os.read(fd, 65536)
    if not data:
        loop.quit()
        return False
    *lines, pending[0] = (pending[0] + data).split(b"\n")
    for line in lines:
        answer(line.decode())
    return True


own("org.gnome.Screenshot")
session_path = call(REMOTE, "/org/gnome/Mutter/RemoteDesktop", REMOTE, "CreateSession",
                    reply="(o)")[0]
call(REMOTE, session_path, REMOTE + ".Session", "Start")
# The first key of a new virtual keyboard reaches nobody: a Shift, before any test's key.
key("0xffe1")
print("ready", flush=True)
loop = GLib.MainLoop()
GLib.unix_fd_add_full(GLib.PRIORITY_DEFAULT, 0, GLib.IOCondition.IN | GLib.IOCondition.HUP,
                      on_input)
loop.run()
'''


class GnomeClients(CompositorSession):
    """The session's clients: started as its user with its buses, Wayland socket, home and XDG
    folders in their environment. Keys and pointer motion go through the session's held
    RemoteDesktop session to whatever has the keyboard focus (window is not used: mutter has
    no way to give a window the focus from outside), which is the overview's search field
    while the overview is open, whatever window is mapped beneath it. Screenshots are the
    shell's own."""

    def __init__(self, env, gnome):
        super().__init__(env)
        self.gnome = gnome

    def type_text(self, window, text):
        """Types printable ASCII, whose keysyms are its character codes."""
        for character in text:
            check(" " <= character <= "~", "cannot type %r" % character)
            self.gnome.ask("key", "0x%x" % ord(character))

    def screenshot(self, width=None, height=None):
        """The whole stage as bytes, 3 a pixel, top row first; the shell's PNG stays in the
        runtime folder as screenshot.png. ImageMagick's own convert (the one on PATH may be
        another program of that name) turns it into a PPM."""
        path = os.path.join(self.gnome.runtime, "screenshot.png")
        self.gnome.ask("shot", path)
        converted = self.run("/usr/bin/convert", path, "ppm:-", timeout=30)
        check(converted.returncode == 0, "convert: %s" % converted.stderr.decode(errors="replace"))
        shot_width, shot_height, pixels = ppm_pixels(converted.stdout)
        check(width is None or (shot_width, shot_height) == (width, height),
              "a screenshot of %dx%d" % (shot_width, shot_height))
        return pixels


class GnomeSession(PrivateCompositor):
    """gnome-session with gnome-shell on one virtual monitor of size and the blank time
    idle_delay (seconds); programs are copied where its user can run them (copy gives a copy's
    path). The shield does not lock the session: headless it would lock at once, and nobody
    could answer the unlock prompt to lower it again."""

    PREFIX = "tavrel-gnome-"

    def __init__(self, idle_delay=24, size=(1280, 720), programs=()):
        super().__init__(programs)
        self.idle_delay = idle_delay
        self.size = size
        self.gnome_session = None
        self.helper = None
        self.helper_log = None
        self.forks = {}

    # Start-up.

    def launch(self, env, runtime):
        home = self.make_home(env)
        self.client_session = GnomeClients(env, self)
        env.update(DBUS_SYSTEM_BUS_ADDRESS=self.start_bus("system_bus"))
        env.update(DBUS_SESSION_BUS_ADDRESS=self.start_bus("bus"))
        self.start_ready("display manager", GI_PYTHON,
                         self.write("display_manager.py", DISPLAY_MANAGER))
        # Written before the session starts, into the dconf database it reads.
        self.set_idle_delay(self.idle_delay)
        self.gsettings("org.gnome.desktop.screensaver", "lock-enabled", "false")
        autostart = self.write_session(home)
        # The binary itself: the gnome-session script would restart it from a login shell.
        with open(os.path.join(self.folder, "gnome.log"), "w", encoding="utf-8") as log:
            self.gnome_session = self.client_session.start(
                "/usr/libexec/gnome-session-binary", "--builtin", "--session=" + SESSION_NAME,
                "-a", autostart, errors=log)
        try:
            self.wait_for(self.gnome_session, self.started, "the session's start",
                          GNOME_START_SECONDS)
        except AssertionError as failure:
            with open(log.name, encoding="utf-8", errors="replace") as said:
                raise AssertionError("%s; it said: %s" % (failure, said.read()[-3000:])) \
                    from None
        env.update(WAYLAND_DISPLAY=self.wait_for(
            self.gnome_session, lambda: wayland_socket(runtime), "the shell's socket"))
        self.helper = self.start_helper()

    def make_home(self, env):
        """The session user's home with its XDG folders."""
        home = os.path.join(self.folder, "home")
        folders = {"XDG_CONFIG_HOME": ".config", "XDG_DATA_HOME": ".local/share",
                   "XDG_CACHE_HOME": ".cache"}
        for name, folder in folders.items():
            os.makedirs(os.path.join(home, folder))
            env[name] = os.path.join(home, folder)
        os.makedirs(os.path.join(home, ".config/gnome-session/sessions"))
        os.makedirs(os.path.join(home, ".local/share/applications"))
        if os.getuid() == 0:
            for root, folders_in, files in os.walk(home):
                for name in [root] + [os.path.join(root, found) for found in
                                      folders_in + files]:
                    os.chown(name, NOBODY, NOBODY)
        env.update(HOME=home, XDG_SESSION_TYPE="wayland", XDG_CURRENT_DESKTOP="GNOME")
        return home

    def start_bus(self, name):
        """A dbus-daemon of the session kind listening on name in the runtime folder; answers
        its address. The system bus is one too: a system-kind daemon needs root and /run."""
        bus = self.client_session.start(
            "dbus-daemon", "--session", "--nofork", "--print-address=1",
            "--address=unix:path=%s" % os.path.join(self.runtime, name), output=True)
        address = bus.readline(10)
        check(address, "dbus-daemon did not start")
        return address

    def write_session(self, home):
        """The session's description, the shell's entry and an autostart folder holding the
        power plugin's entry alone; answers that folder."""
        self.write("home/.config/gnome-session/sessions/%s.session" % SESSION_NAME,
                   "[GNOME Session]\nName=Tavrel\nRequiredComponents=org.gnome.Shell;\n")
        self.write("home/.local/share/applications/org.gnome.Shell.desktop",
                   SHELL_ENTRY % tuple(self.size))
        autostart = os.path.join(self.folder, "autostart")
        os.mkdir(autostart)
        shutil.copy(POWER_ENTRY, autostart)
        os.chmod(os.path.join(autostart, os.path.basename(POWER_ENTRY)), 0o644)
        return autostart

    def start_ready(self, what, *command):
        """Starts a helper that says "ready" once it serves, with its input a pipe."""
        if self.helper_log is None:
            self.helper_log = open(os.path.join(self.folder, "helpers.log"), "w",
                                   encoding="utf-8")
        popen = subprocess.Popen(user_switch() + list(command), env=self.client_session.env,
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                 stderr=self.helper_log, start_new_session=True)
        program = Program(popen)
        self.client_session.programs.append(program)
        said = program.readline(20)
        if said != "ready":
            self.helper_log.flush()
            with open(self.helper_log.name, encoding="utf-8", errors="replace") as log:
                check(False, "the %s did not start (%r): %s" % (what, said, log.read()[-2000:]))
        return program

    def start_helper(self):
        return self.start_ready("session helper", GI_PYTHON,
                                self.write("session_helper.py", SESSION_HELPER))

    # The helper's answers.

    def ask(self, command, *arguments):
        """What the session helper answered (a JSON value); its failure fails the test."""
        self.helper.popen.stdin.write((" ".join((command,) + arguments) + "\n").encode())
        self.helper.popen.stdin.flush()
        said = self.helper.readline(30)
        check(said is not None, "the session helper did not answer %s" % command)
        check(said.startswith("ok "), "%s: %s" % (command, said))
        return json.loads(said[3:])

    def started(self):
        """Whether the session runs (see running); frees the shell from a stuck fork first."""
        self.free_stuck_fork()
        return self.running()

    def free_stuck_fork(self):
        """As it starts, the shell starts ibus-daemon with a JavaScript function to run in the
        child between fork and exec, where a child of a process with threads can deadlock
        (about 1 start in 30 here); the shell then waits for that exec for ever. Such a child
        (the shell's, still running the shell's program FORK_SECONDS after it was first seen)
        is stopped by its own id: the shell takes its end for an exec and goes on."""
        parents = process_parents()
        shells = [pid for pid, parent in parents.items()
                  if parent == self.gnome_session.popen.pid and
                  os.path.basename(process_program(pid) or "") == "gnome-shell"]
        now = time.monotonic()
        for pid, parent in parents.items():
            if parent in shells and process_program(pid) == process_program(parent):
                if now - self.forks.setdefault(pid, now) > FORK_SECONDS:
                    stop(pid)

    def running(self):
        """Whether gnome-session runs the session (the shell has said it is ready) and the
        shell's shield answers, by gdbus (the session helper needs the shell)."""
        return "true" in self.gdbus("org.gnome.SessionManager", "/org/gnome/SessionManager",
                                    "org.gnome.SessionManager.IsSessionRunning") and \
            bool(self.gdbus("org.gnome.Shell.ScreenShield", "/org/gnome/ScreenSaver",
                            "org.gnome.ScreenSaver.GetActive"))

    def gdbus(self, name, path, method):
        """What gdbus call answered, or "" when the call failed."""
        ran = self.client_session.run("gdbus", "call", "--session", "--dest", name,
                                      "--object-path", path, "--method", method, timeout=20)
        return ran.stdout.decode() if ran.returncode == 0 else ""

    # The shield and the blank time.

    def shield_active(self):
        return self.ask("active")

    def wait_for_shield(self, seconds, active=True):
        """Waits until the shield is up (or down)."""
        self.wait_for(self.gnome_session, lambda: self.shield_active() == active,
                      "the shield %s" % ("up" if active else "down"), seconds)

    def set_idle_delay(self, seconds):
        """GNOME's blank time (Settings' "Screen Blank"), in seconds, in the session's dconf."""
        self.gsettings("org.gnome.desktop.session", "idle-delay", "uint32 %d" % seconds)

    def gsettings(self, schema, key, value):
        ran = self.client_session.run("gsettings", "set", schema, key, value, timeout=30)
        check(ran.returncode == 0, "gsettings set %s %s: %s" % (
            schema, key, ran.stderr.decode(errors="replace")))

    def reset_idle(self):
        """A pointer nudge there and back: user input, which ends the idle time (and lowers a
        shield that is up), with the pointer where it was."""
        self.ask("move", "1", "0")
        self.ask("move", "-1", "0")

    def inhibit_idle(self):
        """Starts gnome-session-inhibit as a client that holds an inhibitor of idle while it
        runs; answers it once gnome-session counts it. Stop it to lift it."""
        inhibitor = self.client_session.start("gnome-session-inhibit", "--inhibit", "idle",
                                              "--inhibit-only")
        self.wait_for(inhibitor, lambda: self.ask("inhibited", str(INHIBIT_IDLE)),
                      "gnome-session to count the inhibitor")
        return inhibitor

    # The overview.

    def overview_active(self):
        return self.ask("overview")

    # The end.

    def __exit__(self, *_):
        """Every process of the session by its own id, found before any is stopped: those
        started here, all that descend from them, and any that carries the runtime folder
        (services the buses started, which leave their parents)."""
        if self.runtime is not None:
            pids = self.session_processes()
            for pid in pids:
                stop(pid)
            self.wait_ended(pids)
        if self.helper is not None:
            self.helper.popen.stdin.close()
        super().__exit__()
        if self.helper_log is not None:
            self.helper_log.close()

    @staticmethod
    def wait_ended(pids, seconds=10):
        """Waits until each process is gone or has ended (a zombie whose parent, init for
        the orphans, collects it soon after)."""
        deadline = time.monotonic() + seconds
        for pid in pids:
            while time.monotonic() < deadline:
                stat = process_file(pid, "stat")
                if not stat or stat.rsplit(b")", 1)[1].split()[0] == b"Z":
                    break
                time.sleep(0.02)

    def session_processes(self):
        """Ids of the processes started here, of all that descend from them and of all that
        carry the runtime folder in their environment."""
        started = {program.popen.pid for program in
                   (self.client_session.programs if self.client_session else [])}
        tag = ("XDG_RUNTIME_DIR=%s" % self.runtime).encode()
        parents = process_parents()
        found = started | {pid for pid in parents
                           if tag in process_file(pid, "environ").split(b"\0")}
        while True:
            more = {pid for pid, parent in parents.items() if parent in found} - found
            if not more:
                return sorted(found - {os.getpid()})
            found |= more


def stop(pid):
    try:
        os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass


def process_parents():
    """{process id: its parent's id} of every process now."""
    parents = {}
    for entry in os.listdir("/proc"):
        stat = process_file(entry, "stat") if entry.isdigit() else b""
        if stat:
            parents[int(entry)] = int(stat.rsplit(b")", 1)[1].split()[1])
    return parents


def process_file(pid, name):
    """A file of /proc/PID as bytes, or b"" when the process is gone or not ours to read."""
    try:
        with open("/proc/%s/%s" % (pid, name), "rb") as found:
            return found.read()
    except OSError:
        return b""


def process_program(pid):
    try:
        return os.readlink("/proc/%d/exe" % pid)
    except OSError:
        return None
