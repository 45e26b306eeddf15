// GNOME Shell's overview, which it opens at login and at the Super key: a window mapped while it
// is open becomes one of its thumbnails, keys go to its search field, and the window never gets
// the focus. The shell lets a client of the session bus leave it, as Escape does.
#pragma once

#include <systemd/sd-bus.h>

// Asks GNOME Shell to leave its overview, if it is open; elsewhere (no shell on the bus) it does
// nothing.
void leaveGnomeOverview(sd_bus* bus);
