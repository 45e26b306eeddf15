"""The settings dialog as a user meets it: `tavrel.scr /c` under Wine, driven by keys and clicks.

    dialog_test.py --env ENVFILE --scr TAVREL_SCR --probe SAVER_PROBE --scenario SCENARIO

From the dialog's first focus (OK) the Tab key reaches Cancel, the gravity box, the rate's edit
box and the transparency box, in that order. Every scenario ends the saver with status 0.

Scenarios:
  defaults  with nothing stored, or a stored rate of 0, a window titled "Dialog" (and no saver
            window) shows two clear boxes and the rate in effect, 100; Return at once stores 0,
            0 and 100
  typed     typing "250abc" into the rate stores 250
  boxes     ticking both boxes with the space bar stores 1 and 1
  cancel    Escape after ticking and typing leaves the stored values as they were
  stored    a stored rate of 500 is shown as "500"; Return stores 300
  close_box ticking a box, then clicking the caption's close box, stores nothing
  saver     gravity ticked in the dialog keeps the saver running under mouse movement, and
            Escape still ends it
"""
import time

from saver_harness import check, run_scenario

EXIT_TIMEOUT = 15
GRAVITY_BOX = 1001
RATE_EDIT = 1002
TRANSPARENT_BOX = 1003
SETTINGS = ("useGravity", "useTransparentFlakes", "snowCountPerSecond")


def stored_value(session, name):
    """A stored setting: its number for a REG_DWORD, (kind, data) for any other kind, None if
    absent."""
    found = session.reg_query(name)
    if found is not None and found[0] == "REG_DWORD":
        return int(found[1], 16)
    return found


def stored(session):
    return tuple(stored_value(session, name) for name in SETTINGS)


def open_dialog(session):
    saver = session.start_saver("/c", cursor=None)
    window = session.find_window(name="^Dialog$", timeout=60)
    check(window is not None, "no window titled Dialog appeared")
    return saver, window


def shown(session):
    """What the dialog shows: (gravity ticked, transparency ticked, rate text)."""
    lines = session.probe_output("items", "Dialog", str(GRAVITY_BOX), str(TRANSPARENT_BOX),
                                 str(RATE_EDIT)).splitlines()
    check(len(lines) == 3, "the dialog's controls could not be read: %r" % lines)
    gravity, transparent, rate = (line.partition(" ") for line in lines)
    return gravity[0] == "1", transparent[0] == "1", rate[2]


def ends_with_zero(saver, how):
    status = saver.wait(EXIT_TIMEOUT)
    check(status == 0, "%s did not end the dialog with status 0 (status %s)" % (how, status))


def run_dialog(session, *keys, text=None, how="Return"):
    """Opens the dialog, presses keys, types text if any, and ends it with how."""
    saver, window = open_dialog(session)
    if keys:
        session.key(window, *keys)
    if text is not None:
        session.type_text(window, text)
    session.key(window, how)
    ends_with_zero(saver, how)


def defaults(session):
    for before in ({}, {"snowCountPerSecond": 0}):
        session.store(before)
        saver, window = open_dialog(session)
        found = session.probe_output("find", "WindowsScreenSaverClass", "ScreenSaver")
        check(found == "none", "configure mode made a saver window: %s" % found)
        check(shown(session) == (False, False, "100"),
              "with %r stored the dialog shows %r" % (before, shown(session)))
        session.key(window, "Return")
        ends_with_zero(saver, "Return")
        check(stored(session) == (0, 0, 100),
              "OK at once on %r stored %r" % (before, stored(session)))


def typed(session):
    session.store({})
    run_dialog(session, "Tab", "Tab", "Tab", text="250abc")
    check(stored(session) == (0, 0, 250), "typing 250abc stored %r" % (stored(session),))


def boxes(session):
    session.store({})
    run_dialog(session, "Tab", "Tab", "space", "Tab", "Tab", "space")
    check(stored(session) == (1, 1, 100), "ticking both boxes stored %r" % (stored(session),))


def cancel(session):
    before = {"useGravity": 0, "useTransparentFlakes": 1, "snowCountPerSecond": 120}
    session.store(before)
    run_dialog(session, "Tab", "Tab", "space", "Tab", "Tab", "space", "shift+Tab",
               text="77", how="Escape")
    check(stored(session) == tuple(before.values()),
          "Escape changed the stored values to %r" % (stored(session),))


def stored_rate(session):
    session.store({"snowCountPerSecond": 500})
    saver, window = open_dialog(session)
    check(shown(session) == (False, False, "500"),
          "a stored 500 is shown as %r" % (shown(session),))
    session.key(window, "Return")
    ends_with_zero(saver, "Return")
    check(stored(session) == (0, 0, 300), "OK on a stored 500 stored %r" % (stored(session),))


def close_box(session):
    session.store({})
    session.draw_captions()
    saver, window = open_dialog(session)
    session.key(window, "Tab", "Tab", "space")
    point = session.probe_output("closebox", "Dialog").split()
    check(len(point) == 2, "the dialog has no close box: %r" % point)
    session.move_mouse(*point)
    session.click(1)
    ends_with_zero(saver, "the close box")
    check(stored(session) == (None, None, None),
          "the close box stored %r" % (stored(session),))


def saver_after_dialog(session):
    session.store({})
    run_dialog(session, "Tab", "Tab", "space")
    check(stored(session)[0] == 1, "ticking gravity stored %r" % (stored(session),))
    saver = session.start_saver("/s")
    window = session.find_window(name="^ScreenSaver$", timeout=60)
    check(window is not None, "the saver's window did not appear")
    time.sleep(1.5)
    for x, y in ((100, 100), (1200, 650), (640, 10), (900, 400)):
        session.move_mouse(x, y)
        time.sleep(0.2)
    time.sleep(1)
    check(saver.running(), "mouse movement ended the saver although gravity was ticked")
    session.key(window, "Escape")
    ends_with_zero(saver, "Escape")


SCENARIOS = {"defaults": defaults, "typed": typed, "boxes": boxes, "cancel": cancel,
             "stored": stored_rate, "close_box": close_box, "saver": saver_after_dialog}


def main():
    run_scenario(SCENARIOS)


if __name__ == "__main__":
    main()
