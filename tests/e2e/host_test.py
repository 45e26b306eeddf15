"""The screen-saver host as Windows and the user meet it: the real tavrel.scr under Wine.

    host_test.py --env ENVFILE --scr TAVREL_SCR --probe SAVER_PROBE --scenario SCENARIO

Scenarios:
  quick_exits  /a and /x end with status 0 after creating the settings key; a preview whose
               handle names no window ends by itself
  fullscreen   /s shows "ScreenSaver" of class "WindowsScreenSaverClass" over the whole screen;
               a key ends it with status 0
  mouse        steps of 5 pixels leave it running, a jump of more than 5 ends it
  click        a click ends it
  preview      a child "Preview" fills the settings page's client area and ends with the page
  no_opengl    with Mesa kept from loading any driver: /p ends at once with status 1; /s keeps
               the whole screen black under its own window, no other window (no crash report)
               appears, and its debug output names the step that failed. (Under Wine the
               process's X connection does not survive Wine's failed OpenGL set-up, so keys no
               longer reach the saver there: the in-process tests end it with a key instead.)
"""
import tempfile
import time

from saver_harness import SCREEN_HEIGHT, SCREEN_WIDTH, black_pixels, check, run_scenario

EXIT_TIMEOUT = 15


def quick_exits(session):
    for switch in ("/a", "/x"):
        session.reg_delete()
        status = session.start_saver(switch, cursor=None).wait(EXIT_TIMEOUT)
        check(status == 0, "%s ended with status %s" % (switch, status))
        check(session.reg_key_exists(), "%s did not create the settings key" % switch)
    for line in (["/p", "0"], ["/p"], ["/p", "7777"]):
        status = session.start_saver(*line, cursor=None).wait(EXIT_TIMEOUT)
        check(status == 0, "%s did not end by itself with status 0: %s" % (line, status))


def start_fullscreen(session):
    saver = session.start_saver("/s")
    window = session.find_window(name="^ScreenSaver$")
    check(window is not None, "no window titled ScreenSaver appeared")
    # Give the saver time to take the first mouse-move message as its starting point.
    time.sleep(1.0)
    check(saver.running(), "the saver ended by itself")
    return saver, window


def fullscreen(session):
    saver, window = start_fullscreen(session)
    check(session.geometry(window) == (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT),
          "the window is at %s, not over the whole screen" % (session.geometry(window),))
    found = session.probe_output("find", "WindowsScreenSaverClass", "ScreenSaver")
    check(found == "0 0 %d %d" % (SCREEN_WIDTH, SCREEN_HEIGHT),
          "FindWindow of the saver's class and title answered %r" % found)
    session.key(window, "a")
    status = saver.wait(EXIT_TIMEOUT)
    check(status == 0, "a key did not end the saver with status 0: %s" % status)


def mouse(session):
    saver, _ = start_fullscreen(session)
    for _ in range(8):
        session.move_mouse_by(5, 0)
        time.sleep(0.15)
    session.move_mouse_by(0, -5)
    time.sleep(0.5)
    check(saver.running(), "steps of 5 pixels ended the saver")
    session.move_mouse_by(40, 40)
    status = saver.wait(EXIT_TIMEOUT)
    check(status == 0, "a jump of 80 pixels did not end the saver with status 0: %s" % status)


def click(session):
    saver, _ = start_fullscreen(session)
    session.click(1)
    status = saver.wait(EXIT_TIMEOUT)
    check(status == 0, "a click did not end the saver with status 0: %s" % status)


def preview(session):
    page = session.start_probe("parent", "320", "240", "5000")
    handle = page.readline(20)
    check(handle is not None and handle.isdigit(), "the settings page gave no handle: %r" % handle)
    saver = session.start_saver("/p", handle, cursor=None)
    child = page.readline(20)
    check(child == "child 0 0 320 240 Preview",
          "the preview does not fill the page's client area: %r" % child)
    check(saver.running(), "the preview ended while its page was open")
    # The page tells of the preview's window, made before the context was refused, then closes.
    lines = [page.readline(20), page.readline(20)]
    check("destroyed" in lines, "the settings page did not close: %r" % lines)
    status = saver.wait(EXIT_TIMEOUT)
    check(status == 0, "the preview did not end with its page (status %s)" % status)


NO_OPENGL = {"LIBGL_DRIVERS_PATH": "/nonexistent", "GALLIUM_DRIVER": "none",
             "WINEDEBUG": "-all,warn+debugstr"}


def no_opengl(session):
    page = session.start_probe("parent", "320", "240", "4000")
    handle = page.readline(20)
    check(handle is not None and handle.isdigit(), "the settings page gave no handle: %r" % handle)
    preview = session.start("wine", session.scr, "/p", handle, env=NO_OPENGL)
    status = preview.wait(EXIT_TIMEOUT)
    check(status == 1, "the preview without OpenGL ended with status %s, not 1" % status)
    # The page tells of the preview's window, made before the context was refused, then closes.
    lines = [page.readline(20), page.readline(20)]
    check("destroyed" in lines, "the settings page did not close: %r" % lines)
    with tempfile.TemporaryFile() as output:
        saver = session.start("wine", session.scr, "/s", env=NO_OPENGL, errors=output)
        window = session.find_window(name="^ScreenSaver$")
        check(window is not None, "no window titled ScreenSaver appeared")
        time.sleep(3)
        check(saver.running(), "the full screen ended by itself (status %s)" % saver.wait(0))
        check(session.geometry(window) == (0, 0, SCREEN_WIDTH, SCREEN_HEIGHT),
              "the window is at %s, not over the whole screen" % (session.geometry(window),))
        shot = session.screenshot()
        check(black_pixels(shot) == SCREEN_WIDTH * SCREEN_HEIGHT,
              "%d pixels of the screen are not black" % (SCREEN_WIDTH * SCREEN_HEIGHT -
                                                         black_pixels(shot)))
        names = session.run("xdotool", "search", "--onlyvisible", "--name", ".").stdout.split()
        titles = [session.run("xdotool", "getwindowname", name).stdout.decode().strip()
                  for name in names]
        check(titles == ["ScreenSaver"], "windows on the screen: %r" % titles)
        output.seek(0)
        said = output.read().decode(errors="replace")
        check("Tavrel: no OpenGL: ChoosePixelFormat failed" in said,
              "no debug line names the failed step: %r" % said[-400:])


SCENARIOS = {f.__name__: f for f in (quick_exits, fullscreen, mouse, click, preview, no_opengl)}


def main():
    run_scenario(SCENARIOS)


if __name__ == "__main__":
    main()
