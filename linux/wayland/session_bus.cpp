// What the session's services on the bus share.
#include "linux/wayland/session_bus.h"

#include <time.h>

#include <algorithm>
#include <climits>
#include <cstring>

std::string busReason(const BusError& error, int result)
{
    std::string text = sd_bus_error_is_set(&error.value) && error.value.message != nullptr
                           ? error.value.message
                           : std::strerror(-result);
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

int callWithin(sd_bus* bus, const BusMessage& call, std::uint64_t timeoutMicroseconds,
               BusError& error, BusMessage& reply)
{
    int result = sd_bus_message_set_auto_start(call.value, 0);
    if (result >= 0)
        result = sd_bus_call(bus, call.value, timeoutMicroseconds, &error.value, &reply.value);
    return result;
}

bool processBus(sd_bus* bus)
{
    int result;
    while ((result = sd_bus_process(bus, nullptr)) > 0) {
    }
    return result == 0;
}

int busDescriptor(sd_bus* bus)
{
    return bus == nullptr ? -1 : std::max(sd_bus_get_fd(bus), -1);
}

short busEvents(sd_bus* bus)
{
    const int events = bus == nullptr ? 0 : sd_bus_get_events(bus);
    return static_cast<short>(std::max(events, 0));
}

// sd-bus answers an absolute monotonic time (0 when messages already wait in its queue); poll
// wants what is left of it.
int busTimeoutMilliseconds(sd_bus* bus)
{
    std::uint64_t until = 0;
    if (bus == nullptr || sd_bus_get_timeout(bus, &until) <= 0 || until == UINT64_MAX)
        return -1;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t nowMicroseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000000 +
                                          static_cast<std::uint64_t>(now.tv_nsec) / 1000;
    if (until <= nowMicroseconds)
        return 0;
    // Rounded up, so that poll does not wake just before the time and spin.
    const std::uint64_t left = (until - nowMicroseconds + 999) / 1000;
    return static_cast<int>(std::min<std::uint64_t>(left, INT_MAX));
}
