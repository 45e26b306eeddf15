"""apt installs the Debian package, the real xscreensaver daemon (as an unprivileged user) starts
the installed program and it snows, and a purge leaves none of the package's files. It installs
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

from daemon_test import daemon_starts, prepare_home
from saver_harness import check

SKIPPED = 77
INSTALLED = "/usr/libexec/xscreensaver/tavrel"
CONFIG = "/usr/share/xscreensaver/config/tavrel.xml"


def apt_get(*arguments):
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    return subprocess.run(["apt-get", "-y", "--no-install-recommends"] + list(arguments), env=env,
                          capture_output=True, text=True, timeout=300)


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
