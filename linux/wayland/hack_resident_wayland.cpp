// The resident Wayland saver.
#include "linux/wayland/hack_resident_wayland.h"

#include <malloc.h>

#include "linux/hack_scene.h"
#include "linux/stop_signals.h"
#include "linux/wayland/hack_loop_wayland.h"
#include "linux/wayland/idle_sources_wayland.h"

namespace {

// One snowfall, from the EGL context to its release. Answers false with a reason when it could
// not snow; a lost connection is the session's end and is left to the caller
// (hack.connectionLost).
bool snowOnce(WaylandHack& hack, const std::function<std::unique_ptr<HackScene>()>& makeScene,
              std::string& error)
{
    bool ran = openWaylandEgl(hack, error);
    if (ran) {
        const std::unique_ptr<HackScene> scene = makeScene();
        ran = runWaylandHack(hack, *scene, error);
    }
    releaseWaylandSnow(hack);
    // The snowfall's flakes and the renderer's buffers are freed, but the C library would keep
    // their pages for the next snowfall, hours away: they go back to the system, so that the
    // waiting saver stays as small after many snowfalls as after one.
    malloc_trim(0);
    return ran || hack.connectionLost;
}

} // namespace

bool runResidentWayland(WaylandHack& hack, std::uint32_t seconds,
                        const std::function<std::unique_ptr<HackScene>()>& makeScene,
                        std::string& error)
{
    if (!connectWaylandHack(hack, error))
        return false;
    const std::unique_ptr<IdleSource> idle = openIdleSource(hack, seconds, error);
    if (idle == nullptr)
        return false;
    hack.idleSource = idle.get();
    // One snowfall for each time the session goes idle: after the close rules end one, the next
    // waits until the user has been active and idle again.
    bool snowedThisIdle = false;
    bool ran = true;
    while (ran && !stopRequested() && !hack.connectionLost) {
        if (!idle->idle())
            snowedThisIdle = false;
        if (idle->idle() && !snowedThisIdle) {
            snowedThisIdle = true;
            if (!idle->inhibited())
                ran = snowOnce(hack, makeScene, error);
            continue;
        }
        hack.connectionLost = !waitForWaylandEvents(hack);
    }
    hack.idleSource = nullptr;
    return ran;
}
