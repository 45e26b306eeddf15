"""The saver while nobody sees it, and on a desktop that changes under it: the real tavrel.scr
under Wine, its buffer swaps counted from Wine's trace.

    display_test.py --env ENVFILE --scr TAVREL_SCR --probe SAVER_PROBE --scenario SCENARIO

Scenarios:
  display_off     the monitor-power command turns the display off: (almost) no swaps and no CPU;
                  on again, snow at the display's pace; Escape ends it with status 0
  preview_hidden  the preview's settings page hidden for 7 s: (almost) no swaps; shown, it draws
                  again (a preview's picture in another process's window is not on Xvfb's
                  screen under Wine, so its swaps tell)
  desktop_grows   (a display whose resolution may change) the display switched to 1600x1200:
                  the window covers it, snow falls in the new strips, the flakes keep the shape
                  of a saver started at 1600x1200, and Escape ends it with status 0
"""
import atexit
import os
import shutil
import statistics
import tempfile
import time

from saver_harness import (check, cpu_seconds, flake_shapes, run_scenario, snow_pixels,
                           swap_count)

# A swap already under way when the picture went out of sight may still land.
SWAPS_IN_FLIGHT = 2


def traced(session, *arguments, cursor=(640, 360)):
    """Starts the saver with its swaps traced; answers the program and the trace's path."""
    folder = tempfile.mkdtemp(prefix="tavrel-trace-")
    atexit.register(shutil.rmtree, folder, True)
    path = os.path.join(folder, "trace.txt")
    with open(path, "w", encoding="utf-8") as trace:
        saver = session.start_traced_saver(trace, *arguments, cursor=cursor)
    return saver, path


def swaps_during(path, seconds):
    before = swap_count(path)
    time.sleep(seconds)
    return swap_count(path) - before


def escape_ends(session, saver, window):
    session.key(window, "Escape")
    status = saver.wait(20)
    check(status == 0, "Escape did not end the saver with status 0 (status %s)" % status)


def display_off(session):
    saver, path = traced(session, "/s")
    window = session.find_window(name="^ScreenSaver$", timeout=60)
    check(window is not None, "the saver's window did not appear")
    check(swaps_during(path, 3) > 30, "the saver did not draw before the display went off")
    check(session.probe_output("monitor", "2") == "posted", "no saver window to turn off")
    time.sleep(1)
    pids = saver.processes()
    cpu, start = cpu_seconds(pids), time.monotonic()
    swaps = swaps_during(path, 8)
    cores = (cpu_seconds(pids) - cpu) / (time.monotonic() - start)
    print("display off: %d swaps in 8 s, %.4f cores" % (swaps, cores))
    check(swaps <= SWAPS_IN_FLIGHT, "%d swaps in 8 s with the display off" % swaps)
    check(cores <= 0.01, "%.3f cores with the display off" % cores)
    session.probe_output("monitor", "-1")
    swaps = swaps_during(path, 1.0)
    print("display on: %d swaps in its first second" % swaps)
    check(swaps >= 30, "only %d swaps in the first second with the display on" % swaps)
    check(snow_pixels(session.screenshot()) > 100, "no snow with the display on again")
    escape_ends(session, saver, window)


def preview_hidden(session):
    page = session.start_probe("parent", "320", "240", "30000", "6000", "7000")
    handle = page.readline(20)
    check(handle is not None and handle.isdigit(), "the settings page gave no handle: %r" % handle)
    saver, path = traced(session, "/p", handle, cursor=None)
    check(page.readline(20).startswith("child"), "no preview appeared in the settings page")
    check(page.readline(20) == "hidden", "the settings page was not hidden")
    # Counted until just before the page is shown again: from then on the preview draws.
    swaps = swaps_during(path, 6.5)
    print("preview hidden: %d swaps in 6.5 s" % swaps)
    check(swaps <= SWAPS_IN_FLIGHT, "%d swaps while the preview was hidden" % swaps)
    check(page.readline(20) == "shown", "the settings page was not shown again")
    check(swaps_during(path, 2) > 30, "the preview did not draw again once shown")
    check(page.readline(30) == "destroyed", "the settings page did not close")
    check(saver.wait(15) == 0, "the preview did not end with its page")


