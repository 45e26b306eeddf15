// The Wayland host's run loop: one sky over every output, each output's surface drawn when the
// compositor asks for its next frame, nothing drawn while it asks for none, and the close rules.
#pragma once

#include <string>

#include "linux/wayland/hack_display_wayland.h"

class HackScene;

// Runs frames until a signal to stop arrives (SIGTERM, SIGINT; see stopOnSignals), input ends
// the saver, the compositor closes a window or takes its focus, every surface is gone, or the
// hack's idle source says the user is active again; answers false with a one-line reason when the
// connection to the compositor is lost (hack.connectionLost) or EGL cannot draw. The scene is set up with the first
// surface's context current and one swap per frame asked for, in the shape of the box around the
// outputs, and follows that shape as outputs come and go.
bool runWaylandHack(WaylandHack& hack, HackScene& scene, std::string& error);

// Sends what is queued for the compositor and sleeps until it or the hack's idle source sends
// something or a stop signal comes, then handles what came. Answers false when the connection or
// the idle source is lost.
bool waitForWaylandEvents(WaylandHack& hack);
