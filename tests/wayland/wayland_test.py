"""The Linux program's Wayland saver on real compositors, each scenario on one of its own.
On headless sway (wlr-layer-shell, org_kde_kwin_idle): snow on every output in the shape of one
sky, also on an output made while it runs, below another, at scale 2 and at a new resolution;
the ends (a 1-pixel move leaves it running; a 40-pixel move, ten 1-pixel moves, a button, a key
and SIGTERM end it with 0); in front of a full-screen window and over a bar's own rows, with no
cursor; no frames and no CPU while the compositor asks for none, and the sky as full after a long
pause; the resident saver's snowfalls; the starts it must refuse. On sway's X11 backend: an
output lost, every output gone, and snow that falls as fast over two outputs whose frames come
together as over one. On weston: the focus taken by another window, and no idle source. On cage:
one sky over the layout. On mutter and kwin: the resident saver's idle time from GNOME's idle
monitor and from ext-idle-notify-v1; on kwin, a touch."""
import argparse
import itertools
import json
import os
import re
import signal
import time

from compositors import (HeadlessCage, HeadlessWeston, VirtualKwin, X11Kwin, X11Sway,
                         start_key_recorder, typed_text)
from gnome_session import GnomeSession
from mutter_harness import HeadlessMutter
from saver_harness import check, cpu_seconds, flake_shapes, is_snow, snow_pixels
from wayland_harness import HeadlessSway
from x11_harness import (FLAKE_SHAPE_SECONDS, FLAKE_SHAPE_TOLERANCE, check_flake_shape, crop,
                         filled_sky, median_flake_shapes)

# Each saver's standard error, with its swaps, in a file of its own.
TRACES = itertools.count()
# Two outputs side by side, 800x720 and 480x720: one sky of the reference picture's shape
# (1280x720), which neither output has alone.
FIRST = (800, 720)
SECOND = (480, 720, 800, 0)
SKY = (1280, 720)
# A bar along the top that reserves its rows (its exclusive zone), red.
BAR_ROWS = 40
BAR = "bar {\n position top\n height %d\n colors {\n background #ff0000\n }\n}\n" % BAR_ROWS
# Flakes start above the view and need a few seconds to fall into it.
SNOW_SECONDS = 4
# sway on X11: two outputs side by side, 640x480 each.
X11_SKY = (1280, 480)
# What cage gives each of its two headless outputs.
KIOSK = (1280, 720)
# The resident saver's snowfalls over which its memory and descriptors must stay flat.
CYCLES = 20
# The resident row's snowfalls killed from outside (a driver's fault, the kernel's OOM killer):
# spread out, so that a count of failures that runs on across the good ones in between ends
# the saver.
CRASHES = {1: signal.SIGSEGV, 3: signal.SIGKILL, 5: signal.SIGSEGV}
# What a process maps once it has loaded a GL driver: Mesa's EGL or GLX vendor library, its DRI
# or Gallium driver, LLVM.
GL_DRIVER = re.compile(r"libEGL_mesa|libGLX_mesa|_dri\.so|libgallium|libLLVM|libglapi")


