// The resident saver's idle source, the first the session offers: the compositor's
// ext-idle-notify-v1 (which honours its idle inhibitors, a video playing), else KDE's older
// org_kde_kwin_idle (Debian 12's sway and other wlroots compositors of its age), else GNOME's idle
// monitor on the session bus.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "linux/wayland/hack_display_wayland.h"
#include "linux/wayland/idle_source.h"

// Asks for word after seconds without input on the hack's first seat; answers null with a
// one-line reason where the session offers none of the three.
std::unique_ptr<IdleSource> openIdleSource(WaylandHack& hack, std::uint32_t seconds,
                                           std::string& error);
