// GNOME's idle monitor over sd-bus: the idle watch and the user-active watch that follows each
// time it fires, the WatchFired signals that tell of both, and gnome-session's answer to
// whether idleness is inhibited.
#include "linux/wayland/gnome_idle_monitor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "linux/wayland/session_bus.h"

namespace {

const char* const monitorName = "org.gnome.Mutter.IdleMonitor";
const char* const monitorPath = "/org/gnome/Mutter/IdleMonitor/Core";
const char* const monitorInterface = "org.gnome.Mutter.IdleMonitor";

// Mutter may be slow to answer while the session starts; later calls come from the run loop
// and must not hold it up long.
const std::uint64_t openTimeoutMicroseconds = 5000000;
const std::uint64_t runTimeoutMicroseconds = 1000000;

// gnome-session's flag for "do not treat the session as idle" (a video playing).
const std::uint32_t inhibitIdleFlag = 8;

// Mutter adds the interval, in microseconds, to a signed 64-bit time; an interval held to a
// tenth of that range (thousands of years) cannot overflow it.
const std::uint64_t longestSeconds = INT64_MAX / 1000000 / 10;

}  // namespace

GnomeIdleMonitor::~GnomeIdleMonitor()
{
    if (bus == nullptr)
        return;
    if (sd_bus_is_open(bus) > 0) {
        if (activeWatch)
            removeWatch(*activeWatch);
        if (idleWatch)
            removeWatch(*idleWatch);
    }
    sd_bus_slot_unref(watchFiredSlot);
    sd_bus_flush_close_unref(bus);
}

bool GnomeIdleMonitor::open(unsigned seconds, std::string& error)
{
    int result = sd_bus_open_user(&bus);
    if (result < 0) {
        bus = nullptr;
        // sd-bus's word for "neither DBUS_SESSION_BUS_ADDRESS nor XDG_RUNTIME_DIR is set".
        error = "no session bus: " + std::string(result == -ENOMEDIUM
                                                     ? "no address for it in the environment"
                                                     : std::strerror(-result));
        return false;
    }
    // Subscribed before the watch is added, so that a watch that fires at once is not missed.
    result = sd_bus_match_signal(bus, &watchFiredSlot, monitorName, monitorPath, monitorInterface,
                                 "WatchFired", onWatchFired, this);
    if (result < 0) {
        error = "no session bus: " + std::string(std::strerror(-result));
        return false;
    }
    const std::uint64_t milliseconds = std::min<std::uint64_t>(seconds, longestSeconds) * 1000;
    idleWatch = addWatch("AddIdleWatch", &milliseconds, openTimeoutMicroseconds, error);
    if (!idleWatch) {
        error = "no GNOME idle monitor on the session bus: " + error;
        return false;
    }
    return true;
}

// A WatchFired signal that came during a call is queued until the call has answered and the
// watch's id is known, and handled at the next dispatch.
int GnomeIdleMonitor::onWatchFired(sd_bus_message* signal, void* monitor, sd_bus_error*)
{
    std::uint32_t id = 0;
    if (sd_bus_message_read(signal, "u", &id) > 0)
        static_cast<GnomeIdleMonitor*>(monitor)->watchFired(id);
    return 0;
}

void GnomeIdleMonitor::watchFired(std::uint32_t id)
{
    if (idleWatch == id && !activeWatch) {
        std::string error;
        activeWatch = addWatch("AddUserActiveWatch", nullptr, runTimeoutMicroseconds, error);
        broken = !activeWatch;
        idleNow = !broken;
    } else if (activeWatch == id) {
        activeWatch.reset();
        idleNow = false;
    }
    // Any other id is another application's watch.
}

std::optional<std::uint32_t> GnomeIdleMonitor::addWatch(const char* method,
                                                        const std::uint64_t* interval,
                                                        std::uint64_t timeout, std::string& error)
{
    BusMessage call, reply;
    BusError busError;
    int result = sd_bus_message_new_method_call(bus, &call.value, monitorName, monitorPath,
                                                monitorInterface, method);
    if (result >= 0 && interval != nullptr)
        result = sd_bus_message_append(call.value, "t", *interval);
    if (result >= 0)
        result = callWithin(bus, call, timeout, busError, reply);
    std::uint32_t id = 0;
    if (result >= 0)
        result = sd_bus_message_read(reply.value, "u", &id);
    if (result <= 0) {
        error = result == 0 ? "no watch id in the answer" : busReason(busError, result);
        return std::nullopt;
    }
    return id;
}

// Sent without waiting for an answer: this runs as the saver ends.
void GnomeIdleMonitor::removeWatch(std::uint32_t id)
{
    sd_bus_call_method_async(bus, nullptr, monitorName, monitorPath, monitorInterface,
                             "RemoveWatch", nullptr, nullptr, "u", id);
}

// No session manager on the bus, or any other failure, means nothing inhibits.
bool GnomeIdleMonitor::inhibited()
{
    if (bus == nullptr)
        return false;
    BusMessage call, reply;
    BusError busError;
    int result = sd_bus_message_new_method_call(bus, &call.value, "org.gnome.SessionManager",
                                                "/org/gnome/SessionManager",
                                                "org.gnome.SessionManager", "IsInhibited");
    if (result >= 0)
        result = sd_bus_message_append(call.value, "u", inhibitIdleFlag);
    if (result >= 0)
        result = callWithin(bus, call, runTimeoutMicroseconds, busError, reply);
    int answer = 0;
    if (result >= 0)
        result = sd_bus_message_read(reply.value, "b", &answer);
    return result > 0 && answer != 0;
}

int GnomeIdleMonitor::descriptor() const
{
    return busDescriptor(bus);
}

short GnomeIdleMonitor::events() const
{
    return busEvents(bus);
}

int GnomeIdleMonitor::timeoutMilliseconds() const
{
    return busTimeoutMilliseconds(bus);
}

bool GnomeIdleMonitor::dispatch()
{
    return bus != nullptr && !broken && processBus(bus) && !broken;
}
