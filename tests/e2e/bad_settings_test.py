"""Settings stored by other means than the dialog, in kinds and values it never writes: the real
tavrel.scr under Wine.

    bad_settings_test.py --env ENVFILE --scr TAVREL_SCR --scenario SCENARIO

In every case all three settings are stored at once in one kind; /s then shows snow and ends on
Escape with status 0, and /c opens the dialog, whose OK (Return) stores each setting as a
REG_DWORD: the flags as 0 or 1, the rate within 10 to 300.

Scenarios:
  text            REG_SZ texts ("1", "true", "250 flakes"), and texts of four bytes with their
                  terminator ("yes", "off", "250"), which a number's four bytes would not tell
                  apart: read as nothing stored, so the saver runs on its defaults, the dialog
                  shows the rate in effect and OK stores 0, 0 and 100
  binary_byte     REG_BINARY of one byte: likewise nothing stored
  binary_8_bytes  REG_BINARY of eight bytes whose first four would read as 1, 1 and 300: likewise
                  nothing stored, not the first four bytes
  qword           REG_QWORD 1, 1 and 300: likewise nothing stored
  dword_extremes  REG_DWORD 0xFFFFFFFF (-1) and 0x7FFFFFFF: both turn the flags on (the mouse then
                  steers rather than ends the saver); the rates clamp to 10 and 300, the second
                  showing much more snow; OK stores 1, 1, 10 and 1, 1, 300
"""
import time

from saver_harness import check, run_scenario, snow_pixels

NAMES = ("useGravity", "useTransparentFlakes", "snowCountPerSecond")
NOTHING_STORED = (0, 0, 100)

# Name, kind, the three stored values in the order of NAMES, what OK stores in that order.
CASES = {
    "text": ("REG_SZ", ("1", "true", "250 flakes"), NOTHING_STORED),
    "four_byte_text": ("REG_SZ", ("yes", "off", "250"), NOTHING_STORED),
    "binary_byte": ("REG_BINARY", ("01", "01", "ff"), NOTHING_STORED),
    "binary_8_bytes": ("REG_BINARY", ("0100000000000000", "0100000000000000",
                                      "2c01000000000000"), NOTHING_STORED),
    "qword": ("REG_QWORD", ("1", "1", "300"), NOTHING_STORED),
    "all_ones": ("REG_DWORD", ("0xffffffff",) * 3, (1, 1, 10)),
    "largest": ("REG_DWORD", ("0x7fffffff",) * 3, (1, 1, 300)),
}

SCENARIOS = {
    "text": ["text", "four_byte_text"],
    "binary_byte": ["binary_byte"],
    "binary_8_bytes": ["binary_8_bytes"],
    "qword": ["qword"],
    "dword_extremes": ["all_ones", "largest"],
}

SNOW_SECONDS = 6
START_TIMEOUT = 60
EXIT_TIMEOUT = 20


def store_case(session, case):
    kind, values, _ = CASES[case]
    session.store(dict(zip(NAMES, values)), kind)


def saver_snow(session, case, mouse_steers):
    """Runs /s, counts the snow after a few seconds, checks whether a mouse jump ends it, and
    ends it on Escape."""
    saver = session.start_saver("/s")
    window = session.find_window(name="^ScreenSaver$", timeout=START_TIMEOUT)
    check(window is not None, "%s: the saver's window did not appear" % case)
    time.sleep(SNOW_SECONDS)
    snow = snow_pixels(session.screenshot())
    check(saver.running(), "%s: the saver ended by itself" % case)
    if mouse_steers:
        session.move_mouse_by(200, 100)
        time.sleep(1.0)
        check(saver.running(), "%s: the mouse ended the saver although it steers" % case)
    session.key(window, "Escape")
    status = saver.wait(EXIT_TIMEOUT)
    check(status == 0, "%s: Escape did not end the saver with status 0: %s" % (case, status))
    return snow


def dialog_stores(session, case):
    """Opens the dialog, presses OK and returns what it stored, in the order of NAMES."""
    saver = session.start_saver("/c", cursor=None)
    dialog = session.find_window(name="^Dialog$", timeout=START_TIMEOUT)
    check(dialog is not None, "%s: the dialog did not appear" % case)
    session.key(dialog, "Return")
    status = saver.wait(EXIT_TIMEOUT)
    check(status == 0, "%s: OK did not end the dialog with status 0: %s" % (case, status))
    stored = []
    for name in NAMES:
        found = session.reg_query(name)
        check(found is not None and found[0] == "REG_DWORD",
              "%s: OK left %s as %s, not a REG_DWORD" % (case, name, found))
        stored.append(int(found[1], 16))
    return tuple(stored)


def run_case(session, case):
    _, values, expected = CASES[case]
    store_case(session, case)
    snow = saver_snow(session, case, mouse_steers=expected[0] == 1)
    stored = dialog_stores(session, case)
    print("%s %s: %d snow pixels; OK stored %s" % (case, values, snow, stored))
    check(stored[0] in (0, 1) and stored[1] in (0, 1) and 10 <= stored[2] <= 300,
          "%s: OK stored unsound values %s" % (case, stored))
    check(stored == expected, "%s: OK stored %s, not %s" % (case, stored, expected))
    return snow


def run_cases(cases):
    """A scenario: the cases in turn, then what their snow says about the rate they ran at."""
    def scenario(session):
        snow = {case: run_case(session, case) for case in cases}
        if "all_ones" in snow:
            check(snow["all_ones"] > 0, "no snow at the lowest rate")
            check(snow["largest"] > 5 * snow["all_ones"],
                  "the largest rate does not show much more snow than -1")
        else:
            check(min(snow.values()) > 100, "no snow at the default rate")
    return scenario


def main():
    run_scenario({name: run_cases(cases) for name, cases in SCENARIOS.items()})


if __name__ == "__main__":
    main()
