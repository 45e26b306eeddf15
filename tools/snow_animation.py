#!/usr/bin/env python3
"""Makes the README's animated picture of the snow from the real Linux program: runs it on a
private Xvfb display (the test harness's), lets the first flakes reach the ground, takes frames
of the screen with ImageMagick's import and joins them, halved in size, into a looping GIF whose
frame delay is the time the frames were taken apart.

    snow_animation.py PATH/TO/tavrel [OUTPUT.gif]   (default output: docs/snow.gif)
"""
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path[:0] = [os.path.join(ROOT, "tests", "e2e"), os.path.join(ROOT, "tests", "x11")]

from x11_harness import PrivateDisplay  # noqa: E402

SETTLE_SECONDS = 8
FRAMES = 45
MOST_BYTES = 2 * 1024 * 1024


def take_frames(program, folder):
    """The frames' files and the seconds between two frames."""
    with PrivateDisplay() as display, display.session() as session:
        session.start(program, "-root", "--rate", "160", "--transparent")
        time.sleep(SETTLE_SECONDS)
        frames = []
        started = time.monotonic()
        for number in range(FRAMES):
            frame = os.path.join(folder, "frame-%03d.png" % number)
            shot = session.run("import", "-window", "root", frame, timeout=30)
            if shot.returncode != 0:
                raise SystemExit("import failed: %s" % shot.stderr.decode(errors="replace"))
            frames.append(frame)
        return frames, (time.monotonic() - started) / FRAMES


def main():
    if len(sys.argv) < 2:
        raise SystemExit(__doc__)
    program = os.path.abspath(sys.argv[1])
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(ROOT, "docs", "snow.gif")
    with tempfile.TemporaryDirectory() as folder:
        frames, interval = take_frames(program, folder)
        hundredths = max(2, round(interval * 100))
        subprocess.run(["convert", "-delay", str(hundredths), "-loop", "0"] + frames +
                       ["-resize", "50%", "-colors", "64", "-layers", "Optimize", output],
                       check=True, timeout=600)
    size = os.path.getsize(output)
    seconds = FRAMES * hundredths / 100
    print("%s: %d frames, %.1f s, %d bytes" % (output, FRAMES, seconds, size))
    if seconds < 3 or size > MOST_BYTES:
        raise SystemExit("the picture should last at least 3 s and take at most 2 MB")


if __name__ == "__main__":
    main()
