// The rules by which the user's input ends the saver, apart from the window that receives it.
// Portable: no operating-system header.
#pragma once

#include "host/saver_mode.h"

// Mouse movement between two consecutive mouse-move messages that ends the saver: more than this
// many pixels, counted along x plus along y.
constexpr int mouseMoveTolerance = 5;

// Whether input ends the saver. Escape always does; other input only when the saver was not told
// to keep running. A preview is a picture inside the settings page, so no input there ends it.
bool inputEndsSaver(SaverMode mode, bool keepRunningOnInput, bool escapeKey);

// Whether the mouse moved from (previousX, previousY) to (x, y) by more than the tolerance.
bool mouseJumped(int previousX, int previousY, int x, int y);
