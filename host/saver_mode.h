// The run modes a screen-saver command line selects. Portable: no operating-system header.
#pragma once

#include <cstdint>

enum SaverMode : std::int32_t {
    Fullscreen = 0,     // save the screen in a full-screen popup window
    Preview = 1,        // draw into a child of the window named on the command line
    ChangePassword = 2, // password change request: end at once
    Configure = 3,      // show the configuration dialog, then end
    Unknown = 4,        // unrecognised switch: end at once; also the mode of a new host
};
