"""How much of the machine the running saver takes: frames a second, CPU cores, and the spread of
frame intervals, on the software renderer of a private display, beside the floor of any paced
full-screen frame there.

    saver_load.py --env ENVFILE --size 1280x720 [--scr tavrel.scr ...] [--native tavrel ...]
                  --floor floor_frame [--probe saver_probe.exe] [--seconds 15] [--warmup 15]
                  [--rates 100] [--display-off-only] [--header]

For each program and rate: the saver runs full screen at that rate, and after the warm-up the
frames are counted for --seconds from one timestamped line per buffer swap, and the CPU time of
the saver's processes is read from /proc (user plus system time). The Windows saver gets its rate
stored and its swaps come from Wine's own trace; the Linux program (--native) gets its rate as an
option, draws in the root window, and its swaps come from bench/libswap_log.so in its build
folder, loaded ahead of the GL library.

The floor program clears the colour buffer and swaps, paced as the saver paces, on the same kind
of drawable: the root window for the Linux program, and a full-screen window with the visual of
the Windows saver's own window for tavrel.scr. Each saver's row gives its cores over the floor's.

With --display-off-only the savers are measured where nobody can see them instead: the Windows
saver after the probe (--probe) has posted it the message that turns the display off, and the
Linux program in a window of its own that is then unmapped.

With --wayland (and no --env) each Linux program runs as tavrel --wayland on a headless sway of
--size instead (on the overlay layer, which sway offers), beside the floor program in the same
Wayland host (floor_frame --wayland); then as the resident saver (--idle) while it waits for the
session to be idle, and over CYCLES snowfalls, each started by the idle time and ended by a key
(wtype), with the resident memory (Rss) of its processes while it waits after the first and after
the last, beside swayidle's in the same run, and where the waiting saver's memory lies.
"""
import argparse
import os
import re
import statistics
import sys
import time

from saver_harness import Session, cpu_seconds, read_env

HEADER = "%-22s %9s %5s %8s %7s %7s %6s %9s %7s"
CYCLES = 20
ROW = "%-22s %9s %5s %8.1f %7.3f %7s %6s %9.1f %7.1f"


def wine_swap_time(line):
    """The timestamp of a buffer swap in Wine's trace ("<seconds>:...wglSwapBuffers..."), or None."""
    return line.split(":", 1)[0] if "wglSwapBuffers" in line else None


def native_swap_time(line):
    """The timestamp of a buffer swap that libswap_log.so printed ("glXSwapBuffers <seconds>" or
    "eglSwapBuffers <seconds> <surface> <size>")."""
    return line.split()[1] if line.startswith(("glXSwapBuffers ", "eglSwapBuffers ")) else None


def swap_times(path, start_line, swap_time):
    """Timestamps in seconds of the buffer swaps traced from line start_line on, and the number of
    lines read."""
    with open(path, encoding="utf-8", errors="replace") as trace:
        lines = trace.readlines()
    times = []
    for line in lines[start_line:]:
        stamp = swap_time(line)
        if stamp is not None:
            try:
                times.append(float(stamp))
            except ValueError:
                pass
    return times, len(lines)