def display_size(session):
    width, height = session.run("xdotool", "getdisplaygeometry").stdout.split()
    return int(width), int(height)


# Flakes that landed lie flat and look wider than falling ones: two sky's flakes compare only once
# both skies are as old as a flake's life and more, so that their mixes of the two are alike.
STEADY_SKY_SECONDS = 20


def shapes_of(session, width, height, started, shots=3):
    """The mean shape of the flakes in a few screenshots a second apart, taken once the saver
    started at time started has a steady sky."""
    time.sleep(max(0.0, started + STEADY_SKY_SECONDS - time.monotonic()))
    shapes = []
    for _ in range(shots):
        time.sleep(1)
        shapes += flake_shapes(session.screenshot(width, height), width, height)
    check(len(shapes) >= 20, "only %d flakes to measure" % len(shapes))
    return statistics.mean(shapes)


def wait_for(probe, holds, timeout):
    """Calls probe until holds(its answer) or timeout seconds have passed; answers the last one."""
    deadline = time.monotonic() + timeout
    while True:
        answer = probe()
        if holds(answer) or time.monotonic() >= deadline:
            return answer
        time.sleep(0.5)


def new_strips_snow(shot, old_width, old_height):
    """Snow pixels in the strips a 1600x1200 screen adds right of and below the old one."""
    return snow_pixels(shot, 1600, (old_width, 1600)), snow_pixels(shot[old_height * 1600 * 3:])


def desktop_grows(session):
    # The display keeps the mode a test run left it in; Xephyr offers 1280x720 only at its start.
    if display_size(session) == (1600, 1200):
        session.probe_output("display", "1280", "1024")
    old_width, old_height = display_size(session)
    saver, path = traced(session, "/s", cursor=(old_width // 2, old_height // 2))
    started = time.monotonic()
    window = session.find_window(name="^ScreenSaver$", timeout=60)
    check(window is not None, "the saver's window did not appear")
    # Wine broadcasts WM_DISPLAYCHANGE with a 2 s timeout and takes back what a window has not
    # taken by then: a saver still making its context and scene (the window is up before) would
    # never hear of the switch. Once it swaps, it takes its messages every frame.
    check(wait_for(lambda: swap_count(path), lambda swaps: swaps >= 10, 60) >= 10,
          "the saver did not draw before the switch")
    answer = session.probe_output("display", "1600", "1200")
    check(answer == "changed 0", "the display did not switch to 1600x1200: %r" % answer)
    grown = (0, 0, 1600, 1200)
    where = wait_for(lambda: session.geometry(window), lambda box: box == grown, 20)
    check(where == grown, "the window is at %s after the switch" % (where,))
    right, bottom = wait_for(
        lambda: new_strips_snow(session.screenshot(1600, 1200), old_width, old_height),
        lambda strips: min(strips) > 50, 20)
    check(right > 50 and bottom > 50, "snow pixels: %d in the new right strip, %d in the new "
          "bottom strip" % (right, bottom))
    followed = shapes_of(session, 1600, 1200, started)
    escape_ends(session, saver, window)
    saver = session.start_saver("/s", cursor=(800, 600))
    started = time.monotonic()
    window = session.find_window(name="^ScreenSaver$", timeout=60)
    check(window is not None, "the fresh saver's window did not appear")
    fresh = shapes_of(session, 1600, 1200, started)
    print("flake width over height: %.3f after the switch, %.3f started afresh" % (followed, fresh))
    check(abs(followed - fresh) <= 0.15 * fresh, "the flakes' shape did not follow the desktop")
    escape_ends(session, saver, window)


if __name__ == "__main__":
    run_scenario({f.__name__: f for f in (display_off, preview_hidden, desktop_grows)})
