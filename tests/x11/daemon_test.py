"""The Linux program started, shown and stopped by the real xscreensaver daemon on a private Xvfb
display: `xscreensaver-command -activate` leads to snow on the screen, and `-deactivate` ends the
program. On two monitors joined by Xinerama (Xephyr inside Xvfb) the daemon makes a window for
each, and each one's snow has the shape of its monitor.

As root the daemon launches no screen savers, so there it runs as the unprivileged user 65534
(nobody) with a home of its own; the built program is copied next to that home, where that user
can read and run it, and the display admits every local client (-ac). Run as anyone else, the
daemon runs as that user."""
import argparse
import os
import shutil
import subprocess
import tempfile
import time

from saver_harness import SCREEN_HEIGHT, SCREEN_WIDTH, Program, check, snow_pixels
from x11_harness import (FLAKE_SHAPE_SECONDS, PrivateDisplay, check_flake_shape,
                         median_flake_shapes)

# Two monitors side by side, (width, height, x, y) each, on a screen that holds them both. The
# picture of the narrower one shows its flakes a little less widened by perspective than the
# reference picture does, so the shape is held more loosely; the screen's shape would put them
# 1.7 and 2.3 times off.
HEADS = ((1024, 768, 0, 0), (1280, 720, 1024, 0))
HEADS_SCREEN = (2304, 768)
HEADS_SHAPE_TOLERANCE = 0.25

NOBODY = 65534
WAIT_SECONDS = 30

# One screen saver, chosen by its place in the list; no lock, no fading, no splash.
SETTINGS = """mode: one
selected: 0
lock: False
fade: False
unfade: False
splash: False
timeout: 0:30:00
programs: GL: {program} --root \\n
"""


def program_processes(program):
    """Ids of the running processes whose first argument is the program."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as command:
                first = command.read().split(b"\0")[0]
            with open("/proc/%s/stat" % entry, encoding="utf-8", errors="replace") as stat:
                state = stat.read().rsplit(")", 1)[1].split()[0]
        except OSError:
            continue
        if first == program.encode() and state != "Z":
            found.append(int(entry))
    return found


def wait_for(condition, seconds=WAIT_SECONDS):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.25)
    return condition()


def prepare_home(folder, program):
    """A home under folder whose settings name the program as the one screen saver."""
    os.chmod(folder, 0o755)
    home = os.path.join(folder, "home")
    os.mkdir(home)
    with open(os.path.join(home, ".xscreensaver"), "w", encoding="utf-8") as settings:
        settings.write(SETTINGS.format(program=program))
    if os.getuid() == 0:
        for path in (home, os.path.join(home, ".xscreensaver")):
            os.chown(path, NOBODY, NOBODY)
    return home


def as_home_user(session, home, *command):
    """The command run with home as HOME on the session's display, as nobody when run as root:
    xscreensaver's programs refuse to run as root."""
    command = ["env", "HOME=" + home, "DISPLAY=" + session.env["DISPLAY"]] + list(command)
    if os.getuid() == 0:
        command = ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY,
                   "--clear-groups"] + command
    return command


def start_daemon(session, home):
    command = as_home_user(session, home, "xscreensaver", "-no-splash", "-verbose")
    log = open(os.path.join(home, "daemon.log"), "wb")
    daemon = Program(subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=log,
                                      stderr=subprocess.STDOUT, start_new_session=True))
    session.programs.append(daemon)
    return daemon


def log_of(home):
    with open(os.path.join(home, "daemon.log"), encoding="utf-8", errors="replace") as log:
        return log.read()


def daemon_starts(program, home, two_heads=False):
    """The daemon, run from home, starts the program, which snows, and ends it again; on two
    heads it starts one program a monitor, each with its monitor's shape."""
    heads = HEADS if two_heads else ()
    screen = HEADS_SCREEN if two_heads else (SCREEN_WIDTH, SCREEN_HEIGHT)
    with PrivateDisplay(["-ac"], size=screen, heads=heads) as display, \
            display.session() as session:
        daemon = start_daemon(session, home)
        # The daemon answers commands once it has set itself up on the display.
        answered = wait_for(lambda: session.run("xscreensaver-command", "-time",
                                                timeout=10).returncode == 0)
        check(answered and daemon.running(), "the daemon did not start: %s" % log_of(home))
        session.run("xscreensaver-command", "-activate", timeout=20)
        check(wait_for(lambda: program_processes(program)), "the daemon started no tavrel")
        started = time.monotonic()
        snow = wait_for(lambda: snow_pixels(session.screenshot(*screen)) > 100)
        check(snow, "no snow on the screen: %s" % log_of(home))
        if two_heads:
            check(len(program_processes(program)) == len(heads),
                  "not one tavrel a monitor: %s" % log_of(home))
            time.sleep(max(0.0, started + FLAKE_SHAPE_SECONDS - time.monotonic()))
            shapes = median_flake_shapes(session, [head[2:] + head[:2] for head in heads],
                                         screen)
            for head, shape in zip(heads, shapes):
                check_flake_shape(shape, "monitor %dx%d+%d+%d" % head,
                                  tolerance=HEADS_SHAPE_TOLERANCE)
        session.run("xscreensaver-command", "-deactivate", timeout=20)
        check(wait_for(lambda: not program_processes(program), 20),
              "tavrel still runs after -deactivate: %s" % log_of(home))
    complaints = [line for line in log_of(home).splitlines()
                  if "tavrel" in line and "abnormally" in line]
    check(not complaints, "the daemon saw tavrel end badly: %s" % complaints)


def daemon_runs_tavrel(built_program, two_heads):
    folder = tempfile.mkdtemp(prefix="tavrel-daemon-")
    try:
        program = os.path.join(folder, "tavrel")
        shutil.copy(built_program, program)
        os.chmod(program, 0o755)
        daemon_starts(program, prepare_home(folder, program), two_heads)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--two-heads", action="store_true")
    arguments = parser.parse_args()
    daemon_runs_tavrel(os.path.abspath(arguments.program), arguments.two_heads)
    print("daemon: passed")


if __name__ == "__main__":
    main()
