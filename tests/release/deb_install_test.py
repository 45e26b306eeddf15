"""apt installs the Debian package, the real xscreensaver daemon and MATE's screen saver (each as
an unprivileged user, MATE's in a D-Bus session of its own) start the installed program and it
snows, and a purge leaves none of the package's files. It installs
into this machine's /usr, so it runs only as root where no tavrel is installed (else it reports
itself skipped, status 77), and purges the package at the end whatever happened.

    deb_install_test.py --deb tavrel_<version>_amd64.deb
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

from daemon_test import (as_home_user, daemon_starts, prepare_home, program_processes,
                         wait_for)
from saver_harness import Program, check, snow_pixels
from x11_harness import PrivateDisplay

SKIPPED = 77
INSTALLED = "/usr/libexec/xscreensaver/tavrel"
CONFIG = "/usr/share/xscreensaver/config/tavrel.xml"


def apt_get(*arguments):
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    return subprocess.run(["apt-get", "-y", "--no-install-recommends"] + list(arguments), env=env,
                          capture_output=True, text=True, timeout=300)


# MATE's screen saver with the installed entry as its one theme and no lock, in a D-Bus session
# whose address it leaves in the home, where the test's commands find it.
MATE_SESSION = """gsettings set org.mate.screensaver mode single &&
gsettings set org.mate.screensaver themes "['screensavers-tavrel']" &&
gsettings set org.mate.screensaver lock-enabled false &&
echo "$DBUS_SESSION_BUS_ADDRESS" > "$HOME/bus" && exec mate-screensaver --no-daemon"""


def mate_starts(home):
    """mate-screensaver-command --activate starts the installed program on the saver's window
    (XSCREENSAVER_WINDOW), and it snows; --deactivate ends it."""
    with PrivateDisplay(["-ac"]) as display, display.session() as session:
        saver = Program(subprocess.Popen(
            as_home_user(session, home, "dbus-run-session", "--", "sh", "-c", MATE_SESSION),
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True))
        session.programs.append(saver)
        bus = os.path.join(home, "bus")
        check(wait_for(lambda: os.path.exists(bus) and open(bus).read().strip()),
              "no D-Bus session")
        with open(bus) as address:
            command = as_home_user(session, home, "env", "DBUS_SESSION_BUS_ADDRESS=" +
                                   address.read().strip(), "mate-screensaver-command")

        def saver_command(*arguments):
            return session.run(*command, *arguments, timeout=20).returncode == 0

        check(wait_for(lambda: saver_command("--query")), "mate-screensaver did not start")
        saver_command("--activate")
        started = wait_for(lambda: program_processes(INSTALLED))
        check(started, "mate-screensaver started no tavrel")
        with open("/proc/%d/environ" % started[0], "rb") as environment:
            check(b"XSCREENSAVER_WINDOW=" in environment.read(), "no XSCREENSAVER_WINDOW")
        check(wait_for(lambda: snow_pixels(session.screenshot()) > 100), "no snow")
        saver_command("--deactivate")
        check(wait_for(lambda: not program_processes(INSTALLED), 20),
              "tavrel still runs after --deactivate")


def known_to_dpkg():
    return subprocess.run(["dpkg-query", "-W", "-f", "${Status}", "tavrel"], capture_output=True,
                          text=True, timeout=60).stdout.endswith(" installed")


def installs_runs_and_goes(deb):
    installed = apt_get("install", os.path.abspath(deb))
    check(installed.returncode == 0, "apt-get install failed: %s" % installed.stderr)
    files = subprocess.run(["dpkg-query", "-L", "tavrel"], capture_output=True, text=True,
                           timeout=60).stdout.split()
    folder = tempfile.mkdtemp(prefix="tavrel-deb-")
    try:
        daemon_starts(INSTALLED, prepare_home(folder, INSTALLED))
        mate_folder = os.path.join(folder, "mate")
        os.mkdir(mate_folder)
        mate_starts(prepare_home(mate_folder, INSTALLED))
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    purged = apt_get("purge", "tavrel")
    check(purged.returncode == 0, "apt-get purge failed: %s" % purged.stderr)
    left = [path for path in files if os.path.isfile(path) or path.endswith("/doc/tavrel")
            and os.path.exists(path)]
    check(not left, "the purge left %s" % left)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--deb", required=True)
    deb = parser.parse_args().deb
    if os.getuid() != 0 or known_to_dpkg() or os.path.exists(INSTALLED) or os.path.exists(CONFIG):
        print("skipped: not root, or a tavrel is installed already")
        return SKIPPED
    try:
        installs_runs_and_goes(deb)
    finally:
        if known_to_dpkg():
            apt_get("purge", "tavrel")
    print("deb_install: passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
