"""The install rules put each file in its place, into a staging folder (DESTDIR): through
`cmake --install` with the prefixes /usr and /usr/local, and through `make install-linux`. The
program and its settings page stay in xscreensaver's folders whatever the prefix, the desktop
entry and the user unit name the installed program, `make uninstall-linux` leaves none of the
files, and `make -n install-linux` names none of the test tools.

    install_test.py --source SOURCE --build BUILD
"""
import argparse
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


def named_programs(stage, prefix):
    """The program that the desktop entry's Exec and the unit's ExecStart start."""
    for path in ("share/applications/screensavers/tavrel.desktop",
                 "lib/systemd/user/tavrel.service"):
        with open(os.path.join(stage, prefix.lstrip("/"), path)) as text:
            yield path, re.search(r"^Exec(?:Start)?=(\S+)", text.read(), re.M).group(1)


def faults(source, build):
    for how, prefix in CASES:
        make = ["make", "-C", source, "LINUX_BUILD=" + build, "PREFIX=" + prefix]
        with tempfile.TemporaryDirectory() as stage:
            if how == "cmake":
                done = run(["cmake", "--install", build, "--prefix", prefix], DESTDIR=stage)
            else:
                done = run(make + ["DESTDIR=" + stage, "install-linux"])
            if done.returncode != 0:
                yield "%s, %s: %s" % (how, prefix, done.stderr)
                continue
            expected = FIXED | {os.path.join(prefix.lstrip("/"), path) for path in UNDER_PREFIX}
            if installed(stage) != expected:
                yield "%s, %s: installed %s" % (how, prefix, sorted(installed(stage)))
                continue
            for path, program in named_programs(stage, prefix):
                if program != "/" + PROGRAM:
                    yield "%s, %s: %s starts %s" % (how, prefix, path, program)
            if how == "make":
                run(make + ["DESTDIR=" + stage, "uninstall-linux"])
                if installed(stage):
                    yield "uninstall-linux left %s" % sorted(installed(stage))
    dry_run = run(["make", "-C", source, "-n", "install-linux"]).stdout
    named = [tool for tool in TEST_TOOLS if tool in dry_run]
    if named:
        yield "make -n install-linux names %s" % named


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", required=True)
    parser.add_argument("--build", required=True)
    arguments = parser.parse_args()
    return exit_status("install", list(faults(arguments.source, arguments.build)))


if __name__ == "__main__":
    sys.exit(main())
