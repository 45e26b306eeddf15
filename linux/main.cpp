// The entry point of the Linux program: reads the command line, finds somewhere to draw, and
// snows until told to stop: on X11, or with --wayland as a screen saver of its own on every output
// of the Wayland compositor, or with --idle as a resident one that snows whenever the session is
// idle, each snowfall the program itself again in a process of its own. Status 0 on every end the program takes itself; 1 for a command line it cannot follow, a
// display it cannot draw on, or a compositor that goes away (quietly 0 for the resident saver,
// whose session has ended).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "linux/hack_options.h"
#include "linux/stop_signals.h"
#include "linux/wayland/hack_display_wayland.h"
#include "linux/wayland/hack_loop_wayland.h"
#include "linux/wayland/hack_resident_wayland.h"
#include "linux/wayland/screen_shield.h"
#include "linux/x11/hack_loop_x11.h"
#include "linux/x11/hack_window_x11.h"
#include "scene/tavrel_hack.h"

namespace {

int runOnWayland(const HackOptions& options)
{
    WaylandHack hack;
    std::string error;
    bool ran = false;
    if (options.idleSeconds > 0) {
        ran = runResidentWayland(hack, options, error);
    } else if (openWaylandHack(hack, error)) {
        ScreenShield shield;
        shield.open();
        // A screen saver of its own: input ends it, so the mouse steers nothing.
        TavrelHack scene(options, false);
        ran = runWaylandHack(hack, scene, shield, error);
    }
    // The session's end is no failure for a resident saver's snowfall: the saver ends quietly
    // then, and so does its snowfall.
    const bool sessionEnded = options.residentSnowfall && hack.connectionLost;
    closeWaylandHack(hack);
    if (!ran && !sessionEnded)
        std::fprintf(stderr, "tavrel: %s\n", error.c_str());
    return ran || sessionEnded ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const HackOptions options = parseHackOptions(arguments, std::getenv("XSCREENSAVER_WINDOW"));
    if (options.help) {
        std::fputs(hackUsage(), stdout);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "tavrel: %s\n%s", options.error.c_str(), hackUsage());
        return 1;
    }
    // Set before the display opens, so that a stop during start-up still ends quietly.
    stopOnSignals();
    if (options.wayland)
        return runOnWayland(options);
    HackWindow hack;
    std::string error;
    if (!openHackWindow(options, hack, error)) {
        std::fprintf(stderr, "tavrel: %s\n", error.c_str());
        closeHackWindow(hack);
        return 1;
    }
    TavrelHack scene(options, hack.ownWindow);
    runHack(hack, scene);
    closeHackWindow(hack);
    return 0;
}
