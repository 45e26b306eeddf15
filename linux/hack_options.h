// The Linux program's command line, in the manner of xscreensaver's hacks: where to draw, and
// the snow's settings as options. Portable: no operating-system header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class HackTarget {
    OwnWindow,    // a window of its own, for trying the snow out
    NamedWindow,  // a window someone else made: the screen-saver daemon's, or one given by id
    Root,         // the root window of the screen
};

struct HackOptions {
    HackTarget target = HackTarget::OwnWindow;
    unsigned long windowId = 0;  // the window to draw in when target is NamedWindow
    std::string display;         // the X display to open; empty for DISPLAY's
    std::int32_t rate = 100;     // flakes a second as given; the scene holds it to its bounds
    bool transparent = false;
    bool gravity = false;
    bool wayland = false;  // full screen on every output of the Wayland compositor instead of X11
    std::uint32_t idleSeconds = 0;  // with wayland: resident, snowing after this long idle; 0: not
    // One snowfall that a resident saver started: the session's end is no failure for it either.
    bool residentSnowfall = false;
    bool help = false;
    std::string error;  // one line saying what was wrong; empty when the line was understood
};

// Reads the arguments that follow the program's name. Every option may start with one dash or
// two: -root, -window, -window-id ID (decimal, or hexadecimal after 0x), -display NAME, -rate N
// (a whole number), -transparent, -gravity, -wayland, -idle SECONDS, -help; -rate, -window-id,
// -display and -idle also take their value after '='.
// screensaverWindow is the XSCREENSAVER_WINDOW environment variable (null when unset): the
// daemon's window, drawn in instead of the root window, and also when no target is given; an
// explicit -window or -window-id wins over it. With -wayland the X11 targets mean nothing and the
// variable is not read; -gravity is refused there, since Wayland lets no client put the pointer
// back, which the steering needs. -idle is refused without -wayland. -resident-snowfall, which
// the resident saver gives its snowfalls and the usage does not list, needs -wayland and no -idle.
HackOptions parseHackOptions(const std::vector<std::string>& arguments,
                             const char* screensaverWindow);

// The command line of one snowfall of the resident saver: a plain --wayland run with the same
// snow, which the resident saver starts as a process of its own each time the session is idle.
std::vector<std::string> residentSnowfallArguments(const HackOptions& options);

// The usage text that --help prints and that follows the error line of a bad command line.
const char* hackUsage();
