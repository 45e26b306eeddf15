// The desktop's screen shield or locker, followed on the session bus.
#include "linux/wayland/screen_shield.h"

#include <cstring>
#include <vector>

#include "linux/wayland/session_bus.h"

namespace {

struct Shield {
    // The services that answer for it, asked in turn: GNOME Shell 43 answers as
    // org.gnome.Shell.ScreenShield itself; org.gnome.ScreenSaver, which the shell answered as
    // before, is now a stand-in that speaks for it, started on demand (which a saver that only
    // asks does not do).
    std::vector<const char*> names;
    const char* path;        // where it answers
    const char* signalPath;  // where it signals; null for anywhere
    const char* interface;
};

const Shield gnomeShield = {{"org.gnome.Shell.ScreenShield", "org.gnome.ScreenSaver"},
                            "/org/gnome/ScreenSaver",
                            "/org/gnome/ScreenSaver",
                            "org.gnome.ScreenSaver"};
// KDE Plasma's locker answers at /ScreenSaver and at /org/freedesktop/ScreenSaver, and signals
// on both.
const Shield freedesktopShield = {{"org.freedesktop.ScreenSaver"},
                                  "/ScreenSaver",
                                  nullptr,
                                  "org.freedesktop.ScreenSaver"};

// Asked as a snowfall starts: a shell that is slow to answer must not hold the snow up long.
const std::uint64_t askTimeoutMicroseconds = 500000;

// Whether the shield answers that it is up; a service that is not there is not.
bool askActive(sd_bus* bus, const Shield& shield)
{
    for (const char* name : shield.names) {
        BusMessage call, reply;
        BusError error;
        int result = sd_bus_message_new_method_call(bus, &call.value, name, shield.path,
                                                    shield.interface, "GetActive");
        if (result >= 0)
            result = callWithin(bus, call, askTimeoutMicroseconds, error, reply);
        int active = 0;
        if (result >= 0 && sd_bus_message_read(reply.value, "b", &active) > 0)
            return active != 0;
    }
    return false;
}

// Follows the shield's ActiveChanged from whichever service sends it.
int follow(sd_bus* bus, sd_bus_slot** slot, const Shield& shield,
           sd_bus_message_handler_t handler, void* data)
{
    return sd_bus_match_signal(bus, slot, nullptr, shield.signalPath, shield.interface,
                               "ActiveChanged", handler, data);
}

} // namespace

ScreenShield::~ScreenShield()
{
    close();
}

void ScreenShield::open()
{
    if (sd_bus_open_user(&connection) < 0) {
        connection = nullptr;
        return;
    }
    // Subscribed before asking, so that a shield that comes up in between is not missed.
    if (follow(connection, &gnomeSlot, gnomeShield, onActiveChanged, this) < 0 ||
        follow(connection, &freedesktopSlot, freedesktopShield, onActiveChanged, this) < 0) {
        close();
        return;
    }
    gnomeUp = askActive(connection, gnomeShield);
    freedesktopUp = askActive(connection, freedesktopShield);
}

int ScreenShield::onActiveChanged(sd_bus_message* signal, void* data, sd_bus_error*)
{
    ScreenShield& shield = *static_cast<ScreenShield*>(data);
    int active = 0;
    if (sd_bus_message_read(signal, "b", &active) <= 0)
        return 0;
    const char* interface = sd_bus_message_get_interface(signal);
    if (interface != nullptr && std::strcmp(interface, gnomeShield.interface) == 0)
        shield.gnomeUp = active != 0;
    else
        shield.freedesktopUp = active != 0;
    return 0;
}

int ScreenShield::descriptor() const
{
    return busDescriptor(connection);
}

short ScreenShield::events() const
{
    return busEvents(connection);
}

int ScreenShield::timeoutMilliseconds() const
{
    return busTimeoutMilliseconds(connection);
}

void ScreenShield::dispatch()
{
    if (connection != nullptr && !processBus(connection))
        close();
}

void ScreenShield::close()
{
    sd_bus_slot_unref(gnomeSlot);
    sd_bus_slot_unref(freedesktopSlot);
    sd_bus_flush_close_unref(connection);
    gnomeSlot = freedesktopSlot = nullptr;
    connection = nullptr;
    gnomeUp = freedesktopUp = false;
}
