"""Drives the real tavrel.scr from outside: under Wine, on the test run's Xvfb display.

A Session reads the env file that the test fixture writes (DISPLAY, WINEPREFIX, ...), starts the
saver and helper programs in process groups of their own, waits for them with timeouts, finds
windows and sends input with xdotool, reads and writes the registry with `wine reg` (through the running
Wine server, which is the registry the saver reads; `wineserver -w` is only needed to see the
files on disk), and takes screenshots. Every process it started is stopped by its own id when the session closes.

    with Session.from_arguments() as session:
        saver = session.start_saver("/s")
        ...
        assert saver.wait(10) == 0
"""
import argparse
import os
import select
import signal
import subprocess
import time

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")

SETTINGS_KEY = r"HKCU\Control Panel\Screen Saver.Tavrel"
WINE_X11_KEY = r"HKCU\Software\Wine\X11 Driver"
SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 720


def read_env(path):
    env = dict(os.environ)
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            name, _, value = line.strip().partition("=")
            if name:
                env[name] = value
    return env


class Program:
    """A process the session started, in its own process group."""

    def __init__(self, popen):
        self.popen = popen

    def wait(self, timeout):
        """The exit status, or None if it is still running after timeout seconds."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.popen.poll() is None

    def readline(self, timeout):
        """The next line of its output, without the line end, or None after timeout seconds."""
        deadline = time.monotonic() + timeout
        line = b""
        fd = self.popen.stdout.fileno()
        while time.monotonic() < deadline:
            ready, _, _ = select.select([fd], [], [], max(0.0, deadline - time.monotonic()))
            if not ready:
                break
            byte = os.read(fd, 1)
            if not byte:
                break
            if byte == b"\n":
                return line.decode(errors="replace").rstrip("\r")
            line += byte
        return None

    def processes(self):
        """Ids of the processes in its process group: the Wine process of the program itself
        and any program it started."""
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/stat" % entry, encoding="utf-8", errors="replace") as stat:
                    fields = stat.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            if int(fields[2]) == self.popen.pid:
                found.append(int(entry))
        return found

    def signal(self, number):
        """Sends a signal to its whole process group."""
        try:
            os.killpg(self.popen.pid, number)
        except ProcessLookupError:
            pass

    def stop(self):
        if self.popen.poll() is None:
            try:
                os.killpg(self.popen.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            try:
                self.popen.wait(timeout=30)
            except subprocess.TimeoutExpired:
                pass


class Session:
    def __init__(self, env, scr, probe=None):
        self.env = env
        self.scr = scr
        self.probe = probe
        self.programs = []
        self.wine_draws_captions = False

    @classmethod
    def from_arguments(cls, extra=None):
        """Reads --env, --scr and --probe from the command line; extra adds more arguments."""
        parser = argparse.ArgumentParser()
        parser.add_argument("--env", required=True)
        parser.add_argument("--scr", required=True)
        parser.add_argument("--probe")
        if extra:
            extra(parser)
        arguments = parser.parse_args()
        session = cls(read_env(arguments.env), arguments.scr, arguments.probe)
        session.arguments = arguments
        return session

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def close(self):
        for program in self.programs:
            program.stop()
        if self.wine_draws_captions:
            self.reg_delete(WINE_X11_KEY, "Decorated")

    def draw_captions(self):
        """Asks Wine to draw window captions, close box included, itself, as Windows does: with
        no window manager on the display nobody else draws them. Holds for programs started
        afterwards, until the session closes."""
        self.reg_add("Decorated", "N", kind="REG_SZ", key=WINE_X11_KEY)
        self.wine_draws_captions = True

    def run(self, *command, timeout=60):
        """Runs a command to its end and returns the completed process."""
        return subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=timeout)

    def start(self, *command, output=False, errors=subprocess.DEVNULL, env=None, cwd=None):
        """Starts a program in a process group of its own; errors is where its standard error
        goes, env adds variables to the session's, cwd is its current directory."""
        popen = subprocess.Popen(command, env=dict(self.env, **(env or {})),
                                 stdin=subprocess.DEVNULL,
                                 stdout=subprocess.PIPE if output else subprocess.DEVNULL,
                                 stderr=errors, start_new_session=True, cwd=cwd)
        program = Program(popen)
        self.programs.append(program)
        return program

    def start_saver(self, *arguments, cursor=(SCREEN_WIDTH // 2, SCREEN_HEIGHT // 2), cwd=None):
        """Starts tavrel.scr with the arguments, the cursor placed first: the saver takes its
        first mouse-move message as the starting point. cwd is its current directory."""
        if cursor is not None:
            self.run("xdotool", "mousemove", str(cursor[0]), str(cursor[1]))
        return self.start("wine", self.scr, *arguments, cwd=cwd)

    def start_traced_saver(self, trace, *arguments, cursor=(SCREEN_WIDTH // 2, SCREEN_HEIGHT // 2)):
        """Starts tavrel.scr as start_saver does, with a timestamped line of Wine's trace for each
        buffer swap written to the open file trace (count them with swap_count)."""
        if cursor is not None:
            self.move_mouse(*cursor)
        return self.start("wine", self.scr, *arguments, errors=trace,
                          env={"WINEDEBUG": "+timestamp,trace+wgl"})

    def start_probe(self, *arguments):
        """Starts the Windows helper program with its output readable."""
        return self.start("wine", self.probe, *arguments, output=True)

    def launch_exact(self, program, tails, milliseconds):
        """Has the probe start the Windows program once for each tail (bytes), its command line
        being the quoted program path, a blank and the tail byte for byte, as Windows starts a
        screen saver; `wine PROGRAM ARGS` would quote arguments that hold blanks and re-encode
        bytes of 0x80 and above. The probe prints "exit N" or "running" for each (see
        saver_probe.cpp); read them with readline."""
        hex_tails = ["x" + tail.hex() for tail in tails]
        return self.start_probe("launch", windows_path(program), str(milliseconds), *hex_tails)

    def probe_output(self, *arguments, timeout=30):
        return self.run("wine", self.probe, *arguments, timeout=timeout).stdout.decode().strip()

    # Windows as X sees them.

    def find_window(self, name=None, classname=None, timeout=20):
        """The X window id of the first window whose title (or class) matches, or None."""
        query = ["--name", name] if name is not None else ["--classname", classname]
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.run("xdotool", "search", "--onlyvisible", *query, timeout=10)
            ids = found.stdout.split()
            if ids:
                return ids[0].decode()
            time.sleep(0.1)
        return None

    def geometry(self, window):
        """(x, y, width, height) of an X window."""
        shell = self.run("xdotool", "getwindowgeometry", "--shell", window).stdout.decode()
        values = dict(line.split("=", 1) for line in shell.split() if "=" in line)
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    # Input.

    def key(self, window, *keys):
        """Gives window the keyboard, then presses the keys one after another."""
        self.run("xdotool", "windowfocus", "--sync", window)
        self.run("xdotool", "key", "--delay", "50", *keys)

    def type_text(self, window, text):
        self.run("xdotool", "windowfocus", "--sync", window)
        self.run("xdotool", "type", "--delay", "50", text)

    def click(self, button=1):
        self.run("xdotool", "click", str(button))

    def move_mouse(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y))

    def move_mouse_by(self, dx, dy):
        self.run("xdotool", "mousemove_relative", "--", str(dx), str(dy))

    # Registry, as the saver sees it.

    def reg_add(self, name, value, kind="REG_DWORD", key=SETTINGS_KEY):
        self.run("wine", "reg", "add", key, "/v", name, "/t", kind, "/d", str(value), "/f")

    def reg_delete(self, key=SETTINGS_KEY, name=None):
        """Deletes the key, or only its value name."""
        value = ["/v", name] if name is not None else []
        self.run("wine", "reg", "delete", key, *value, "/f")

    def store(self, values, kind="REG_DWORD"):
        """Leaves exactly the given settings stored, all of one kind."""
        self.reg_delete()
        for name, value in values.items():
            self.reg_add(name, value, kind)

    def reg_key_exists(self, key=SETTINGS_KEY):
        return self.run("wine", "reg", "query", key).returncode == 0

    def reg_query(self, name, key=SETTINGS_KEY):
        """(kind, data) of a stored value as `wine reg query` shows them ("REG_DWORD",
        "0x12c"), or None when the value is absent."""
        found = self.run("wine", "reg", "query", key, "/v", name)
        if found.returncode != 0:
            return None
        for line in found.stdout.decode(errors="replace").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0] == name and parts[1].startswith("REG_"):
                return parts[1], parts[2] if len(parts) == 3 else ""
        return None

    def screenshot(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT):
        """The whole screen of width x height pixels as bytes, 3 per pixel (red, green, blue),
        top row first."""
        shot = self.run("import", "-window", "root", "-depth", "8", "rgb:-", timeout=30)
        if len(shot.stdout) != width * height * 3:
            raise AssertionError("screenshot failed: %s" % shot.stderr.decode(errors="replace"))
        return shot.stdout


def windows_path(path):
    """The Windows name of a file, through the drive that Wine maps to the Unix root."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def is_snow(red, green, blue):
    """A pale blue-white pixel: bright, and blue at least as strong as red and green."""
    return red + green + blue > 300 and blue >= red and blue >= green


def snow_pixels(shot, width=None, columns=None):
    """Pale blue-white pixels: bright, and blue at least as strong as red and green. With width
    and columns (first, end), only those columns of a screen width pixels wide count."""
    count = 0
    for i in range(0, len(shot), 3):
        if columns is not None and not columns[0] <= (i // 3) % width < columns[1]:
            continue
        if is_snow(shot[i], shot[i + 1], shot[i + 2]):
            count += 1
    return count


def snows_until_escape(session, saver, timeout=30):
    """Checks that a full-screen saver shows snow within timeout seconds, then that Escape ends
    it with status 0."""
    window = session.find_window(name="^ScreenSaver$", timeout=60)
    check(window is not None, "the saver's window did not appear")
    deadline = time.monotonic() + timeout
    flakes = 0
    while flakes <= 100 and time.monotonic() < deadline and saver.running():
        time.sleep(1)
        flakes = snow_pixels(session.screenshot())
    check(flakes > 100, "no snow (%d snow pixels)" % flakes)
    session.key(window, "Escape")
    status = saver.wait(20)
    check(status == 0, "Escape did not end the saver with status 0 (status %s)" % status)


def swap_count(path):
    """Buffer swaps so far in the trace file of a saver that start_traced_saver started."""
    with open(path, encoding="utf-8", errors="replace") as trace:
        return sum(1 for line in trace if "wglSwapBuffers" in line)


def cpu_seconds(pids):
    """User plus system time so far of the processes, in seconds."""
    total = 0
    for pid in pids:
        try:
            with open("/proc/%d/stat" % pid, encoding="utf-8", errors="replace") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        # Fields 14 and 15 of the whole line; the split above starts at field 3.
        total += int(fields[11]) + int(fields[12])
    return total / CLOCK_TICKS


def flake_shapes(pixels, width, height):
    """The width over height of the bounding box of each flake in a picture (3 bytes a pixel):
    each group of touching lit pixels is a flake, but for specks and flakes cut by the picture's
    edge."""
    lit = bytearray(1 if sum(pixels[i:i + 3]) > 90 else 0 for i in range(0, len(pixels), 3))
    ratios = []
    for start in range(len(lit)):
        if not lit[start]:
            continue
        lit[start] = 0
        stack, xs, ys = [start], [], []
        while stack:
            index = stack.pop()
            x, y = index % width, index // width
            xs.append(x)
            ys.append(y)
            for ny in (y - 1, y, y + 1):
                for nx in (x - 1, x, x + 1):
                    near = ny * width + nx
                    if 0 <= nx < width and 0 <= ny < height and lit[near]:
                        lit[near] = 0
                        stack.append(near)
        if len(xs) >= 12 and min(xs) > 0 and min(ys) > 0 and max(xs) < width - 1 and \
                max(ys) < height - 1:
            ratios.append((max(xs) - min(xs) + 1) / (max(ys) - min(ys) + 1))
    return ratios


def black_pixels(shot):
    return sum(1 for i in range(0, len(shot), 3) if shot[i] + shot[i + 1] + shot[i + 2] == 0)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def exit_status(name, faults):
    """Prints each fault found and the verdict, and returns the status the test ends with."""
    for fault in faults:
        print(fault)
    print("%s: %s" % (name, "failed" if faults else "passed"))
    return 1 if faults else 0


def run_scenario(scenarios, extra=None):
    """The main program of an end-to-end test: runs the scenario named by --scenario (scenarios
    maps names to functions of the session) on the session the command line describes, with the
    mouse in the middle of the screen, and leaves no settings stored afterwards."""
    def arguments(parser):
        parser.add_argument("--scenario", required=True, choices=sorted(scenarios))
        if extra:
            extra(parser)

    with Session.from_arguments(arguments) as session:
        session.move_mouse(SCREEN_WIDTH // 2, SCREEN_HEIGHT // 2)
        try:
            scenarios[session.arguments.scenario](session)
        finally:
            session.store({})
    print("%s: passed" % session.arguments.scenario)
