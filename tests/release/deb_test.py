"""The Debian package holds the program, its settings page, its desktop entry, its manual page,
its systemd user unit, the copyright and the changelog, and nothing else; the desktop entry and
the unit start the packaged program with their options, and the unit with the graphical
session; Depends names the
shared libraries' packages and it suggests xscreensaver; lintian (which also holds that the
program is stripped) reports no error and no warning.

    deb_test.py --deb tavrel_<version>_amd64.deb
"""
import argparse
import io
import subprocess
import sys
import tarfile

from install_test import wrong_lines
from saver_harness import exit_status

FILES = {
    "usr/libexec/xscreensaver/tavrel",
    "usr/share/xscreensaver/config/tavrel.xml",
    "usr/share/applications/screensavers/tavrel.desktop",
    "usr/share/man/man6/tavrel.6.gz",
    "usr/lib/systemd/user/tavrel.service",
    "usr/share/doc/tavrel/copyright",
    "usr/share/doc/tavrel/changelog.gz",
}


def output(*command):
    return subprocess.run(command, capture_output=True, text=True, timeout=300).stdout


def faults(deb):
    listing = [line.split()[-1].lstrip("./") for line in output("dpkg-deb", "-c", deb).splitlines()
               if line.startswith("-")]
    if set(listing) != FILES:
        yield "the package holds %s" % sorted(listing)
        return
    files = tarfile.open(fileobj=io.BytesIO(subprocess.run(
        ["dpkg-deb", "--fsys-tarfile", deb], capture_output=True, timeout=300).stdout))
    yield from wrong_lines(lambda path: files.extractfile("./usr/" + path).read().decode())
    depends, suggests = output("dpkg-deb", "-f", deb, "Depends", "Suggests").splitlines()[:2]
    if "libc6" not in depends or "libx11-6" not in depends:
        yield "Depends is %r" % depends
    if suggests != "Suggests: xscreensaver":
        yield "%r" % suggests
    report = output("lintian", "--fail-on", "none", deb)
    complaints = [line for line in report.splitlines() if line[:2] in ("E:", "W:")]
    if complaints:
        yield "lintian: %s" % complaints


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--deb", required=True)
    return exit_status("deb", list(faults(parser.parse_args().deb)))


if __name__ == "__main__":
    sys.exit(main())
