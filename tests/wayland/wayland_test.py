"""The Linux program's Wayland saver on headless sway: snow on every output in the shape of one
sky over them all, also on an output made while it runs; the ends (a 1-pixel move leaves it
running, a 40-pixel move, a button, a key and SIGTERM end it with status 0); no frames on an
output whose surface the compositor hides, while the other output goes on, and snow again after;
and the starts it must refuse with status 1 and one line (no compositor, no EGL, --gravity)."""
import argparse
import signal
import time

from saver_harness import check, cpu_seconds, snow_pixels
from wayland_harness import HeadlessSway
from x11_harness import FLAKE_SHAPE_SECONDS, check_flake_shape, median_flake_shapes

# Two outputs side by side, 800x720 and 480x720: one sky of the reference picture's shape
# (1280x720), which neither output has alone.
FIRST = (800, 720)
SECOND = (480, 720, 800, 0)
SKY = (1280, 720)
# Flakes start above the view and need a few seconds to fall into it.
SNOW_SECONDS = 4


class Saver:
    """tavrel --wayland with bench/libswap_log.so loaded, which logs each buffer swap with its
    surface."""

    def __init__(self, sway, session, *arguments):
        self.trace = sway.copy("swaps.txt")
        with open(self.trace, "w", encoding="utf-8") as trace:
            self.program = session.start(sway.copy(PROGRAM), "--wayland", *arguments,
                                         errors=trace, env={"LD_PRELOAD": sway.copy(SWAP_LOG)})

    def swaps(self):
        """The surface of every swap so far, in order."""
        with open(self.trace, encoding="utf-8", errors="replace") as trace:
            return [line.split()[2] for line in trace if line.startswith("eglSwapBuffers ")]

    def load(self, seconds):
        """Swaps of each surface and the cores used over the next seconds."""
        before = len(self.swaps())
        pids = [self.program.popen.pid]
        cpu_start, wall_start = cpu_seconds(pids), time.monotonic()
        time.sleep(seconds)
        cores = (cpu_seconds(pids) - cpu_start) / (time.monotonic() - wall_start)
        counts = {}
        for surface in self.swaps()[before:]:
            counts[surface] = counts.get(surface, 0) + 1
        return counts, cores


def check_ends_with_zero(program, what):
    status = program.wait(1.0)
    check(status == 0, "%s: status %r a second later" % (what, status))


def outputs(sway, session):
    """An output made a second after the start gets snow at once; five seconds after the start,
    both outputs' flakes have the shape of one sky of both outputs' box."""
    saver = Saver(sway, session)
    started = time.monotonic()
    time.sleep(1)
    second = session.add_output(*SECOND)
    deadline = time.monotonic() + SNOW_SECONDS
    flakes = 0
    while flakes <= 100 and time.monotonic() < deadline:
        time.sleep(0.5)
        flakes = snow_pixels(session.screenshot(output=second))
    check(flakes > 100, "the new output: %d snow pixels" % flakes)
    time.sleep(max(0.0, started + FLAKE_SHAPE_SECONDS - time.monotonic()))
    areas = ((0, 0) + FIRST, (SECOND[2], SECOND[3]) + SECOND[:2])
    for area, shape in zip(areas, median_flake_shapes(session, areas, SKY)):
        print("the output at %d,%d: flakes %.2f times as wide as high" % (area[:2] + (shape,)))
        check_flake_shape(shape, "the output at %d,%d" % area[:2])
    check(len(set(saver.swaps())) == 2, "swapped %d surfaces" % len(set(saver.swaps())))


def ends(sway, session):
    """A pointer that moves 1 pixel leaves it running; 40 pixels, a button, a key and SIGTERM
    each end it with 0 within a second."""
    cases = (("a 40-pixel move", lambda saver: session.move_mouse_by(40, 0)),
             ("a button", lambda saver: session.click()),
             ("a key", lambda saver: session.type_text(None, "a")),
             ("SIGTERM", lambda saver: saver.program.signal(signal.SIGTERM)))
    for what, end in cases:
        saver = Saver(sway, session)
        time.sleep(1.5)
        check(saver.swaps(), "%s: no frames before" % what)
        session.move_mouse_by(1, 0)
        time.sleep(0.5)
        check(saver.program.running(), "a 1-pixel move ended it")
        end(saver)
        check_ends_with_zero(saver.program, what)


def hidden(sway, session):
    """The compositor sends no frame callbacks to a surface it hides (another workspace shown on
    its output): that output gets no frames while the other goes on; with both hidden the saver
    takes no CPU; shown again, both snow; a signal ends it at once while it waits."""
    second = session.add_output(*SECOND)
    saver = Saver(sway, session)
    time.sleep(SNOW_SECONDS)
    first_surface, second_surface = dict.fromkeys(saver.swaps())
    session.show_workspace("HEADLESS-1", 11)
    time.sleep(0.5)
    counts, _ = saver.load(2)
    check(counts.get(first_surface, 0) == 0 and counts.get(second_surface, 0) > 20,
          "one output hidden: %s" % counts)
    session.show_workspace(second, 12)
    time.sleep(0.5)
    counts, cores = saver.load(3)
    check(not counts and cores <= 0.01, "both hidden: %s, %.3f cores" % (counts, cores))
    session.show_workspace("HEADLESS-1", 1)
    session.show_workspace(second, 2)
    counts, _ = saver.load(1)
    check(counts.get(first_surface, 0) > 10 and counts.get(second_surface, 0) > 10,
          "shown again: %s" % counts)
    check(snow_pixels(session.screenshot(output="HEADLESS-1")) > 100, "no snow shown again")
    session.show_workspace("HEADLESS-1", 11)
    session.show_workspace(second, 12)
    time.sleep(0.5)
    saver.program.signal(signal.SIGTERM)
    check_ends_with_zero(saver.program, "SIGTERM while hidden")


def refused(sway, session):
    """No compositor, no EGL, --gravity: status 1 and one line that says so (a command line
    it refuses adds the usage)."""
    cases = (("no compositor", ["--wayland"], {"WAYLAND_DISPLAY": "wayland-nowhere"}),
             ("no EGL", ["--wayland"], {"__EGL_VENDOR_LIBRARY_FILENAMES": "/nowhere.json"}),
             ("--gravity", ["--wayland", "--gravity"], {}))
    for what, arguments, env in cases:
        ran = session.run("env", *["%s=%s" % item for item in env.items()],
                          sway.copy(PROGRAM), *arguments, timeout=20)
        lines = ran.stderr.decode(errors="replace").splitlines()
        usage = lines[1:] if lines[1:2] == ["usage: tavrel [options]"] else []
        check(ran.returncode == 1, "%s: status %d" % (what, ran.returncode))
        check(len(lines) - len(usage) == 1 and lines[0].startswith("tavrel: "),
              "%s: %r" % (what, lines))
        print("%s: %s" % (what, lines[0]))


SCENARIOS = {"outputs": outputs, "ends": ends, "hidden": hidden, "refused": refused}
PROGRAM = None
SWAP_LOG = None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--swap-log", required=True, help="bench/libswap_log.so")
    parser.add_argument("--scenario", required=True, choices=sorted(SCENARIOS))
    arguments = parser.parse_args()
    global PROGRAM, SWAP_LOG
    PROGRAM, SWAP_LOG = arguments.program, arguments.swap_log
    with HeadlessSway(FIRST, programs=(PROGRAM, SWAP_LOG)) as sway:
        SCENARIOS[arguments.scenario](sway, sway.session())
    print("%s: passed" % arguments.scenario)


if __name__ == "__main__":
    main()