class Saver:
    """tavrel --wayland with bench/libswap_log.so loaded, which logs each buffer swap with its
    surface."""

    def __init__(self, sway, session, *arguments, env=None, prefix=()):
        self.trace = sway.copy("swaps-%d.txt" % next(TRACES))
        with open(self.trace, "w", encoding="utf-8") as trace:
            self.program = session.start(*prefix, sway.copy(PROGRAM), "--wayland", *arguments,
                                         errors=trace,
                                         env=dict(env or {}, LD_PRELOAD=sway.copy(SWAP_LOG)))

    def swaps(self):
        """The surface of every swap so far, in order."""
        return [surface for surface, _ in self.swapped()]

    def swapped(self):
        """(surface, "WIDTHxHEIGHT" of its buffer) of every swap so far, in order."""
        return [tuple(fields[2:4]) for fields in self.swap_lines()]

    def swap_lines(self):
        """Each swap's line: "eglSwapBuffers", its time, its surface and its buffer's size."""
        return [line.split() for line in self.log().splitlines()
                if line.startswith("eglSwapBuffers ")]

    def log(self):
        """All the saver wrote: its swaps, its lines, and with WAYLAND_DEBUG its protocol."""
        with open(self.trace, encoding="utf-8", errors="replace") as trace:
            return trace.read()

    def first_swap(self):
        """When the first frame was swapped (CLOCK_MONOTONIC, as time.monotonic), or None."""
        lines = self.swap_lines()
        return float(lines[0][1]) if lines else None

    def last_size(self, surface):
        return [size for swapped, size in self.swapped() if swapped == surface][-1]

    def wait_for_frames(self, what, seconds=6):
        """Waits until a frame comes after the ones so far."""
        before = len(self.swaps())
        deadline = time.monotonic() + seconds
        while len(self.swaps()) == before and time.monotonic() < deadline:
            time.sleep(0.1)
        check(len(self.swaps()) > before, "%s: no frames in %d s" % (what, seconds))

    def tree(self):
        """The program's process and its children (a resident saver's snowfall), while it runs."""
        pid = self.program.popen.pid
        try:
            with open("/proc/%d/task/%d/children" % (pid, pid), encoding="ascii") as children:
                return [pid] + [int(child) for child in children.read().split()]
        except OSError:
            return []

    def resources(self):
        """Over the program's processes: resident memory in kilobytes, open descriptors and
        threads, whether any maps a GL driver, and how many processes there are."""
        rss = descriptors = threads = 0
        driver = False
        tree = self.tree()
        for pid in tree:
            with open("/proc/%d/smaps_rollup" % pid, encoding="utf-8") as rollup:
                rss += int(re.search(r"^Rss:\s+(\d+)", rollup.read(), re.MULTILINE).group(1))
            with open("/proc/%d/maps" % pid, encoding="utf-8") as maps:
                driver = driver or bool(GL_DRIVER.search(maps.read()))
            descriptors += len(os.listdir("/proc/%d/fd" % pid))
            threads += len(os.listdir("/proc/%d/task" % pid))
        return {"rss": rss, "descriptors": descriptors, "threads": threads, "driver": driver,
                "processes": len(tree)}

    def said(self):
        """The lines the program wrote itself (the trace holds the swaps too)."""
        return [line for line in self.log().splitlines() if line.startswith("tavrel")]

    def load(self, seconds):
        """Swaps of each surface and the cores used over the next seconds."""
        before = len(self.swaps())
        pids = self.tree()
        cpu_start, wall_start = cpu_seconds(pids), time.monotonic()
        time.sleep(seconds)
        cores = (cpu_seconds(pids) - cpu_start) / (time.monotonic() - wall_start)
        counts = {}
        for surface in self.swaps()[before:]:
            counts[surface] = counts.get(surface, 0) + 1
        return counts, cores


def settled(found, seconds, interval=0.1):
    """Polls found() until it answers something true or the seconds pass; answers its last
    answer."""
    deadline = time.monotonic() + seconds
    answer = found()
    while not answer and time.monotonic() < deadline:
        time.sleep(interval)
        answer = found()
    return answer


def shared_snow(first, second):
    """The share of the second picture's snow pixels that are snow in the first as well (two
    pictures of one size): about the snow's density (none here) for two parts of one sky, and
    for one part shown twice a good share (0.4 here) even a frame apart."""
    snow = [i for i in range(0, len(second), 3) if is_snow(*second[i:i + 3])]
    return sum(1 for i in snow if is_snow(*first[i:i + 3])) / max(len(snow), 1)


def check_shapes(session, areas, desktop, what, tolerance=FLAKE_SHAPE_TOLERANCE):
    for area, shape in zip(areas, median_flake_shapes(session, areas, desktop)):
        print("%s, the output at %d,%d: flakes %.2f times as wide as high" %
              ((what,) + area[:2] + (shape,)))
        check_flake_shape(shape, "%s, the output at %d,%d" % ((what,) + area[:2]),
                          tolerance=tolerance)


def sky_flakes(session, size=FIRST):
    return len(flake_shapes(session.screenshot(*size), *size))


def check_ends_with_zero(program, what, seconds=1.0):
    status = program.wait(seconds)
    check(status == 0, "%s: status %r %.0f s later" % (what, status, seconds))


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
    check_shapes(session, areas, SKY, "side by side")
    check(len(set(saver.swaps())) == 2, "swapped %d surfaces" % len(set(saver.swaps())))
    shot = session.screenshot(*SKY)
    left, second_part = (crop(shot, x, 0, SECOND[0], SECOND[1], SKY[0]) for x in (0, SECOND[2]))
    shared = shared_snow(left, second_part)
    print("the second output and the first's left part share %.2f of their snow" % shared)
    check(shared < 0.15, "the second output repeats the first's left part (%.2f)" % shared)


