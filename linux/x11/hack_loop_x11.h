// The Linux program's run loop: the window's events, one frame of the scene per pass paced to
// the display, no frames while nobody can see the window, and the close rules.
#pragma once

#include "linux/x11/hack_window_x11.h"

class HackScene;

// Runs frames until a signal to stop arrives (SIGTERM, SIGINT; see stopOnSignals), the window is
// destroyed or, in a window of its own, the user closes it or presses Escape or q. The scene is
// set up first, with the context current and one swap per refresh asked for. While the window is unmapped or wholly covered the loop draws
// nothing and sleeps until an X event or a signal.
void runHack(HackWindow& hack, HackScene& scene);

