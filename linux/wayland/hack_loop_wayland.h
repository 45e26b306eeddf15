// The Wayland host's run loop: one sky over every output, each output's surface drawn when the
// compositor asks for its next frame, nothing drawn while it asks for none, and the close rules.
#pragma once

#include <string>

#include "linux/wayland/hack_display_wayland.h"

class HackScene;

struct pollfd;
class ScreenShield;

// Runs frames until a signal to stop arrives (SIGTERM, SIGINT; see stopOnSignals), input ends
// the saver, the compositor closes a window, another window takes the keys (or the compositor
// leaves the full-screen windows unactivated a second after their first frame), the desktop's
// shield comes up (or is up already: nothing is drawn then), or every surface is gone;
// answers false with a one-line reason when the connection to the compositor is lost
// (hack.connectionLost) or EGL cannot draw. The scene is set up with the first surface's context
// current and one swap per frame asked for, in the shape of the box around the outputs, and
// follows that shape as outputs come and go.
bool runWaylandHack(WaylandHack& hack, HackScene& scene, ScreenShield& shield, std::string& error);

// Sends what is queued for the compositor and sleeps until it sends something, one of the other
// descriptors watched (also, alsoCount of them; their revents are set) is ready, a stop signal
// comes or timeoutMilliseconds pass (-1: no limit), then handles what the compositor sent.
// Answers false when the connection is lost.
bool waitForWaylandEvents(WaylandHack& hack, pollfd* also = nullptr, int alsoCount = 0,
                          int timeoutMilliseconds = -1);
