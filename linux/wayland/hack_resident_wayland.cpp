// The resident Wayland saver.
#include "linux/wayland/hack_resident_wayland.h"

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "linux/snowfall_process.h"
#include "linux/stop_signals.h"
#include "linux/wayland/desktop_blank_time.h"
#include "linux/wayland/hack_loop_wayland.h"
#include "linux/wayland/idle_sources_wayland.h"
#include "linux/wayland/screen_shield.h"

namespace {

// Snowfalls that fail one after another (no EGL, a driver that crashes at once) would only fail
// again: after this many in a row the saver gives up, as it would on a failure of its own.
constexpr int failuresToGiveUp = 3;

struct Resident {
    explicit Resident(const HackOptions& options)
        : askedSeconds(options.idleSeconds), snowfallArguments(residentSnowfallArguments(options))
    {
    }

    std::uint32_t askedSeconds;
    std::unique_ptr<IdleSource> idle;
    std::uint32_t waitSeconds = 0;  // what the idle source was asked for
    std::string waitLine;           // what was last said of the desktop's time
    ScreenShield shield;
    std::vector<std::string> snowfallArguments;
    SnowfallProcess snowfall;
    // One snowfall for each time the session goes idle: after one ends, the next waits until the
    // user has been active and idle again.
    bool snowedThisIdle = false;
    int failuresInARow = 0;
};

// Reads the desktop's own blank or lock time again as a wait starts, so that a change to it
// counts from the next wait; where the wait changes, the idle source is asked for the new one.
// False with a reason when no idle source answers.
bool followDesktopWait(WaylandHack& hack, Resident& resident, std::string& error)
{
    const DesktopBlank blank = readDesktopBlank();
    const SnowWait wait = snowWait(resident.askedSeconds, blank.desktop, blank.seconds);
    if (!wait.line.empty() && wait.line != resident.waitLine)
        std::fprintf(stderr, "tavrel: %s\n", wait.line.c_str());
    resident.waitLine = wait.line;
    if (resident.idle != nullptr && wait.seconds == resident.waitSeconds)
        return true;
    // The old watch goes before the new one is asked for.
    resident.idle.reset();
    resident.idle = openIdleSource(hack, wait.seconds, error);
    resident.waitSeconds = wait.seconds;
    return resident.idle != nullptr;
}

// Starts the idle time's snowfall, unless something keeps the snow away: a video playing, or the
// desktop's shield already up, under which nothing would be seen.
void startSnowfall(Resident& resident)
{
    resident.snowedThisIdle = true;
    if (resident.shield.up() || resident.idle->inhibited())
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

// The sooner of two poll time limits, where -1 is none.
int sooner(int first, int second)
{
    return first < 0 ? second : second < 0 ? first : std::min(first, second);
}

// Waits for the compositor, the idle source, the shield or the snowfall's end; false when the
// session ends.
bool waitForResidentEvents(WaylandHack& hack, Resident& resident)
{
    IdleSource& idle = *resident.idle;
    pollfd also[3] = {{idle.descriptor(), idle.events(), 0},
                      {resident.shield.descriptor(), resident.shield.events(), 0},
                      {resident.snowfall.descriptor(), POLLIN, 0}};
    const int timeout = sooner(idle.timeoutMilliseconds(), resident.shield.timeoutMilliseconds());
    if (!waitForWaylandEvents(hack, also, 3, timeout))
        return false;
    if (also[2].revents != 0)
        collectSnowfall(resident);
    resident.shield.dispatch();
    return idle.dispatch();
}

// One pass of the supervisor: the user back ends the snowfall (which ends itself under the
// desktop's shield); the session idle long enough starts one. False with a reason when the idle
// source cannot be had again.
bool superviseSnowfall(WaylandHack& hack, Resident& resident, std::string& error)
{
    const bool idle = resident.idle->idle();
    if (resident.snowfall.running() && !idle) {
        // A snowfall that has already failed is told as such; one that snowed until now did
        // not fail.
        collectSnowfall(resident);
        if (resident.snowfall.running()) {
            resident.snowfall.end();
            resident.failuresInARow = 0;
        }
    }
    if (!idle && resident.snowedThisIdle) {
        // The user is back: a new wait starts.
        resident.snowedThisIdle = false;
        return followDesktopWait(hack, resident, error);
    }
    if (idle && !resident.snowedThisIdle && !resident.snowfall.running())
        startSnowfall(resident);
    return true;
}

} // namespace

bool runResidentWayland(WaylandHack& hack, const HackOptions& options, std::string& error)
{
    if (!connectWaylandHack(hack, error))
        return false;
    Resident resident(options);
    if (!followDesktopWait(hack, resident, error))
        return false;
    resident.shield.open();
    while (!stopRequested() && resident.failuresInARow < failuresToGiveUp) {
        if (!superviseSnowfall(hack, resident, error))
            return false;
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
