// The desktop's screen shield or locker, followed on the session bus.
#include "linux/wayland/screen_shield.h"

#include <cstring>

#include "linux/wayland/session_bus.h"

namespace {

struct Shield {
    const char* name;  // the service, which sends the signal
    const char* path;
    const char* interface;
};

const Shield gnomeShield = {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver",
                            "org.gnome.ScreenSaver"};
// KDE Plasma's locker answers at /ScreenSaver and at /org/freedesktop/ScreenSaver, and signals
// on both.
const Shield freedesktopShield = {"org.freedesktop.ScreenSaver", "/ScreenSaver",
                                  "org.freedesktop.ScreenSaver"};

// Asked as a snowfall starts: a shell that is slow to answer must not hold the snow up long.
const std::uint64_t askTimeoutMicroseconds = 500000;

// Whether the shield answers that it is up; a service that is not there is not.
bool askActive(sd_bus* bus, const Shield& shield)
{
    BusMessage call, reply;
    BusError error;
    int result = sd_bus_message_new_method_call(bus, &call.value, shield.name, shield.path,
                                                shield.interface, "GetActive");
    if (result >= 0)
        result = callWithin(bus, call, askTimeoutMicroseconds, error, reply);
    int active = 0;
    if (result >= 0)
        result = sd_bus_message_read(reply.value, "b", &active);
    return result > 0 && active != 0;
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
    if (sd_bus_match_signal(connection, &gnomeSlot, gnomeShield.name, nullptr,
                            gnomeShield.interface, "ActiveChanged", onActiveChanged, this) < 0 ||
        sd_bus_match_signal(connection, &freedesktopSlot, freedesktopShield.name, nullptr,
                            freedesktopShield.interface, "ActiveChanged", onActiveChanged,
                            this) < 0) {
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
    if (connection == nullptr)
        return;
    int result;
    while ((result = sd_bus_process(connection, nullptr)) > 0) {
    }
    if (result < 0)
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