class Bench:
    def __init__(self, session, arguments):
        self.session = session
        self.arguments = arguments
        self.tracefile = os.path.join(arguments.workdir, "swap-trace.txt")

    def measure(self, program, swap_time, settle=None):
        """Frames and cores of a running program over the measured seconds, then stops it;
        settle runs after the warm-up, before the count starts."""
        time.sleep(self.arguments.warmup)
        if settle is not None:
            settle()
            time.sleep(1)
        _, start_line = swap_times(self.tracefile, 0, swap_time)
        pids = program.processes()
        cpu_start, wall_start = cpu_seconds(pids), time.monotonic()
        time.sleep(self.arguments.seconds)
        cpu_end, wall_end = cpu_seconds(pids), time.monotonic()
        frames, _ = swap_times(self.tracefile, start_line, swap_time)
        program.stop()
        return frames, (cpu_end - cpu_start) / (wall_end - wall_start)

    def start_traced(self, *command, env):
        with open(self.tracefile, "w", encoding="utf-8") as trace:
            return self.session.start(*command, errors=trace, env=env)

    def native(self, program, *arguments, settle=None):
        swap_log = os.path.join(os.path.dirname(self.arguments.floor), "libswap_log.so")
        started = self.start_traced(program, *arguments, env={"LD_PRELOAD": swap_log})
        return self.measure(started, native_swap_time, settle)

    def wine(self, scr, rate, settle=None):
        self.session.store({"snowCountPerSecond": rate})
        self.session.move_mouse(0, 0)
        saver = self.start_traced("wine", scr, "/s", env={"WINEDEBUG": "+timestamp,trace+wgl"})
        return saver, lambda: self.measure(saver, wine_swap_time, settle)

    def saver_visual(self):
        """The X visual of the Windows saver's drawable: its window's deepest child, which is
        where Wine puts the OpenGL drawable when the window's own visual is not the one the
        pixel format asked for."""
        window = self.session.find_window(name="^ScreenSaver$", timeout=60)
        if window is None:
            raise AssertionError("the saver's window did not appear")
        while True:
            tree = self.session.run("xwininfo", "-children", "-id", window).stdout.decode()
            children = re.findall(r"^\s+(0x[0-9a-f]+) ", tree, re.MULTILINE)
            if not children:
                break
            window = children[0]
        info = self.session.run("xwininfo", "-id", window).stdout.decode()
        return re.search(r"Visual: (0x[0-9a-f]+)", info).group(1)

    def report(self, label, rate, frames, cores, floor_cores):
        intervals = sorted((b - a) * 1000.0 for a, b in zip(frames, frames[1:]))
        size = self.arguments.size
        ratio = "%.1fx" % (cores / floor_cores) if floor_cores else "-"
        floor = "%.3f" % floor_cores if floor_cores else "-"
        if not intervals:
            print(HEADER % (label, size, rate, "%.1f" % (len(frames) / self.arguments.seconds),
                            "%.3f" % cores, floor, ratio, "-", "-"))
            return
        p99 = intervals[min(len(intervals) - 1, int(0.99 * len(intervals)))]
        print(ROW % (label, size, rate, len(frames) / self.arguments.seconds, cores, floor, ratio,
                     statistics.median(intervals), p99))
        sys.stdout.flush()


def label_of(path, kind):
    """The program's kind and the checkout it was built in (CHECKOUT/build/PRESET/program)."""
    parts = os.path.abspath(path).split(os.sep)
    return kind + " " + (parts[-4] if len(parts) >= 4 else path)


def run_native(bench, program, rates):
    if bench.arguments.display_off_only:
        unmap = lambda: bench.session.run(
            "xdotool", "windowunmap", bench.session.find_window(name="^Tavrel$"))
        frames, cores = bench.native(program, "--rate", str(rates[0]), settle=unmap)
        bench.report(label_of(program, "native") + " unmapped", rates[0], frames, cores, None)
        return
    frames, floor = bench.native(bench.arguments.floor, "-root")
    bench.report("floor -root", "-", frames, floor, None)
    for rate in rates:
        frames, cores = bench.native(program, "-root", "--rate", str(rate))
        bench.report(label_of(program, "native"), rate, frames, cores, floor)


def run_wine(bench, scr, rates):
    if bench.arguments.display_off_only:
        if bench.arguments.probe:
            display_off = lambda: bench.session.probe_output("monitor", "2")
            _, measure = bench.wine(scr, rates[0], settle=display_off)
            frames, cores = measure()
            bench.report(label_of(scr, "wine") + " display off", rates[0], frames, cores, None)
        return
    visual = None
    for rate in rates:
        saver, measure = bench.wine(scr, rate)
        visual = visual or bench.saver_visual()
        frames, cores = measure()
        if rate == rates[0]:
            floor_frames, floor = bench.native(bench.arguments.floor, "-visual", visual)
            bench.report("floor -visual " + visual, "-", floor_frames, floor, None)
        bench.report(label_of(scr, "wine"), rate, frames, cores, floor)


def run_wayland(arguments, rates):
    """The Linux programs on a headless sway, seen and then hidden, beside the Wayland floor."""
    from wayland_harness import HeadlessSway
    size = tuple(int(side) for side in arguments.size.split("x"))
    swap_log = os.path.join(os.path.dirname(arguments.floor), "libswap_log.so")
    with HeadlessSway(size, programs=[arguments.floor, swap_log] + arguments.native) as sway:
        session = sway.session()
        labels = [label_of(native, "wayland") for native in arguments.native]
        arguments.floor = sway.copy(arguments.floor)
        bench = Bench(session, arguments)
        frames, floor = bench.native(arguments.floor, "--wayland")
        bench.report("floor --wayland", "-", frames, floor, None)
        for native, label in zip(arguments.native, labels):
            for rate in rates:
                frames, cores = bench.native(sway.copy(native), "--wayland", "--rate", str(rate))
                bench.report(label, rate, frames, cores, floor)
            run_resident(bench, session, sway.copy(native), label, rates[0])


