"""How much of the machine the running saver takes: frames a second, CPU cores, and the spread of
frame intervals, on the software renderer of a private display.

    saver_load.py --env ENVFILE --scr tavrel.scr [--scr OTHER.scr ...] [--seconds 15]
                  [--warmup 5] [--rates 100,300]

For each program and rate: the rate is stored, the saver runs full screen, and after the warm-up
the frames are counted for --seconds from Wine's own trace (one timestamped line per buffer swap)
and the CPU time of the saver's processes is read from /proc (user plus system time).
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


def swap_times(path, start_line):
    """Timestamps in seconds of the buffer swaps that Wine traced from line start_line on, and the
    number of lines read."""
    with open(path, encoding="utf-8", errors="replace") as trace:
        lines = trace.readlines()
    times = []
    for line in lines[start_line:]:
        if "wglSwapBuffers" in line:
            stamp = line.split(":", 1)[0]
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


def measure_wine(session, scr, rate, warmup, seconds, tracefile):
    """Frame times and cores used by one saver at one rate."""
    session.store({"snowCountPerSecond": rate})
    session.move_mouse(640, 360)
    with open(tracefile, "w", encoding="utf-8") as trace:
        saver = session.start("wine", scr, "/s", errors=trace,
                              env={"WINEDEBUG": "+timestamp,trace+wgl"})
    time.sleep(warmup)
    _, start_line = swap_times(tracefile, 0)
    pids = saver.processes()
    cpu_start, wall_start = cpu_seconds(pids), time.monotonic()
    time.sleep(seconds)
    cpu_end, wall_end = cpu_seconds(pids), time.monotonic()
    frames, _ = swap_times(tracefile, start_line)
    saver.stop()
    return frames, (cpu_end - cpu_start) / (wall_end - wall_start)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--env", required=True)
    parser.add_argument("--scr", action="append", required=True)
    parser.add_argument("--seconds", type=float, default=15.0)
    parser.add_argument("--warmup", type=float, default=5.0)
    parser.add_argument("--rates", default="100,300")
    parser.add_argument("--workdir", default=".")
    arguments = parser.parse_args()
    rates = [int(rate) for rate in arguments.rates.split(",")]

    print("%-24s %5s %8s %7s %10s %8s" % ("program", "rate", "frames/s", "cores",
                                          "median ms", "p99 ms"))
    with Session(read_env(arguments.env), arguments.scr[0]) as session:
        for scr in arguments.scr:
            # Named after the checkout the program was built in (CHECKOUT/build/windows/...).
            parts = os.path.abspath(scr).split(os.sep)
            label = "wine " + (parts[-4] if len(parts) >= 4 else scr)
            for rate in rates:
                tracefile = os.path.join(arguments.workdir, "wgl-trace.txt")
                frames, cores = measure_wine(session, scr, rate, arguments.warmup,
                                             arguments.seconds, tracefile)
                report(label, rate, frames, arguments.seconds, cores)
        session.store({})
    return 0


if __name__ == "__main__":
    sys.exit(main())
