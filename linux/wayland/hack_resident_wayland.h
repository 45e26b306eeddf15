// The resident Wayland saver (--idle SECONDS): a small supervisor that holds only its
// connections, the compositor's and, on GNOME, the session bus's, and never draws. Each time the
// session has been idle for the time asked it starts one snowfall, the program itself as a plain
// --wayland run in a process of its own, and ends it when the idle source says the user is back;
// a snowfall that fails is one line, and the saver waits for the next idle time.
#pragma once

#include <string>

#include "linux/hack_options.h"
#include "linux/wayland/hack_display_wayland.h"

// Runs until a signal to stop (SIGTERM, SIGINT) or the end of the session (the compositor or the
// session bus closes the connection), answering true; false with a one-line reason when there is
// no compositor or no idle source, or when snowfalls fail again and again.
bool runResidentWayland(WaylandHack& hack, const HackOptions& options, std::string& error);
