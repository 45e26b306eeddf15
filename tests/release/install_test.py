"""The install rules put each file in its place, into a staging folder (DESTDIR): through
`cmake --install` with the prefixes /usr and /usr/local, and through `make install-linux`. The
program and its settings page stay in xscreensaver's folders whatever the prefix, the desktop
entry and the user unit start the installed program with their options (and the unit with the
graphical session), `make uninstall-linux`
leaves none of the files, and of two prefixes installed into one folder it removes the one it is
given and leaves exactly the other's; `make -n install-linux` names none of the test tools.

    install_test.py --source SOURCE --build BUILD
"""
import argparse
import glob
import os
import re
import subprocess
import sys
import tempfile

from saver_harness import exit_status

PROGRAM = "usr/libexec/xscreensaver/tavrel"
FIXED = {PROGRAM, "usr/share/xscreensaver/config/tavrel.xml"}
UNDER_PREFIX = {"share/applications/screensavers/tavrel.desktop", "share/man/man6/tavrel.6",
                "lib/systemd/user/tavrel.service"}
# Lines of the desktop entry and the user unit that a user relies on: what they start
# (xscreensaver's full-screen hack, the Wayland session's resident saver), the program whose
# absence hides the entry, and the target an enabled unit starts with (the graphical session,
# once WAYLAND_DISPLAY is known).
LINES = {"share/applications/screensavers/tavrel.desktop":
         ["Exec=/%s --root" % PROGRAM, "TryExec=/" + PROGRAM],
         "lib/systemd/user/tavrel.service":
         ["ExecStart=/%s --wayland --idle 600" % PROGRAM, "WantedBy=graphical-session.target"]}
# How it is installed, and the prefix.
CASES = [("cmake", "/usr"), ("cmake", "/usr/local"), ("make", "/usr/local")]
TEST_TOOLS = ("apt-get", "wine", "mingw", "clang", "valgrind", "xvfb", "sway", "wixl", "lintian",
              "ctest")
# The make this test runs is not part of any make that may have started the tests.
ENV = {name: value for name, value in os.environ.items()
       if name not in ("MAKEFLAGS", "MFLAGS", "MAKELEVEL")}


def run(command, **env):
    return subprocess.run(command, env=dict(ENV, **env), capture_output=True, text=True,
                          timeout=300)


def installed(stage):
    return {os.path.relpath(os.path.join(folder, name), stage)
            for folder, _, names in os.walk(stage) for name in names}


def expected(prefix):
    return FIXED | {os.path.join(prefix.lstrip("/"), path) for path in UNDER_PREFIX}


def wrong_lines(read):
    """Each line of LINES that a desktop entry or unit lacks (read(path) gives its text by its
    path under the prefix), with the entry's or unit's lines of that key."""
    for path, lines in LINES.items():
        text = read(path).splitlines()
        for line in lines:
            if line not in text:
                key = line.split("=")[0] + "="
                yield "%s has %r" % (path, [found for found in text if found.startswith(key)])


def read_under(stage, prefix):
    def read(path):
        with open(os.path.join(stage, prefix.lstrip("/"), path), encoding="utf-8") as text:
            return text.read()
    return read


def faults(source, build):
    def make(prefix, stage, target):
        return run(["make", "-C", source, "LINUX_BUILD=" + build, "PREFIX=" + prefix,
                    "DESTDIR=" + stage, target])

    # What uninstall-linux keeps depends on the other installs' manifests in the build folder; a
    # run that failed midway may have left some.
    for manifest in glob.glob(os.path.join(build, "installed-*.txt")):
        os.remove(manifest)
    for how, prefix in CASES:
        with tempfile.TemporaryDirectory() as stage:
            if how == "cmake":
                done = run(["cmake", "--install", build, "--prefix", prefix], DESTDIR=stage)
            else:
                done = make(prefix, stage, "install-linux")
            if done.returncode != 0:
                yield "%s, %s: %s" % (how, prefix, done.stderr)
                continue
            if installed(stage) != expected(prefix):
                yield "%s, %s: installed %s" % (how, prefix, sorted(installed(stage)))
                continue
            for fault in wrong_lines(read_under(stage, prefix)):
                yield "%s, %s: %s" % (how, prefix, fault)
            if how == "make":
                make(prefix, stage, "uninstall-linux")
    yield from two_prefixes(make)
    dry_run = run(["make", "-C", source, "-n", "install-linux"]).stdout
    named = [tool for tool in TEST_TOOLS if tool in dry_run]
    if named:
        yield "make -n install-linux names %s" % named


def two_prefixes(make):
    """/usr, then /usr/local, installed into one folder; /usr uninstalled leaves exactly
    /usr/local's files (the program and its settings page among them), which its own uninstall
    then removes."""
    with tempfile.TemporaryDirectory() as stage:
        for prefix in ("/usr", "/usr/local"):
            make(prefix, stage, "install-linux")
        make("/usr", stage, "uninstall-linux")
        if installed(stage) != expected("/usr/local"):
            yield "/usr uninstalled beside /usr/local: left %s" % sorted(installed(stage))
        make("/usr/local", stage, "uninstall-linux")
        if installed(stage):
            yield "both uninstalled: left %s" % sorted(installed(stage))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("--build", required=True)
    arguments = parser.parse_args()
    return exit_status("install", list(faults(arguments.source, arguments.build)))


if __name__ == "__main__":
    sys.exit(main())
