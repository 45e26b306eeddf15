"""The Linux program on a private Xvfb display with Mesa: snow in a window of its own and in a
window the test made, the ends that must give status 0 within a second (a signal, the window
destroyed), and command lines it must refuse with status 1 and a message."""
import argparse
import signal
import time

from saver_harness import SCREEN_HEIGHT, SCREEN_WIDTH, check, snow_pixels
from x11_harness import PrivateDisplay, Xlib, crop

# Flakes start above the view and need a few seconds to fall into it.
SNOW_SECONDS = 4


def screenshots_a_second_apart(session, area):
    time.sleep(SNOW_SECONDS)
    first = crop(session.screenshot(), *area)
    time.sleep(1)
    second = crop(session.screenshot(), *area)
    return first, second


def check_moving_snow(first, second):
    check(snow_pixels(first) > 100 and snow_pixels(second) > 100,
          "snow pixels: %d, then %d" % (snow_pixels(first), snow_pixels(second)))
    check(first != second, "the snow did not move in a second")


def check_ends_with_zero(tavrel, what):
    status = tavrel.wait(1.0)
    check(status == 0, "%s: status %r a second later" % (what, status))


def own_window(program, display, session):
    tavrel = session.start(program)
    window = session.find_window(name="Tavrel")
    check(window is not None, "no window named Tavrel")
    x, y, width, height = session.geometry(window)
    check((width, height) == (SCREEN_WIDTH // 2, SCREEN_HEIGHT // 2),
          "window of %dx%d" % (width, height))
    check_moving_snow(*screenshots_a_second_apart(session, (x, y, width, height)))
    tavrel.signal(signal.SIGTERM)
    check_ends_with_zero(tavrel, "SIGTERM")


def given_window(program, display, session):
    xlib = Xlib(display.name)
    area = (100, 80, 400, 300)
    window = xlib.make_window(*area)
    tavrel = session.start(program, "-window-id", hex(window))
    first, second = screenshots_a_second_apart(session, area)
    check_moving_snow(first, second)
    whole = session.screenshot()
    check(snow_pixels(whole) == snow_pixels(crop(whole, *area)), "snow outside the window")
    xlib.destroy(window)
    check_ends_with_zero(tavrel, "its window destroyed")
    xlib.close()


def own_window_destroyed(program, display, session):
    xlib = Xlib(display.name)
    tavrel = session.start(program, "--gravity")
    window = session.find_window(name="Tavrel")
    check(window is not None, "no window named Tavrel")
    time.sleep(1)
    xlib.destroy(int(window))
    check_ends_with_zero(tavrel, "its window destroyed")
    xlib.close()


def interrupted(program, display, session):
    tavrel = session.start(program, "-root", "--rate", "300", "--transparent")
    time.sleep(2)
    check(tavrel.running(), "ended by itself")
    tavrel.signal(signal.SIGINT)
    check_ends_with_zero(tavrel, "SIGINT")


def command_lines(program, display, session):
    refused = [
        ["--bogus"], ["--rate"], ["--rate", "many"], ["--rate", "12x"], ["--rate="],
        ["-window-id", "0"], ["-window-id", "0xZZ"], ["-window-id", "0x1ffffffff"],
        ["--transparent=yes"], ["snow"], ["-window-id", "0x3fffff0"],
    ]
    for arguments in refused:
        ran = session.run(program, *arguments, timeout=20)
        lines = ran.stderr.decode(errors="replace").splitlines()
        check(ran.returncode == 1, "%s: status %d" % (arguments, ran.returncode))
        check(len(lines) >= 1 and lines[0].startswith("tavrel: "), "%s: %r" % (arguments, lines))
        if arguments != ["-window-id", "0x3fffff0"]:
            check(lines[1:2] == ["usage: tavrel [options]"], "%s: no usage" % (arguments,))
    ran = session.run(program, "--help", timeout=20)
    check(ran.returncode == 0 and b"--rate N" in ran.stdout, "--help: %r" % ran.stdout)


SCENARIOS = {
    "own_window": own_window,
    "given_window": given_window,
    "own_window_destroyed": own_window_destroyed,
    "interrupted": interrupted,
    "command_lines": command_lines,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--scenario", required=True, choices=sorted(SCENARIOS))
    arguments = parser.parse_args()
    with PrivateDisplay() as display, display.session() as session:
        SCENARIOS[arguments.scenario](arguments.program, display, session)
    print("%s: passed" % arguments.scenario)


if __name__ == "__main__":
    main()