def fall_seconds(sway, session, sky):
    """The seconds from a saver's first frame until its first flakes reach the lower half of the
    desktop, a sky of that size."""
    saver = Saver(sway, session)
    settled(saver.first_swap, 10)
    lower = (0, sky[1] // 2, sky[0], sky[1] // 2)
    reached = settled(lambda: snow_pixels(crop(session.screenshot(*sky), *lower,
                                               screen_width=sky[0])) > 20, 15, interval=0.05)
    seconds = time.monotonic() - saver.first_swap()
    check(reached, "no flakes in the lower half")
    saver.program.signal(signal.SIGTERM)
    check_ends_with_zero(saver.program, "SIGTERM")
    return seconds


def fall(sway, session):
    """sway on X11, whose outputs ask for their frames together: the snow falls as fast over
    two outputs as over one of their box's size (within a quarter), one pass advancing the sky
    once however many outputs it draws."""
    two = fall_seconds(sway, session, X11_SKY)
    session.close_output("X11-2")
    session.msg("output", "X11-1", "resolution", "%dx%d" % X11_SKY)
    one = fall_seconds(sway, session, X11_SKY)
    print("the first flakes reach the lower half after %.2f s on one output, %.2f s on two" %
          (one, two))
    check(abs(two / one - 1) <= 0.25, "on two outputs %.2f s, on one %.2f s" % (two, one))


def ends(sway, session):
    """A pointer that moves 1 pixel leaves it running; 40 pixels, ten more moves of 1 pixel (the
    threshold counts from where the pointer entered), a button, a key and SIGTERM each end it
    with 0 within a second."""
    cases = (("a 40-pixel move", lambda saver: session.move_mouse_by(40, 0)),
             ("ten 1-pixel moves", lambda saver: [session.move_mouse_by(1, 0) for _ in range(10)]),
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


def paused(sway, session):
    """While the compositor asks for no frames (stopped, as when its outputs are off) the saver
    draws nothing and takes no CPU; after a pause longer than a flake's life (15 s) the sky is as
    full as before, which a clock counting the pause would have melted; SIGTERM ends it at once
    while it waits."""
    saver = Saver(sway, session)
    before = filled_sky(lambda: sky_flakes(session), "before the pause")
    compositor = session.programs[0]
    compositor.signal(signal.SIGSTOP)
    time.sleep(0.5)
    counts, cores = saver.load(16)
    compositor.signal(signal.SIGCONT)
    check(not counts and cores <= 0.01, "paused: %s, %.3f cores" % (counts, cores))
    saver.wait_for_frames("after the pause")
    time.sleep(0.5)
    after = sky_flakes(session)
    print("flakes before the pause %d, after %d" % (before, after))
    check(after >= before / 2, "after the pause: %d flakes, %d before" % (after, before))
    compositor.signal(signal.SIGSTOP)
    time.sleep(0.5)
    saver.program.signal(signal.SIGTERM)
    check_ends_with_zero(saver.program, "SIGTERM while paused")
    compositor.signal(signal.SIGCONT)


def layout(sway, session):
    """The outputs' layout as the compositor changes it: a second output placed below the first
    (the sky grows in height only) gives the first's flakes the shape of one sky (the lower one
    shows the ground's flakes, which lie flat); at scale 2 an
    output's buffer has twice its logical size; a new resolution gives the buffer the new size."""
    saver = Saver(sway, session)
    started = time.monotonic()
    time.sleep(1)
    second = session.add_output(FIRST[0], FIRST[1], 0, FIRST[1])
    time.sleep(max(0.0, started + FLAKE_SHAPE_SECONDS - time.monotonic()))
    check_shapes(session, ((0, 0) + FIRST,), (FIRST[0], 2 * FIRST[1]), "one below the other")
    first_surface, second_surface = dict.fromkeys(saver.swaps())
    changes = ((second, ("scale", "2"), second_surface, "%dx%d" % FIRST),
               ("HEADLESS-1", ("resolution", "1024x768"), first_surface, "1024x768"))
    for output, change, surface, size in changes:
        session.msg("output", output, *change)
        time.sleep(1)
        saver.wait_for_frames(" ".join(change))
        check(saver.last_size(surface) == size, "%s %s: a buffer of %s, not %s" %
              ((output,) + (" ".join(change), saver.last_size(surface), size)))


def coloured_pixels(shot):
    return sum(1 for i in range(0, len(shot), 3) if max(shot[i:i + 3]) - min(shot[i:i + 3]) > 100)


def in_front(sway, session):
    """On the overlay layer: the pointer that enters gets no cursor (headless sway draws no cursor
    into screenshots, so the protocol log tells); the snow covers a bar's rows too, which the bar
    reserves for itself; a full-screen window started behind it (weston-simple-egl -f) leaves
    the snow shown, and a key still ends the saver with 0."""
    check(settled(lambda: coloured_pixels(session.screenshot(*FIRST)) >= FIRST[0] * BAR_ROWS * 0.9,
                  10), "no bar shows")
    saver = Saver(sway, session, env={"WAYLAND_DEBUG": "1"})
    time.sleep(SNOW_SECONDS)
    log = saver.log()
    check(re.search(r"wl_pointer@\d+\.enter\(", log) and
          re.search(r"-> wl_pointer@\d+\.set_cursor\(\d+, nil, 0, 0\)", log),
          "the pointer entered, and the cursor was not taken away")
    _, size = saver.swapped()[-1]
    check(size == "%dx%d" % FIRST, "a buffer of %s beside the bar" % size)
    other = session.start("weston-simple-egl", "-f")
    time.sleep(3)
    check(other.running(), "weston-simple-egl ended")
    shot = session.screenshot(*FIRST)
    check(snow_pixels(shot) > 100 and coloured_pixels(shot) < 200,
          "the other window shows: %d snow pixels, %d coloured" %
          (snow_pixels(shot), coloured_pixels(shot)))
    session.type_text(None, "a")
    check_ends_with_zero(saver.program, "a key over the other window")
    other.stop()


def resident(sway, session):
    """--idle 2 on sway's org_kde_kwin_idle: nothing before the idle time, snow after, from a
    process of its own; a key ends the snow but not the program, which then draws nothing and
    takes no CPU, with no snowfall process left; a snowfall killed by SIGSEGV is one line, and the
    next idle time snows again; over twenty snowfalls the waiting program's memory stays within
    512 kB, its descriptors and threads as before the first, and it maps no GL driver; a window
    that inhibits idle keeps the snow away; SIGTERM ends it with 0."""
    saver = Saver(sway, session, "--idle", "2")
    time.sleep(1.2)
    check(not saver.swaps(), "frames before the idle time")
    before = saver.resources()
    saver.wait_for_frames("idle")
    time.sleep(SNOW_SECONDS)
    check(snow_pixels(session.screenshot(*FIRST)) > 100, "no snow once idle")
    check(saver.resources()["processes"] == 2, "no snowfall of its own: %s" % saver.tree())
    check(not shared_descriptors(*saver.tree()), "the snowfall holds the saver's connections: %s"
          % shared_descriptors(*saver.tree()))
    waiting = []
    for cycle in range(CYCLES):
        if cycle:
            saver.wait_for_frames("idle again, cycle %d" % cycle)
            time.sleep(0.3)
        if cycle in CRASHES:
            crash_snowfall(saver, CRASHES[cycle])
        session.type_text(None, "a")
        time.sleep(0.5)
        check(saver.program.running(), "a key ended the resident saver")
        if cycle == 0:
            counts, cores = saver.load(1.2)
            check(not counts and cores <= 0.01, "waiting: %s, %.3f cores" % (counts, cores))
        if cycle in (0, CYCLES - 1):
            waiting.append(saver.resources())
    print("before the first snowfall %s; waiting after the first and the last: %s" %
          (before, waiting))
    for after in waiting:
        check(after["processes"] == 1 and not after["driver"] and
              after["threads"] == before["threads"], "waiting after a snowfall: %s" % after)
    check(waiting[1]["rss"] - waiting[0]["rss"] <= 512 and
          waiting[1]["descriptors"] == waiting[0]["descriptors"],
          "after %d snowfalls: %s" % (CYCLES, waiting))
    other = session.start("weston-simple-egl")
    time.sleep(1)
    session.msg("[pid=%d]" % other.popen.pid, "inhibit_idle", "open")
    counts, _ = saver.load(4)
    check(not counts, "snow while idle is inhibited: %s" % counts)
    other.stop()
    saver.program.signal(signal.SIGTERM)
    check_ends_with_zero(saver.program, "SIGTERM while resident")


def shared_descriptors(first, second):
    """The sockets and pipes two processes both hold, beyond standard input, output and error
    (which a snowfall shares with its saver on purpose)."""
    def links(pid):
        found = set()
        for descriptor in os.listdir("/proc/%d/fd" % pid):
            try:
                link = os.readlink("/proc/%d/fd/%s" % (pid, descriptor))
            except OSError:
                continue
            if int(descriptor) > 2 and link.startswith(("socket:", "pipe:")):
                found.add(link)
        return found
    return links(first) & links(second)


def crash_snowfall(saver, number):
    """Kills the running snowfall with the signal: the resident saver says so in one more line,
    which names it, and runs on."""
    before = len(saver.said())
    snowfall = saver.tree()[1]
    os.kill(snowfall, number)
    settled(lambda: snowfall not in saver.tree(), 3)
    time.sleep(0.3)
    said = saver.said()[before:]
    check(saver.program.running() and len(said) == 1 and number.name in said[0],
          "a snowfall killed by %s: running %s, said %r" %
          (number.name, saver.program.running(), said))


def resident_ends(sway, session):
    """The resident saver and its snowfall ended from outside: a snowfall that hangs (stopped)
    is killed within 3 s of the user's return, and the next idle time snows again; SIGTERM and
    SIGINT while it snows end both with 0, and after SIGKILL the snowfall ends within a second;
    no process of either is left."""
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGKILL):
        session.type_text(None, "a")
        saver = Saver(sway, session, "--idle", "1")
        saver.wait_for_frames("idle")
        if number == signal.SIGTERM:
            hung = saver.tree()[1]
            os.kill(hung, signal.SIGSTOP)
            session.type_text(None, "a")
            time.sleep(3)
            check(not alive(hung), "a hung snowfall is left after the user's return")
            saver.wait_for_frames("idle after a hung snowfall")
        tree = saver.tree()
        check(len(tree) == 2, "%s: processes %s" % (number.name, tree))
        os.kill(tree[0], number)
        started = time.monotonic()
        status = saver.program.wait(1.0)
        settled(lambda: not any(alive(pid) for pid in tree),
                started + 1.0 - time.monotonic(), 0.05)
        left = [pid for pid in tree if alive(pid)]
        check(not left and status == (-signal.SIGKILL if number == signal.SIGKILL else 0),
              "%s while it snows: status %r, left %s" % (number.name, status, left))


def resident_fails(sway, session):
    """Snowfalls that fail at once, each idle time again: one that finds no EGL (status 1), and
    one that cannot be started (no process to be had): one line each, and after three in a row
    the resident saver gives up with status 1 and a line saying so."""
    cases = (("no EGL", {"env": {"__EGL_VENDOR_LIBRARY_FILENAMES": "/nowhere.json"}},
              "status 1"),
             ("no process", {"prefix": ("prlimit", "--nproc=1", "--")}, "cannot start"))
    for what, start, reason in cases:
        session.type_text(None, "a")
        saver = Saver(sway, session, "--idle", "1", **start)
        for failure in range(1, 4):
            settled(lambda: len([line for line in saver.said() if reason in line]) >= failure,
                    5)
            session.type_text(None, "a")
        status = saver.program.wait(3)
        said = saver.said()
        check(status == 1 and len([line for line in said if reason in line]) == 3 and
              said[-1].endswith("giving up"), "%s: status %r, %r" % (what, status, said))


def alive(pid):
    """Whether the process exists and has not ended (a zombie has)."""
    try:
        with open("/proc/%d/stat" % pid, encoding="utf-8", errors="replace") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def output_lost(sway, session):
    """sway on X11 with two outputs: closing the focused output's window (the output goes
    away) leaves the other covered with snow, and a key typed there ends the saver with 0."""
    saver = Saver(sway, session)
    time.sleep(SNOW_SECONDS)
    session.close_output("X11-1")
    time.sleep(1)
    counts, _ = saver.load(1)
    check(saver.program.running() and max(counts.values(), default=0) > 10,
          "one output closed: %s" % counts)
    check(snow_pixels(session.screenshot(output="X11-2")) > 100, "no snow on the other output")
    session.type_text("X11-2", "a")
    check_ends_with_zero(saver.program, "a key on the other output")


def outputs_gone(sway, session):
    """sway on X11 with a seat that has no devices, so that no keyboard focus comes or goes:
    once both outputs' windows are closed the saver ends with 0 within a second, since no input
    could reach it any more."""
    check(not json.loads(sway.seat_devices())[0]["devices"], "the seat has devices")
    saver = Saver(sway, session)
    saver.wait_for_frames("before")
    session.close_output("X11-1")
    session.close_output("X11-2")
    check_ends_with_zero(saver.program, "every output gone")


def focus_lost(weston, session):
    """weston (no wlr-layer-shell: full-screen windows): another window mapped takes the focus
    and shows, so the saver ends with 0."""
    saver = Saver(weston, session)
    saver.wait_for_frames("full-screen windows")
    time.sleep(1.5)
    check(saver.program.running(), "ended before another window came")
    other = session.start("weston-simple-shm")
    check_ends_with_zero(saver.program, "another window focused", seconds=5)
    other.stop()


def kiosk(cage, session):
    """cage gives both outputs' windows the whole 2560x720 layout: one sky of that shape, drawn
    once, on one surface of the layout's size."""
    first = settled(lambda: re.search(r"^eglSwapBuffers (\S+)", cage.log(), re.M), 20)
    check(first, "no frame in 20 s")
    time.sleep(max(0.0, float(first.group(1)) + FLAKE_SHAPE_SECONDS - time.monotonic()))
    # Perspective widens the flakes of a sky twice as wide as the reference towards its sides
    # (1.11 to 1.25 here, 5 to 6 s after the first frame; later, flakes near the ground widen
    # them past 1.4); a sky of the doubled layout's shape would squeeze them to about 0.75.
    check_shapes(session, ((0, 0) + KIOSK, (KIOSK[0], 0) + KIOSK), (2 * KIOSK[0], KIOSK[1]),
                 "the kiosk", tolerance=0.25)
    swaps = [line.split()[2:4] for line in cage.log().splitlines()
             if line.startswith("eglSwapBuffers ")]
    drawn = {surface: size for surface, size in swaps if swaps.count([surface, size]) > 5}
    check(list(drawn.values()) == ["%dx%d" % (2 * KIOSK[0], KIOSK[1])],
          "surfaces drawn: %s" % drawn)
    os.kill(session.program_pid(), signal.SIGTERM)
    check(cage.status(5) == 0, "SIGTERM: cage's status %r" % cage.status(0))


def idle_on_gnome(mutter, session):
    """Resident on mutter, through its idle monitor on the session bus: idle snows; a window
    that takes the focus ends that snowfall, and no other comes until the user has been active
    and the session idle again, while the saver waits without using the CPU; the next snowfall
    draws all along; the user's return (ResetIdletime) ends it and leaves no snowfall running; the
    session's end ends the saver quietly with 0."""
    mutter.reset_idletime()
    saver = Saver(mutter, session, "--idle", "2")
    time.sleep(1.2)
    check(not saver.swaps(), "frames before the idle time")
    saver.wait_for_frames("idle")
    other = session.start("weston-simple-shm")
    wait_for_waiting(saver, "another window focused")
    counts, cores = saver.load(3)
    check(not counts and cores <= 0.01,
          "idle still, after another window took the focus: %s, %.3f cores" % (counts, cores))
    other.stop()
    mutter.reset_idletime()
    saver.wait_for_frames("idle again")
    counts, _ = saver.load(1.5)
    check(sum(counts.values()) >= 30, "the second snowfall: %s in 1.5 s" % counts)
    mutter.reset_idletime()
    wait_for_waiting(saver, "active again")
    counts, _ = saver.load(1)
    check(saver.program.running() and not counts, "active again: %s" % counts)
    saver.wait_for_frames("idle a third time")
    session.programs[1].stop()
    check_ends_with_zero(saver.program, "the session's end", seconds=3)
    check(not saver.said(), "the session's end: %r" % saver.said())


def wait_for_waiting(saver, what, seconds=5):
    """Waits until the resident saver runs no snowfall."""
    check(settled(lambda: len(saver.tree()) == 1, seconds), "%s: the snowfall still runs %s" % (what, saver.tree()))


def idle_on_kwin(kwin, session):
    """Resident on kwin, through ext-idle-notify-v1: nothing before the idle time, snow after."""
    saver = Saver(kwin, session, "--idle", "2")
    time.sleep(1.2)
    check(not saver.swaps(), "frames before the idle time")
    saver.wait_for_frames("idle")
    saver.program.signal(signal.SIGTERM)
    check_ends_with_zero(saver.program, "SIGTERM")


def touch(kwin, session):
    """On kwin, whose seat gains touch once its fake input has a device: a touch reaches the
    saver as one (kwin turns it into pointer events for a client that never asked for touch) and
    ends it with 0 within a second."""
    saver = Saver(kwin, session, env={"WAYLAND_DEBUG": "1"})
    saver.wait_for_frames("before the touch")
    touched = session.run(kwin.copy(FAKE_TOUCH), "100", "100", timeout=20)
    check(touched.returncode == 0, "fake_touch: %s" % touched.stderr.decode(errors="replace"))
    check_ends_with_zero(saver.program, "a touch")
    check(re.search(r"wl_touch@\d+\.down\(", saver.log()), "the touch came as no touch")


def on_kde(kwin, session):
    """kwin on its X11 backend (the overlay layer), with KDE's locker: a terminal mapped while the
    saver snows takes the keys, so the saver ends with 0 before a key could go to it unseen;
    with the locker set to lock after a minute, or left at its five, the resident saver says it
    snows at four fifths of that; the locker coming up ends the snowfall with 0, one started
    under it ends at once, drawing nothing, and the resident saver starts none under it."""
    saver = Saver(kwin, session)
    saver.wait_for_frames("on the overlay layer")
    terminal, typed = start_key_recorder(kwin)
    check_ends_with_zero(saver.program, "a terminal mapped over the snow", seconds=5)
    session.type_text(None, "hello")
    check(settled(lambda: typed_text(typed) == "hello", 5), "the terminal got %r" % typed_text(typed))
    terminal.stop()
    os.makedirs(os.path.join(kwin.folder, ".config"), exist_ok=True)
    # The wallpaper's group is one GLib's key files refuse; the second file leaves the locker's
    # settings at KDE's defaults (5 minutes).
    wallpaper = "[Greeter][Wallpaper][org.kde.image][General]\nImage=file:///nowhere.png\n"
    for settings, times in (("[Daemon]\nAutolock=true\nTimeout=1\n\n" + wallpaper, (60, 48)),
                            (wallpaper, (300, 240))):
        kwin.write(".config/kscreenlockerrc", settings)
        resident = Saver(kwin, session, "--idle", "600", env={"XDG_CURRENT_DESKTOP": "KDE"})
        settled(resident.said, 5)
        line = "tavrel: KDE Plasma locks the screen after %d s: snowing after %d s" % times
        check(resident.said() == [line], "resident on KDE: %r" % resident.said())
        resident.program.signal(signal.SIGTERM)
        check_ends_with_zero(resident.program, "SIGTERM while resident")
    saver = Saver(kwin, session)
    saver.wait_for_frames("before the lock")
    kwin.lock()
    check_ends_with_zero(saver.program, "the locker up", seconds=3)
    saver = Saver(kwin, session)
    check_ends_with_zero(saver.program, "started under the locker", seconds=3)
    check(not saver.swaps(), "under the locker: %d frames" % len(saver.swaps()))
    resident = Saver(kwin, session, "--idle", "1")
    check(not settled(lambda: len(resident.tree()) > 1, 3, 0.02),
          "a snowfall started under the locker")


def gnome_overview(gnome, session):
    """GNOME Shell 43 as it ships: plain --wayland started while the overview is open, where it
    cannot leave it (no session bus), is a thumbnail there, never activated, and ends with 0
    within a few seconds; where it can, it leaves the overview (so its search field gets no key)
    and shows the snow, and a key ends it with 0. Told never to blank, GNOME leaves the wait
    asked, and no snow comes while gnome-session-inhibit holds the session awake, but the next
    idle time after it ends snows. Its blank time is read again at each wait, and said once."""
    check(gnome.overview_active(), "the session did not open in its overview")
    saver = Saver(gnome, session, env={"DBUS_SESSION_BUS_ADDRESS": "unix:path=/nowhere"})
    saver.wait_for_frames("a thumbnail in the overview")
    check_ends_with_zero(saver.program, "a thumbnail in the overview", seconds=3)
    check(gnome.overview_active(), "the overview left without the session bus")
    saver = Saver(gnome, session)
    time.sleep(2)
    check(saver.program.running() and not gnome.overview_active() and
          snow_pixels(session.screenshot(*KIOSK)) > 100,
          "over the overview: running %s, the overview %s, no snow shown" %
          (saver.program.running(), gnome.overview_active()))
    session.type_text(None, "a")
    check_ends_with_zero(saver.program, "a key over the overview")
    gnome.set_idle_delay(0)
    gnome.reset_idle()
    saver = Saver(gnome, session, "--idle", "2")
    time.sleep(1.2)
    check(not saver.swaps(), "frames before the idle time")
    saver.wait_for_frames("idle, GNOME never blanking")
    inhibitor = gnome.inhibit_idle()
    gnome.reset_idle()
    wait_for_waiting(saver, "active again")
    counts, _ = saver.load(4)
    check(not counts, "snow while gnome-session-inhibit runs: %s" % counts)
    inhibitor.stop()
    gnome.reset_idle()
    saver.wait_for_frames("idle after the inhibitor")
    check(not saver.said(), "GNOME never blanking: %r" % saver.said())
    saver.program.signal(signal.SIGTERM)
    check_ends_with_zero(saver.program, "SIGTERM while resident")
    blank_times_read_again(gnome, session)


def blank_times_read_again(gnome, session):
    """The resident saver reads GNOME's blank time again as each wait starts, and says a time
    that shortens the wait once: 3 s, then the same again, then 5 s."""
    gnome.set_idle_delay(3)
    gnome.reset_idle()
    saver = Saver(gnome, session, "--idle", "600")
    # The same time at the next wait, then a new one at the wait after.
    for delay in (3, 5):
        gnome.wait_for_shield(10)
        gnome.set_idle_delay(delay)
        gnome.reset_idle()
        gnome.wait_for_shield(5, active=False)
    expected = ["tavrel: GNOME blanks the screen after %d s: snowing after %d s" % times
                for times in ((3, 2), (5, 4))]
    check(settled(lambda: saver.said() == expected, 3), "GNOME's blank time changed: %r" % saver.said())


def gnome_shield(gnome, session):
    """GNOME Shell 43 as it ships, blanking after 24 s: the saver as its user unit runs it
    (--idle 600) says it snows after 19 s, and does, before the shield comes; under the shield
    it draws next to nothing, one started there ends at once without a frame, and it waits on
    when the user is back."""
    gnome.reset_idle()
    saver = Saver(gnome, session, "--idle", "600")
    saver.wait_for_frames("before GNOME blanks", seconds=24)
    # Flakes start above the view; the shield comes 5 s after the snow.
    time.sleep(3)
    shown = snow_pixels(session.screenshot(*KIOSK))
    check(not gnome.shield_active() and shown > 100,
          "before the shield: %d snow pixels, the shield %s" % (shown, gnome.shield_active()))
    gnome.wait_for_shield(15)
    counts, _ = saver.load(5)
    check(sum(counts.values()) <= 2, "under the shield: %s" % counts)
    under = Saver(gnome, session)
    check_ends_with_zero(under.program, "started under the shield", seconds=3)
    check(not under.swaps(), "under the shield: %d frames" % len(under.swaps()))
    check(saver.said() == ["tavrel: GNOME blanks the screen after 24 s: snowing after 19 s"],
          "the wait: %r" % saver.said())
    gnome.reset_idle()
    gnome.wait_for_shield(5, active=False)
    counts, _ = saver.load(2)
    check(saver.program.running() and not counts, "the user back: %s" % counts)


def no_idle_source(weston, session):
    """weston tells no idle time and runs no GNOME: status 1 and one line."""
    ran = session.run(weston.copy(PROGRAM), "--wayland", "--idle", "2", timeout=20)
    lines = ran.stderr.decode(errors="replace").splitlines()
    print("no idle source: %r" % lines)
    check(ran.returncode == 1 and len(lines) == 1 and "idle" in lines[0],
          "no idle source: status %d, %r" % (ran.returncode, lines))


def refused(sway, session):
    """No compositor, no XDG_RUNTIME_DIR, no EGL, --gravity: status 1 and one line that says so
    (a command line it refuses adds the usage)."""
    cases = (("no compositor", ["--wayland"], {"WAYLAND_DISPLAY": "wayland-nowhere"},
              "WAYLAND_DISPLAY"),
             ("no XDG_RUNTIME_DIR", ["--wayland"], {"XDG_RUNTIME_DIR": ""}, "XDG_RUNTIME_DIR"),
             ("no EGL", ["--wayland"], {"__EGL_VENDOR_LIBRARY_FILENAMES": "/nowhere.json"}, "EGL"),
             ("--gravity", ["--wayland", "--gravity"], {}, "--gravity"))
    for what, arguments, env, named in cases:
        ran = session.run("env", *["%s=%s" % item for item in env.items()],
                          sway.copy(PROGRAM), *arguments, timeout=20)
        lines = ran.stderr.decode(errors="replace").splitlines()
        usage = lines[1:] if lines[1:2] == ["usage: tavrel [options]"] else []
        check(ran.returncode == 1, "%s: status %d" % (what, ran.returncode))
        check(len(lines) - len(usage) == 1 and lines[0].startswith("tavrel: ") and
              named in lines[0], "%s: %r" % (what, lines))
        print("%s: %s" % (what, lines[0]))


def on_sway(config=""):
    return HeadlessSway(FIRST, programs=(PROGRAM, SWAP_LOG), config=config)


def on_x11_sway(**options):
    return X11Sway(((640, 480, 0, 0), (640, 480, 640, 0)), programs=(PROGRAM, SWAP_LOG),
                   **options)


# Each scenario with the compositor it runs on.
SCENARIOS = {
    "outputs": (on_sway, outputs), "fall": (on_x11_sway, fall), "ends": (on_sway, ends), "paused": (on_sway, paused),
    "refused": (on_sway, refused), "layout": (on_sway, layout), "in_front": (lambda: on_sway(BAR), in_front),
    "resident": (on_sway, resident), "resident_ends": (on_sway, resident_ends),
    "resident_fails": (on_sway, resident_fails),
    "output_lost": (on_x11_sway, output_lost),
    "outputs_gone": (lambda: on_x11_sway(devices=False), outputs_gone),
    "focus_lost": (lambda: HeadlessWeston((640, 480), (PROGRAM, SWAP_LOG), output_count=2),
                   focus_lost),
    "kiosk": (lambda: HeadlessCage([PROGRAM, "--wayland"], (PROGRAM, SWAP_LOG),
                                   env={"LD_PRELOAD": SWAP_LOG}), kiosk),
    "idle_on_gnome": (lambda: HeadlessMutter(programs=(PROGRAM, SWAP_LOG)), idle_on_gnome),
    "idle_on_kwin": (lambda: VirtualKwin(programs=(PROGRAM, SWAP_LOG)), idle_on_kwin),
    "touch": (lambda: VirtualKwin(programs=(PROGRAM, SWAP_LOG, FAKE_TOUCH), fake_input=FAKE_TOUCH),
              touch),
    "on_kde": (lambda: X11Kwin(programs=(PROGRAM, SWAP_LOG), lockscreen=True), on_kde),
    "gnome_overview": (lambda: GnomeSession(programs=(PROGRAM, SWAP_LOG)), gnome_overview),
    "gnome_shield": (lambda: GnomeSession(programs=(PROGRAM, SWAP_LOG)), gnome_shield),
    "no_idle_source": (lambda: HeadlessWeston(programs=(PROGRAM,)), no_idle_source),
}
PROGRAM = None
SWAP_LOG = None
FAKE_TOUCH = None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--swap-log", required=True, help="bench/libswap_log.so")
    parser.add_argument("--fake-touch", help="tests/wayland/fake_touch")
    parser.add_argument("--scenario", required=True, choices=sorted(SCENARIOS))
    arguments = parser.parse_args()
    global PROGRAM, SWAP_LOG, FAKE_TOUCH
    PROGRAM, SWAP_LOG, FAKE_TOUCH = arguments.program, arguments.swap_log, arguments.fake_touch
    compositor, scenario = SCENARIOS[arguments.scenario]
    with compositor() as running:
        scenario(running, running.session())
    print("%s: passed" % arguments.scenario)


if __name__ == "__main__":
    main()
