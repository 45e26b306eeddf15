// The screen-saver command line read into a run mode and, for the preview, the parent's handle.
// Portable: no operating-system header.
#pragma once

#include <cstdint>
#include <string>

#include "host/saver_mode.h"

struct SaverCommand {
    SaverMode mode;
    // The preview parent's window handle as a number; 0 when the mode is not Preview or the line
    // names no handle.
    std::int32_t parentHandle;
};

// Only the character after the switch character is examined, in either case: C (or nothing)
// configures, A changes the password, P or L previews into the window whose decimal handle
// follows the first blank, S saves full-screen; anything else is Unknown. An empty line
// configures.
SaverCommand parseSaverCommand(const std::string& commandLine);