def resident_kilobytes(pids):
    """Resident memory (Rss) of the processes, in kilobytes."""
    total = 0
    for pid in pids:
        with open("/proc/%d/smaps_rollup" % pid, encoding="utf-8") as rollup:
            total += int(re.search(r"^Rss:\s+(\d+)", rollup.read(), re.MULTILINE).group(1))
    return total


def resident_by_file(pid):
    """{mapped file, or [heap], [stack], [anon]: resident kilobytes} of one process."""
    sizes = {}
    name = "[anon]"
    with open("/proc/%d/smaps" % pid, encoding="utf-8") as smaps:
        for line in smaps:
            if re.match(r"^[0-9a-f]+-[0-9a-f]+ ", line):
                fields = line.split()
                name = os.path.basename(fields[5]) if len(fields) > 5 else "[anon]"
            elif line.startswith("Rss:"):
                sizes[name] = sizes.get(name, 0) + int(line.split()[1])
    return sizes


def print_breakdown(label, saver_pid, yardstick_pid):
    """Where the waiting saver's resident memory is, beside the idle daemon's: each mapping's
    kilobytes in both, the largest differences first."""
    mine, theirs = resident_by_file(saver_pid), resident_by_file(yardstick_pid)
    print("%s waiting, resident kilobytes by mapping (saver / swayidle):" % label)
    for name in sorted(set(mine) | set(theirs),
                       key=lambda name: theirs.get(name, 0) - mine.get(name, 0))[:14]:
        print("  %6d %6d  %s" % (mine.get(name, 0), theirs.get(name, 0), name))


def run_resident(bench, session, program, label, rate):
    """The resident saver waiting (an idle time longer than the count), then CYCLES snowfalls of
    an idle second each, ended by a key, with the resident memory of its processes while it waits
    after the first and after the last, beside swayidle's (an idle daemon that only waits) in the
    same run."""
    frames, cores = bench.native(program, "--wayland", "--idle", "3600", "--rate", str(rate))
    bench.report(label + " waiting", rate, frames, cores, None)
    swap_log = os.path.join(os.path.dirname(bench.arguments.floor), "libswap_log.so")
    yardstick = session.start("swayidle", "-w", "timeout", "3600", "true")
    saver = bench.start_traced(program, "--wayland", "--idle", "1", "--rate", str(rate),
                               env={"LD_PRELOAD": swap_log})
    memory = []
    for _ in range(CYCLES):
        _, seen = swap_times(bench.tracefile, 0, native_swap_time)
        deadline = time.monotonic() + 20
        while swap_times(bench.tracefile, seen, native_swap_time)[0] == [] and \
                time.monotonic() < deadline:
            time.sleep(0.1)
        time.sleep(0.5)
        session.type_text(None, "a")
        time.sleep(0.5)
        memory.append(resident_kilobytes(saver.processes()))
    idle_daemon = resident_kilobytes([yardstick.popen.pid])
    print("%s: resident memory while waiting %d KB after the first snowfall, %d KB after %d "
          "(%+d KB); swayidle %d KB: %.2fx after the first, %.2fx after the last" %
          (label, memory[0], memory[-1], CYCLES, memory[-1] - memory[0], idle_daemon,
           memory[0] / idle_daemon, memory[-1] / idle_daemon))
    print_breakdown(label, saver.popen.pid, yardstick.popen.pid)
    saver.stop()
    yardstick.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--env")
    parser.add_argument("--wayland", action="store_true")
    parser.add_argument("--size", required=True)
    parser.add_argument("--scr", action="append", default=[])
    parser.add_argument("--native", action="append", default=[])
    parser.add_argument("--floor", required=True)
    parser.add_argument("--probe")
    parser.add_argument("--display-off-only", action="store_true")
    parser.add_argument("--seconds", type=float, default=15.0)
    parser.add_argument("--warmup", type=float, default=15.0)
    parser.add_argument("--rates", default="100")
    parser.add_argument("--header", action="store_true")
    parser.add_argument("--workdir", default=".")
    arguments = parser.parse_args()
    rates = [int(rate) for rate in arguments.rates.split(",")]

    if arguments.header:
        print(HEADER % ("program", "size", "rate", "frames/s", "cores", "floor", "ratio",
                        "median ms", "p99 ms"))
    if arguments.wayland:
        run_wayland(arguments, rates)
        return 0
    with Session(read_env(arguments.env), None, arguments.probe) as session:
        bench = Bench(session, arguments)
        for native in arguments.native:
            run_native(bench, native, rates)
        for scr in arguments.scr:
            run_wine(bench, scr, rates)
        if arguments.scr:
            session.store({})
    return 0


if __name__ == "__main__":
    sys.exit(main())
