// GNOME Shell's overview, left through its OverviewActive property.
#include "linux/wayland/gnome_overview.h"

#include "linux/wayland/session_bus.h"

namespace {

// Asked just before the windows are made: a shell that is slow to answer does not hold them up
// long.
const std::uint64_t timeoutMicroseconds = 500000;

} // namespace

void leaveGnomeOverview(sd_bus* bus)
{
    if (bus == nullptr)
        return;
    BusMessage call, reply;
    BusError error;
    int result = sd_bus_message_new_method_call(bus, &call.value, "org.gnome.Shell",
                                                "/org/gnome/Shell",
                                                "org.freedesktop.DBus.Properties", "Set");
    if (result >= 0)
        result = sd_bus_message_append(call.value, "ssv", "org.gnome.Shell", "OverviewActive",
                                       "b", 0);
    if (result >= 0)
        callWithin(bus, call, timeoutMicroseconds, error, reply);
}
