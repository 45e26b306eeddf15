"""DLLs planted where a careless program would look for its own are never loaded: copies of a
marker DLL named glu32.dll and opengl32.dll lie beside a copy of tavrel.scr and in the current
directory it is started from. A marker DLL that is loaded leaves a file NAME.loaded beside itself.
Windows loads the first file of a DLL's name that its search finds; Wine, asked by one of its own
DLLs (gdi32 loads opengl32 for the pixel format), would take its built-in copy instead, so the
saver runs with Wine told to prefer a file it finds, as Windows does.

    planted_dlls_test.py --env ENVFILE --scr TAVREL_SCR --probe SAVER_PROBE --marker MARKER_DLL
                         --scenario SCENARIO

Scenarios (each first shows, through rundll32, that a loaded marker leaves its file):
  quick_exit  /a ends with status 0
  fullscreen  /s snows and ends on Escape with status 0
  dialog      /c shows the dialog and ends on Escape with status 0
  preview     /p draws its child in a settings page and ends with the page
"""
import os
import shutil
import tempfile

from saver_harness import check, run_scenario, snows_until_escape, windows_path

PLANTED_NAMES = ("glu32.dll", "opengl32.dll")
EXIT_TIMEOUT = 15


def markers(folders):
    return [os.path.join(folder, name) for folder in folders for name in os.listdir(folder)
            if name.endswith(".loaded")]


def marker_works(session, folder):
    control = os.path.join(folder, "control")
    os.mkdir(control)
    dll = os.path.join(control, "marker.dll")
    shutil.copy(session.arguments.marker, dll)
    session.run("wine", "rundll32", windows_path(dll) + ",Mark")
    check(markers([control]) == [dll + ".loaded"], "the marker DLL leaves no file when loaded")


def planted(session, run_mode):
    """Plants the marker DLLs, runs run_mode(session, current directory) on a copy of the saver
    beside them, and checks that no marker was left."""
    with tempfile.TemporaryDirectory(dir=os.path.dirname(os.path.abspath(session.arguments.env))) \
            as scratch:
        marker_works(session, scratch)
        program = os.path.join(scratch, "program")
        current = os.path.join(scratch, "current")
        for folder in (program, current):
            os.mkdir(folder)
            for name in PLANTED_NAMES:
                shutil.copy(session.arguments.marker, os.path.join(folder, name))
        session.env["WINEDLLOVERRIDES"] += ";%s=n,b" % ",".join(
            name[:-len(".dll")] for name in PLANTED_NAMES)
        session.scr = os.path.join(program, "tavrel.scr")
        shutil.copy(session.arguments.scr, session.scr)
        try:
            run_mode(session, current)
        finally:
            loaded = markers([program, current])
            check(not loaded, "planted DLLs were loaded: %s" % loaded)


def quick_exit(session, current):
    status = session.start_saver("/a", cursor=None, cwd=current).wait(EXIT_TIMEOUT)
    check(status == 0, "/a ended with status %s" % status)


def fullscreen(session, current):
    snows_until_escape(session, session.start_saver("/s", cwd=current))


def dialog(session, current):
    saver = session.start_saver("/c", cursor=None, cwd=current)
    window = session.find_window(name="^Dialog$", timeout=60)
    check(window is not None, "no window titled Dialog appeared")
    session.key(window, "Escape")
    status = saver.wait(EXIT_TIMEOUT)
    check(status == 0, "Escape did not end the dialog with status 0 (status %s)" % status)


def preview(session, current):
    page = session.start_probe("parent", "320", "240", "4000")
    handle = page.readline(20)
    check(handle is not None and handle.isdigit(), "the settings page gave no handle: %r" % handle)
    saver = session.start_saver("/p", handle, cursor=None, cwd=current)
    child = page.readline(20)
    check(child is not None and child.startswith("child "), "no preview child: %r" % child)
    check(page.readline(20) == "destroyed", "the settings page did not close")
    status = saver.wait(EXIT_TIMEOUT)
    check(status == 0, "the preview did not end with its page (status %s)" % status)


SCENARIOS = {f.__name__: (lambda session, mode=f: planted(session, mode))
             for f in (quick_exit, fullscreen, dialog, preview)}


def main():
    run_scenario(SCENARIOS, extra=lambda parser: parser.add_argument("--marker", required=True))


if __name__ == "__main__":
    main()
