"""GNOME's mutter 43, headless (one virtual monitor, no X11, no input devices), on a D-Bus
session bus of its own, in the manner of wayland_harness.HeadlessSway: a folder of its own with
its XDG_RUNTIME_DIR, as user 65534 when the tests run as root (mutter itself would run as root,
but its clients could then not reach its sockets), every process stopped by its own id when it
closes. With MUTTER_DEBUG_RESET_IDLETIME=1 its idle monitor offers ResetIdletime, which acts as
a user's input would. The monitor answers as soon as mutter has taken its name on the bus, a
quarter of a second after the start here.

    with HeadlessMutter(programs=[PROGRAM]) as mutter:
        saver = mutter.session().start(mutter.copy(PROGRAM), "--wayland", "--idle", "2")
        mutter.reset_idletime()
"""
import os

from compositors import CompositorSession, start_session_bus, wayland_socket
from saver_harness import check
from wayland_harness import PrivateCompositor

MONITOR = ("--dest", "org.gnome.Mutter.IdleMonitor", "--object-path",
           "/org/gnome/Mutter/IdleMonitor/Core")


class HeadlessMutter(PrivateCompositor):
    """Mutter with one virtual monitor of the given size, on dbus-daemon --session listening in
    the runtime folder; its clients get WAYLAND_DISPLAY and DBUS_SESSION_BUS_ADDRESS."""

    PREFIX = "tavrel-mutter-"

    def __init__(self, size=(1280, 720), programs=()):
        super().__init__(programs)
        self.size = size

    def launch(self, env, runtime):
        self.client_session = CompositorSession(env)
        start_session_bus(self, env, runtime)
        with open(os.path.join(self.folder, "mutter.log"), "w", encoding="utf-8") as log:
            mutter = self.client_session.start(
                "mutter", "--headless", "--wayland", "--no-x11", "--virtual-monitor",
                "%dx%d" % self.size, errors=log, env={"MUTTER_DEBUG_RESET_IDLETIME": "1"})
        self.wait_for(mutter, lambda: self.idle_milliseconds() is not None,
                      "mutter's idle monitor")
        env.update(WAYLAND_DISPLAY=self.wait_for(mutter, lambda: wayland_socket(runtime),
                                                 "mutter's socket"))

    def call(self, *arguments):
        """gdbus call --session with the arguments; answers the completed process."""
        return self.client_session.run("gdbus", "call", "--session", *arguments, timeout=20)

    def idle_milliseconds(self):
        """How long the session has been idle as mutter says, or None while it does not say."""
        ran = self.call(*MONITOR, "--method", "org.gnome.Mutter.IdleMonitor.GetIdletime")
        if ran.returncode != 0:
            return None
        return int(ran.stdout.decode().strip("(),\n ").split()[-1])

    def reset_idletime(self):
        """Acts as a user's input would: the session is no longer idle."""
        ran = self.call(*MONITOR, "--method", "org.gnome.Mutter.IdleMonitor.ResetIdletime")
        check(ran.returncode == 0, "ResetIdletime: %s" % ran.stderr.decode(errors="replace"))
