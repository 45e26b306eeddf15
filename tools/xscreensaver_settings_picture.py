#!/usr/bin/env python3
"""Makes the README's picture of Tavrel's page in xscreensaver's settings program: on a private
Xvfb display, with the xscreensaver daemon running (the daemon test's set-up, as nobody when run
as root), xscreensaver-settings shows Tavrel chosen, with its live preview, and Tavrel's own
settings dialog opened by its "Settings..." button. It needs the package installed, since
xscreensaver-settings reads the settings page only from its system folder.

    xscreensaver_settings_picture.py [OUTPUT.png]   (default output: docs/xscreensaver-settings.png)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path[:0] = [os.path.join(ROOT, "tests", "e2e"), os.path.join(ROOT, "tests", "x11")]

from daemon_test import as_home_user, prepare_home, start_daemon, wait_for  # noqa: E402
from x11_harness import PrivateDisplay  # noqa: E402

CONFIG = "/usr/share/xscreensaver/config/tavrel.xml"
# The settings program's window is given this size, at which its "Settings..." button is at
# SETTINGS_BUTTON; the opened dialog goes to DIALOG_PLACE (the settings program puts it beside its
# window, off this screen).
WINDOW_SIZE = (1024, 656)
SETTINGS_BUTTON = (813, 540)
DIALOG_PLACE = (640, 200)
PREVIEW_SECONDS = 6


def windows(session, name):
    found = session.run("xdotool", "search", "--name", name, timeout=10).stdout.split()
    return [window.decode() for window in found]


def size(session, window):
    shape = session.run("xdotool", "getwindowgeometry", "--shell", window).stdout.decode()
    values = dict(line.split("=", 1) for line in shape.split())
    return int(values["WIDTH"]), int(values["HEIGHT"])


def take_picture(session, home, output):
    start_daemon(session, home)
    if not wait_for(lambda: session.run("xscreensaver-command", "-time").returncode == 0):
        raise SystemExit("the xscreensaver daemon did not start")
    session.start(*as_home_user(session, home, "xscreensaver-settings"))
    main = wait_for(lambda: [w for w in windows(session, "^XScreenSaver") if size(session, w)[0] > 800])
    if not main:
        raise SystemExit("xscreensaver-settings showed no window")
    session.run("xdotool", "windowsize", main[0], *map(str, WINDOW_SIZE))
    time.sleep(PREVIEW_SECONDS)
    session.run("xdotool", "mousemove", "--window", main[0], *map(str, SETTINGS_BUTTON), "click", "1")
    dialog = wait_for(lambda: [w for w in windows(session, "Tavrel Settings")
                               if size(session, w)[0] < 500])
    if not dialog:
        raise SystemExit("Tavrel's settings dialog did not open")
    session.run("xdotool", "windowmove", dialog[0], *map(str, DIALOG_PLACE))
    time.sleep(2)
    session.run("import", "-window", "root", "-crop", "%dx%d+0+0" % WINDOW_SIZE, "+repage",
                "-strip", output, timeout=30)


def main():
    output = os.path.abspath(sys.argv[1] if len(sys.argv) > 1
                             else os.path.join(ROOT, "docs", "xscreensaver-settings.png"))
    if not os.path.exists(CONFIG):
        raise SystemExit("%s is missing: install the package first "
                         "(sudo apt install ./tavrel_<version>_amd64.deb)" % CONFIG)
    folder = tempfile.mkdtemp(prefix="tavrel-settings-picture-")
    try:
        home = prepare_home(folder, "tavrel")
        with PrivateDisplay(["-ac"]) as display, display.session() as session:
            take_picture(session, home, output)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print(output)


if __name__ == "__main__":
    main()
