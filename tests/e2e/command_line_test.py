"""The command lines Windows, a settings page or a user may hand tavrel.scr, under Wine.

    command_line_test.py --env ENVFILE --scr TAVREL_SCR --probe SAVER_PROBE --echo ECHO
                         --scenario SCENARIO

Every line is handed over byte for byte by the probe, which starts the program with exactly that
command line, as Windows does (a Unix command line through wine would quote lines with blanks
and re-encode bytes of 0x80 and above).

Scenarios:
  delivery    a program that starts like the saver receives every line of the table unchanged
  quick_exits the change-password switch, unknown switches (bytes of 0x80 and above among them)
              and previews whose handle names no window end by themselves with status 0
  fullscreen  /S, -s and "/s extra words" show "ScreenSaver" over the whole screen, and Escape
              ends it with status 0
  dialog      an empty line, a lone switch character, a lone "s" and the configure switch with
              anything after it show "Dialog", and Escape ends it with status 0
"""
import time

from saver_harness import SCREEN_HEIGHT, SCREEN_WIDTH, check, run_scenario

EXITS, FULLSCREEN, DIALOG = "exits", "fullscreen", "dialog"

# Each line and what the saver does with it: only the character after the switch character
# counts, in either case.
LINES = [
    (b"", DIALOG),
    (b"/", DIALOG),
    (b"-", DIALOG),
    (b"s", DIALOG),
    (b"/c", DIALOG),
    (b"/c:123", DIALOG),
    (b"/C 77", DIALOG),
    (b"/S", FULLSCREEN),
    (b"-s", FULLSCREEN),
    (b"/s extra words", FULLSCREEN),
    (b"/a", EXITS),
    (b"/x", EXITS),
    (b"/\x80", EXITS),
    (b"/\xe9", EXITS),
    (b"/\xff", EXITS),
    (b"/p", EXITS),
    (b"/p ", EXITS),
    (b"/p abc", EXITS),
    (b"/p -5", EXITS),
    (b"/p 99999999999999", EXITS),
]

START_TIMEOUT = 30
EXIT_TIMEOUT = 15


def lines(outcome):
    return [line for line, expected in LINES if expected == outcome]


def delivery(session):
    probe = session.launch_exact(session.arguments.echo, [line for line, _ in LINES], 15000)
    for line, _ in LINES:
        echoed = probe.readline(START_TIMEOUT)
        check(echoed == "line " + line.hex(), "%r arrived as %r" % (line, echoed))
        check(probe.readline(START_TIMEOUT) == "exit 0", "the echo of %r did not end" % line)


def quick_exits(session):
    probe = session.launch_exact(session.scr, lines(EXITS), EXIT_TIMEOUT * 1000)
    for line in lines(EXITS):
        outcome = probe.readline(EXIT_TIMEOUT + START_TIMEOUT)
        print("%r: %s" % (line, outcome))
        check(outcome == "exit 0", "%r did not end by itself with status 0: %s" % (line, outcome))


def shows_and_ends_on_escape(session, line, title, expected_geometry=None):
    """Starts the saver with the line, waits for the window of that title, presses Escape and
    returns the exit status the probe reports."""
    probe = session.launch_exact(session.scr, [line], (START_TIMEOUT + EXIT_TIMEOUT) * 1000)
    window = session.find_window(name="^%s$" % title, timeout=START_TIMEOUT)
    check(window is not None, "%r showed no window titled %s" % (line, title))
    if expected_geometry is not None:
        geometry = session.geometry(window)
        check(geometry == expected_geometry, "%r: the window is at %s" % (line, geometry))
    # The full-screen saver takes its first mouse-move message as the starting point.
    time.sleep(1.0)
    session.key(window, "Escape")
    outcome = probe.readline(START_TIMEOUT + EXIT_TIMEOUT)
    print("%r: %s, then %s on Escape" % (line, title, outcome))
    check(outcome == "exit 0", "%r did not end on Escape with status 0: %s" % (line, outcome))
    check(probe.wait(EXIT_TIMEOUT) == 0, "the probe did not end")


def fullscreen(session):
    for line in lines(FULLSCREEN):
        shows_and_ends_on_escape(session, line, "ScreenSaver", (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT))


def dialog(session):
    for line in lines(DIALOG):
        shows_and_ends_on_escape(session, line, "Dialog")


SCENARIOS = {f.__name__: f for f in (delivery, quick_exits, fullscreen, dialog)}


def main():
    run_scenario(SCENARIOS, lambda parser: parser.add_argument("--echo", required=True))


if __name__ == "__main__":
    main()
