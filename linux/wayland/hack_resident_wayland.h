// The resident Wayland saver (--idle SECONDS): between snowfalls it holds only its connections,
// the compositor's and, on GNOME, the session bus's; each time the session has been idle for
// the time asked it snows on every output as the single snowfall does, until the close rules or
// the user's return by the idle source's word, and then lets the surfaces and the EGL context go.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "linux/wayland/hack_display_wayland.h"

class HackScene;

// Runs until a signal to stop (SIGTERM, SIGINT) or the end of the session (the compositor or the
// session bus closes the connection), answering true; false with a one-line reason when there is
// no compositor, no idle source, or EGL cannot draw. makeScene gives each snowfall a scene of
// its own.
bool runResidentWayland(WaylandHack& hack, std::uint32_t seconds,
                        const std::function<std::unique_ptr<HackScene>()>& makeScene,
                        std::string& error);
