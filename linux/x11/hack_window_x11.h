// Somewhere to draw on X11: the display, the window the snow goes into (one of the program's
// own, the screen saver daemon's, one named by id, or the root window) and a GLX context on it.
#pragma once

#include <X11/Xlib.h>

#include <GL/glx.h>

#include <string>

#include "linux/hack_options.h"

struct HackWindow {
    Display* display = nullptr;
    Window window = 0;
    GLXContext context = nullptr;
    bool ownWindow = false;
    Atom deleteWindow = 0;  // the window manager's close request, for a window of its own
    int width = 0;
    int height = 0;
    // Whether anyone can see the window: it is mapped with every ancestor (viewable), and not
    // wholly covered by other windows. Kept by the run loop from the window's events.
    bool viewable = false;
    bool fullyObscured = false;
};

// Opens the display (the options' one, or DISPLAY's), finds or makes the window the options name
// and makes an OpenGL context with a double buffer current on it. Answers false with a one-line
// reason when there is no display, the named window does not exist, or its visual offers no
// OpenGL.
bool openHackWindow(const HackOptions& options, HackWindow& hack, std::string& error);

// The refresh rate the display reports in whole hertz, or 0 when it reports none.
int displayRefreshHertz(const HackWindow& hack);

// Whether an X request about the window failed since the last call: once the window is gone,
// drawing into it fails, and the program ends instead of drawing into nothing.
bool windowRequestFailed();

// Releases the context and closes the display; a window of its own goes with the display.
void closeHackWindow(HackWindow& hack);
