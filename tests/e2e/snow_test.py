"""The snow as a user sees it: the real tavrel.scr run full screen under Wine on the test display.

    snow_test.py --env ENVFILE --scr TAVREL_SCR SCENARIO

Scenarios:
  appears   with nothing stored, pale blue-white flakes appear on black and keep moving
  rate      a stored rate of 300 flakes per second shows much more snow than a stored 10
  gravity   with "useGravity" stored as 1, mouse movement and clicks leave the saver running
            and Escape ends it with status 0
"""
import argparse
import subprocess
import sys
import time

from saver_harness import read_env

SETTINGS_KEY = r"HKCU\Control Panel\Screen Saver.Tavrel"


class Display:
    """The test display and Wine prefix, with the saver started on it."""

    def __init__(self, env, scr):
        self.env = env
        self.scr = scr
        self.width = 1280
        self.height = 720

    def run(self, *command, timeout=60):
        return subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=timeout)

    def store(self, values):
        """Leaves exactly the given settings stored."""
        self.run("wine", "reg", "delete", SETTINGS_KEY, "/f")
        for name, value in values.items():
            self.run("wine", "reg", "add", SETTINGS_KEY, "/v", name, "/t", "REG_DWORD",
                     "/d", str(value), "/f")

    def start_saver(self):
        # The first mouse-move message is the saver's starting point: put the cursor down first.
        self.run("xdotool", "mousemove", "640", "360")
        saver = subprocess.Popen(["wine", self.scr, "/s"], env=self.env,
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        found = self.run("xdotool", "search", "--sync", "--name", "^ScreenSaver$", timeout=60)
        window = found.stdout.split()
        if not window:
            stop(saver)
            raise AssertionError("the saver's window did not appear")
        return saver, window[0].decode()

    def screenshot(self):
        """The whole screen as bytes, 3 per pixel (red, green, blue), top row first."""
        shot = self.run("import", "-window", "root", "-depth", "8", "rgb:-", timeout=30)
        if len(shot.stdout) != self.width * self.height * 3:
            raise AssertionError("screenshot failed: %s" % shot.stderr.decode(errors="replace"))
        return shot.stdout


def stop(process):
    if process.poll() is None:
        process.kill()
        process.wait(timeout=30)


def snow_pixels(shot):
    """Pale blue-white pixels: bright, and blue at least as strong as red and green."""
    count = 0
    for i in range(0, len(shot), 3):
        red, green, blue = shot[i], shot[i + 1], shot[i + 2]
        if red + green + blue > 300 and blue >= red and blue >= green:
            count += 1
    return count


def black_pixels(shot):
    return sum(1 for i in range(0, len(shot), 3) if shot[i] + shot[i + 1] + shot[i + 2] == 0)


def snow_after(display, seconds):
    """Starts the saver, lets it snow for seconds, and returns two screenshots a second apart."""
    saver, _ = display.start_saver()
    try:
        time.sleep(seconds)
        first = display.screenshot()
        time.sleep(1)
        second = display.screenshot()
        if saver.poll() is not None:
            raise AssertionError("the saver ended by itself with status %s" % saver.returncode)
        return first, second
    finally:
        stop(saver)


def appears(display):
    display.store({})
    deadline = time.monotonic() + 20
    while True:
        first, second = snow_after(display, 4)
        flakes = snow_pixels(first)
        if flakes > 100 or time.monotonic() > deadline:
            break
    pixels = display.width * display.height
    print("snow pixels %d, black pixels %d of %d" % (flakes, black_pixels(first), pixels))
    assert flakes > 100, "no snow after a few seconds"
    assert black_pixels(first) > pixels // 2, "the snow does not fall on black"
    assert first != second, "the snow does not move"


def rate(display):
    counts = {}
    for stored in (10, 300):
        display.store({"snowCountPerSecond": stored})
        first, _ = snow_after(display, 6)
        counts[stored] = snow_pixels(first)
        print("stored rate %d: %d snow pixels" % (stored, counts[stored]))
    assert counts[10] > 0, "no snow at 10 flakes per second"
    assert counts[300] > 5 * counts[10], "300 flakes per second do not show much more snow"


def gravity(display):
    display.store({"useGravity": 1})
    saver, window = display.start_saver()
    try:
        time.sleep(2)
        for x, y in ((100, 100), (1200, 650), (5, 700), (640, 10), (900, 400)):
            display.run("xdotool", "mousemove", str(x), str(y))
            time.sleep(0.2)
        for button in ("1", "3", "2"):
            display.run("xdotool", "click", button)
            time.sleep(0.2)
        time.sleep(2)
        assert saver.poll() is None, "mouse input ended the saver although the mouse steers"
        display.run("xdotool", "windowfocus", "--sync", window)
        display.run("xdotool", "key", "Escape")
        status = saver.wait(timeout=20)
        assert status == 0, "Escape ended the saver with status %d" % status
    finally:
        stop(saver)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--env", required=True)
    parser.add_argument("--scr", required=True)
    parser.add_argument("scenario", choices=("appears", "rate", "gravity"))
    args = parser.parse_args()
    display = Display(read_env(args.env), args.scr)
    try:
        globals()[args.scenario](display)
    finally:
        display.store({})
    print("%s: passed" % args.scenario)


if __name__ == "__main__":
    sys.exit(main())
