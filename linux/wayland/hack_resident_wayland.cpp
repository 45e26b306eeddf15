// The resident Wayland saver.
#include "linux/wayland/hack_resident_wayland.h"

#include <poll.h>

#include <cstdio>
#include <memory>

#include "linux/snowfall_process.h"
#include "linux/stop_signals.h"
#include "linux/wayland/hack_loop_wayland.h"
#include "linux/wayland/idle_sources_wayland.h"

namespace {

// Snowfalls that fail one after another (no EGL, a driver that crashes at once) would only fail
// again: after this many in a row the saver gives up, as it would on a failure of its own.
constexpr int failuresToGiveUp = 3;

struct Resident {
    Resident(IdleSource& idle, std::vector<std::string> arguments)
        : idle(idle), snowfallArguments(std::move(arguments))
    {
    }

    IdleSource& idle;
    std::vector<std::string> snowfallArguments;
    SnowfallProcess snowfall;
    // One snowfall for each time the session goes idle: after one ends, the next waits until the
    // user has been active and idle again.
    bool snowedThisIdle = false;
    int failuresInARow = 0;
};

// Starts the idle time's snowfall, unless something keeps the snow away (a video playing).
void startSnowfall(Resident& resident)
{
    resident.snowedThisIdle = true;
    if (resident.idle.inhibited())
        return;
    std::string error;
    if (!resident.snowfall.start(resident.snowfallArguments, error)) {
        std::fprintf(stderr, "tavrel: %s\n", error.c_str());
        ++resident.failuresInARow;
    }
}

// A snowfall that ended is collected; one that failed is told in a line and counted.
void collectSnowfall(Resident& resident)
{
    std::string failure;
    if (!resident.snowfall.collect(failure))
        return;
    if (failure.empty()) {
        resident.failuresInARow = 0;
        return;
    }
    std::fprintf(stderr, "tavrel: %s\n", failure.c_str());
    ++resident.failuresInARow;
}

// Waits for the compositor, the idle source or the snowfall's end; false when the session ends.
bool waitForResidentEvents(WaylandHack& hack, Resident& resident)
{
    pollfd also[2] = {{resident.idle.descriptor(), resident.idle.events(), 0},
                      {resident.snowfall.descriptor(), POLLIN, 0}};
    if (!waitForWaylandEvents(hack, also, 2, resident.idle.timeoutMilliseconds()))
        return false;
    if (also[1].revents != 0)
        collectSnowfall(resident);
    return resident.idle.dispatch();
}

} // namespace

bool runResidentWayland(WaylandHack& hack, const HackOptions& options, std::string& error)
{
    if (!connectWaylandHack(hack, error))
        return false;
    const std::unique_ptr<IdleSource> idle = openIdleSource(hack, options.idleSeconds, error);
    if (idle == nullptr)
        return false;
    Resident resident(*idle, residentSnowfallArguments(options));
    while (!stopRequested() && resident.failuresInARow < failuresToGiveUp) {
        if (!idle->idle())
            resident.snowedThisIdle = false;
        if (resident.snowfall.running() && !idle->idle()) {
            // The user is back: a snowfall that has already failed is told as such.
            collectSnowfall(resident);
            resident.snowfall.end();
        } else if (!resident.snowfall.running() && idle->idle() && !resident.snowedThisIdle)
            startSnowfall(resident);
        if (!waitForResidentEvents(hack, resident)) {
            // The compositor or the session bus closed the connection: the session has ended.
            hack.connectionLost = true;
            break;
        }
    }
    resident.snowfall.end();
    if (resident.failuresInARow < failuresToGiveUp)
        return true;
    error = "the last " + std::to_string(failuresToGiveUp) + " snowfalls failed: giving up";
    return false;
}
