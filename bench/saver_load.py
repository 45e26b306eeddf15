"""How much of the machine the running saver takes: frames a second, CPU cores, and the spread of
frame intervals, on the software renderer of a private display.

    saver_load.py --env ENVFILE --scr tavrel.scr [--scr OTHER.scr ...] [--native tavrel ...]
                  [--seconds 15] [--warmup 5] [--rates 100,300]

For each program and rate: the saver runs full screen at that rate, and after the warm-up the
frames are counted for --seconds from one timestamped line per buffer swap, and the CPU time of
the saver's processes is read from /proc (user plus system time). The Windows saver gets its rate
stored and its swaps come from Wine's own trace; the Linux program (--native) gets its rate as an
option, draws in the root window, and its swaps come from bench/libswap_log.so in its build
folder, loaded ahead of the GL library.
"""
import argparse
import os
import statistics
import sys
import time

from saver_harness import Session, read_env

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pids):
    """User plus system time of the processes, in seconds."""
    total = 0
    for pid in pids:
        try:
            with open("/proc/%d/stat" % pid, encoding="utf-8", errors="replace") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        # Fields 14 and 15 of the whole line; the split above starts at field 3.
        total += int(fields[11]) + int(fields[12])
    return total / CLOCK_TICKS


def wine_swap_time(line):
    """The timestamp of a buffer swap in Wine's trace ("<seconds>:...wglSwapBuffers..."), or None."""
    return line.split(":", 1)[0] if "wglSwapBuffers" in line else None


def native_swap_time(line):
    """The timestamp of a buffer swap that libswap_log.so printed ("glXSwapBuffers <seconds>")."""
    return line.split()[1] if line.startswith("glXSwapBuffers ") else None


def swap_times(path, start_line, swap_time=wine_swap_time):
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


def report(label, rate, frames, seconds, cores):
    intervals = sorted((b - a) * 1000.0 for a, b in zip(frames, frames[1:]))
    if not intervals:
        print("%-24s %5d  no frames" % (label, rate))
        return
    p99 = intervals[min(len(intervals) - 1, int(0.99 * len(intervals)))]
    print("%-24s %5d %8.1f %7.2f %10.1f %8.1f" % (
        label, rate, len(frames) / seconds, cores, statistics.median(intervals), p99))


def measure(saver, warmup, seconds, tracefile, swap_time):
    """Frame times and cores used by a running saver, then stops it."""
    time.sleep(warmup)
    _, start_line = swap_times(tracefile, 0, swap_time)
    pids = saver.processes()
    cpu_start, wall_start = cpu_seconds(pids), time.monotonic()
    time.sleep(seconds)
    cpu_end, wall_end = cpu_seconds(pids), time.monotonic()
    frames, _ = swap_times(tracefile, start_line, swap_time)
    saver.stop()
    return frames, (cpu_end - cpu_start) / (wall_end - wall_start)


def measure_wine(session, scr, rate, warmup, seconds, tracefile):
    """Frame times and cores used by one Windows saver at one rate."""
    session.store({"snowCountPerSecond": rate})
    session.move_mouse(640, 360)
    with open(tracefile, "w", encoding="utf-8") as trace:
        saver = session.start("wine", scr, "/s", errors=trace,
                              env={"WINEDEBUG": "+timestamp,trace+wgl"})
    return measure(saver, warmup, seconds, tracefile, wine_swap_time)


def measure_native(session, program, rate, warmup, seconds, tracefile):
    """Frame times and cores used by the Linux program at one rate, in the root window."""
    swap_log = os.path.join(os.path.dirname(program), "bench", "libswap_log.so")
    with open(tracefile, "w", encoding="utf-8") as trace:
        saver = session.start(program, "-root", "--rate", str(rate), errors=trace,
                              env={"LD_PRELOAD": swap_log})
    return measure(saver, warmup, seconds, tracefile, native_swap_time)


def label_of(path, kind):
    """The program's kind and the checkout it was built in (CHECKOUT/build/PRESET/program)."""
    parts = os.path.abspath(path).split(os.sep)
    return kind + " " + (parts[-4] if len(parts) >= 4 else path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--env", required=True)
    parser.add_argument("--scr", action="append", default=[])
    parser.add_argument("--native", action="append", default=[])
    parser.add_argument("--seconds", type=float, default=15.0)
    parser.add_argument("--warmup", type=float, default=5.0)
    parser.add_argument("--rates", default="100,300")
    parser.add_argument("--workdir", default=".")
    arguments = parser.parse_args()
    rates = [int(rate) for rate in arguments.rates.split(",")]

    print("%-24s %5s %8s %7s %10s %8s" % ("program", "rate", "frames/s", "cores",
                                          "median ms", "p99 ms"))
    programs = [(scr, "wine", measure_wine) for scr in arguments.scr] + \
        [(native, "native", measure_native) for native in arguments.native]
    with Session(read_env(arguments.env), None) as session:
        for program, kind, measure_one in programs:
            for rate in rates:
                tracefile = os.path.join(arguments.workdir, "swap-trace.txt")
                frames, cores = measure_one(session, program, rate, arguments.warmup,
                                            arguments.seconds, tracefile)
                report(label_of(program, kind), rate, frames, arguments.seconds, cores)
        if arguments.scr:
            session.store({})
    return 0


if __name__ == "__main__":
    sys.exit(main())
