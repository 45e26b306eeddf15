"""The saver left running: the real tavrel.scr full screen under Wine at 300 flakes per second.

    long_run_test.py --env ENVFILE --scr TAVREL_SCR --scenario SCENARIO

Scenarios:
  long_run    runs for TAVREL_LONG_RUN_SECONDS (180 by default), sampling the saver process's
              memory every few seconds: once the sky has filled (after 30 seconds) its private
              memory stays flat, growing by less than 4 MiB and with no steady upward trend;
              it never ends by itself, still draws moving snow at the end, and ends on Escape
              with status 0. Prints the memory figures.
  long_pause  the saver process is stopped for longer than a flake's life and then resumed, as
              when the machine wakes from sleep: its frame clock reports the whole pause in one
              frame, every flake melts at once, the sky fills again, and Escape ends it with
              status 0
"""
import os
import signal
import time

from saver_harness import check, run_scenario, snow_pixels

RATE = 300
SETTLE_SECONDS = 30
SAMPLE_SECONDS = 5
# Private memory may wander by allocator pages; a leak of even one small block per frame grows
# by many megabytes over minutes at several hundred frames a second.
GROWTH_LIMIT_KIB = 4 * 1024
PAUSE_SECONDS = 20
START_TIMEOUT = 60
EXIT_TIMEOUT = 20


def start(session):
    session.store({"snowCountPerSecond": RATE})
    saver = session.start_saver("/s")
    window = session.find_window(name="^ScreenSaver$", timeout=START_TIMEOUT)
    check(window is not None, "the saver's window did not appear")
    return saver, window


def saver_process(session, saver):
    """The id of the Wine process that runs tavrel.scr itself."""
    name = os.path.basename(session.scr).encode()
    for pid in saver.processes():
        try:
            with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
                if name in cmdline.read():
                    return pid
        except OSError:
            continue
    return None


def memory_kib(pid):
    """(resident, private) memory of a process in KiB: VmRSS and RssAnon."""
    values = {}
    with open("/proc/%d/status" % pid, encoding="utf-8") as status:
        for line in status:
            name, _, rest = line.partition(":")
            if name in ("VmRSS", "RssAnon"):
                values[name] = int(rest.split()[0])
    return values["VmRSS"], values["RssAnon"]


def slope_kib_per_minute(samples):
    """Least-squares slope of private memory over time."""
    times = [t for t, _, _ in samples]
    values = [private for _, _, private in samples]
    mean_t = sum(times) / len(times)
    mean_v = sum(values) / len(values)
    spread = sum((t - mean_t) ** 2 for t in times)
    return 60.0 * sum((t - mean_t) * (v - mean_v) for t, v in zip(times, values)) / spread


def end_on_escape(session, saver, window):
    session.key(window, "Escape")
    status = saver.wait(EXIT_TIMEOUT)
    check(status == 0, "Escape did not end the saver with status 0: %s" % status)


def long_run(session):
    seconds = int(os.environ.get("TAVREL_LONG_RUN_SECONDS", "180"))
    check(seconds > SETTLE_SECONDS + 6 * SAMPLE_SECONDS, "a run of %d seconds is too short" % seconds)
    saver, window = start(session)
    pid = saver_process(session, saver)
    check(pid is not None, "no process runs tavrel.scr")
    began = time.monotonic()
    samples = []
    while time.monotonic() - began < seconds:
        check(saver.running(), "the saver ended by itself after %.0f s" % (time.monotonic() - began))
        resident, private = memory_kib(pid)
        samples.append((time.monotonic() - began, resident, private))
        print("%6.0f s  resident %7d KiB  private %7d KiB" % samples[-1], flush=True)
        time.sleep(SAMPLE_SECONDS)
    first = session.screenshot()
    time.sleep(1)
    second = session.screenshot()
    check(saver.running(), "the saver ended by itself at the end of the run")
    end_on_escape(session, saver, window)

    settled = [sample for sample in samples if sample[0] >= SETTLE_SECONDS]
    base = settled[0][2]
    peak = max(private for _, _, private in settled)
    slope = slope_kib_per_minute(settled)
    print("private memory: start %d KiB, after %d s %d KiB, end %d KiB, max %d KiB; "
          "trend %+.1f KiB per minute" % (samples[0][2], SETTLE_SECONDS, base, settled[-1][2],
                                          peak, slope))
    print("resident memory: start %d KiB, after %d s %d KiB, end %d KiB, max %d KiB"
          % (samples[0][1], SETTLE_SECONDS, settled[0][1], settled[-1][1],
             max(resident for _, resident, _ in settled)))
    flakes = snow_pixels(first)
    print("snow pixels at the end: %d" % flakes)
    check(peak - base < GROWTH_LIMIT_KIB, "private memory grew by %d KiB" % (peak - base))
    minutes = (settled[-1][0] - settled[0][0]) / 60.0
    check(slope * minutes < GROWTH_LIMIT_KIB / 2,
          "private memory trends upward by %.1f KiB per minute" % slope)
    check(flakes > 1000, "little snow at the end of the run: %d pixels" % flakes)
    check(first != second, "the snow no longer moves at the end of the run")


def long_pause(session):
    saver, window = start(session)
    time.sleep(10)
    before = snow_pixels(session.screenshot())
    saver.signal(signal.SIGSTOP)
    time.sleep(PAUSE_SECONDS)
    saver.signal(signal.SIGCONT)
    time.sleep(0.5)
    melted = snow_pixels(session.screenshot())
    time.sleep(10)
    again = snow_pixels(session.screenshot())
    print("snow pixels: %d before a pause of %d s, %d just after it, %d ten seconds later"
          % (before, PAUSE_SECONDS, melted, again))
    check(saver.running(), "the saver ended after the pause")
    end_on_escape(session, saver, window)
    check(before > 1000, "little snow before the pause: %d pixels" % before)
    check(melted < before // 10, "the flakes did not melt over the pause")
    check(again > before // 3, "the sky did not fill again after the pause")


SCENARIOS = {f.__name__: f for f in (long_run, long_pause)}


def main():
    run_scenario(SCENARIOS)


if __name__ == "__main__":
    main()
