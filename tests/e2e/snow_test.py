"""The snow as a user sees it: the real tavrel.scr run full screen under Wine on the test display.

    snow_test.py --env ENVFILE --scr TAVREL_SCR --scenario SCENARIO

Scenarios:
  appears   with nothing stored, pale blue-white flakes appear on black and keep moving
  rate      a stored rate of 300 flakes per second shows much more snow than a stored 10
  gravity   with "useGravity" stored as 1, mouse movement and clicks leave the saver running
            and Escape ends it with status 0
"""
import time

from saver_harness import (SCREEN_HEIGHT, SCREEN_WIDTH, black_pixels, check, run_scenario,
                           snow_pixels)


def start_fullscreen(session):
    saver = session.start_saver("/s")
    window = session.find_window(name="^ScreenSaver$", timeout=60)
    check(window is not None, "the saver's window did not appear")
    return saver, window


def snow_after(session, seconds):
    """Starts the saver, lets it snow for seconds, and returns two screenshots a second apart."""
    saver, _ = start_fullscreen(session)
    try:
        time.sleep(seconds)
        first = session.screenshot()
        time.sleep(1)
        second = session.screenshot()
        check(saver.running(), "the saver ended by itself")
        return first, second
    finally:
        saver.stop()


def appears(session):
    session.store({})
    deadline = time.monotonic() + 20
    while True:
        first, second = snow_after(session, 4)
        flakes = snow_pixels(first)
        if flakes > 100 or time.monotonic() > deadline:
            break
    pixels = SCREEN_WIDTH * SCREEN_HEIGHT
    print("snow pixels %d, black pixels %d of %d" % (flakes, black_pixels(first), pixels))
    check(flakes > 100, "no snow after a few seconds")
    check(black_pixels(first) > pixels // 2, "the snow does not fall on black")
    check(first != second, "the snow does not move")


def rate(session):
    counts = {}
    for stored in (10, 300):
        session.store({"snowCountPerSecond": stored})
        first, _ = snow_after(session, 6)
        counts[stored] = snow_pixels(first)
        print("stored rate %d: %d snow pixels" % (stored, counts[stored]))
    check(counts[10] > 0, "no snow at 10 flakes per second")
    check(counts[300] > 5 * counts[10], "300 flakes per second do not show much more snow")


def gravity(session):
    session.store({"useGravity": 1})
    saver, window = start_fullscreen(session)
    time.sleep(2)
    for x, y in ((100, 100), (1200, 650), (5, 700), (640, 10), (900, 400)):
        session.move_mouse(x, y)
        time.sleep(0.2)
    for button in (1, 3, 2):
        session.click(button)
        time.sleep(0.2)
    time.sleep(2)
    check(saver.running(), "mouse input ended the saver although the mouse steers")
    session.key(window, "Escape")
    status = saver.wait(20)
    check(status == 0, "Escape did not end the saver with status 0 (status %s)" % status)


SCENARIOS = {"appears": appears, "rate": rate, "gravity": gravity}


def main():
    run_scenario(SCENARIOS)


if __name__ == "__main__":
    main()
