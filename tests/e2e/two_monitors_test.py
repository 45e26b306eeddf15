"""The saver on a desktop of two monitors side by side (1024x768, then 1280x720 to its right):
its window covers the whole virtual screen, and snow falls on both monitors.

    two_monitors_test.py --env ENVFILE --scr TAVREL_SCR --scenario covers_both
"""
import time

from saver_harness import check, run_scenario, snow_pixels

DESKTOP_WIDTH = 2304
DESKTOP_HEIGHT = 768
LEFT_MONITOR = (0, 1024)
RIGHT_MONITOR = (1024, 2304)


def covers_both(session):
    saver = session.start_saver("/s", cursor=(512, 384))
    window = session.find_window(name="ScreenSaver")
    check(window is not None, "no full-screen window")
    deadline = time.monotonic() + 20
    left = right = 0
    while time.monotonic() < deadline and not (left > 200 and right > 200):
        time.sleep(1)
        geometry = session.geometry(window)
        shot = session.screenshot(DESKTOP_WIDTH, DESKTOP_HEIGHT)
        left = snow_pixels(shot, DESKTOP_WIDTH, LEFT_MONITOR)
        right = snow_pixels(shot, DESKTOP_WIDTH, RIGHT_MONITOR)
    check(geometry == (0, 0, DESKTOP_WIDTH, DESKTOP_HEIGHT),
          "window %s does not cover the %dx%d desktop" % (geometry, DESKTOP_WIDTH, DESKTOP_HEIGHT))
    check(left > 200 and right > 200, "snow pixels: %d on the left, %d on the right monitor"
          % (left, right))
    session.key(window, "Escape")
    check(saver.wait(10) == 0, "the saver did not end with status 0 on Escape")


if __name__ == "__main__":
    run_scenario({"covers_both": covers_both})
