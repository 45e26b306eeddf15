// The Wayland host's run loop.
#include "linux/wayland/hack_loop_wayland.h"

#include <wayland-client.h>

#include <GL/gl.h>

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "host/frame_clock.h"
#include "linux/hack_scene.h"
#include "linux/stop_signals.h"
#include "linux/wayland/gnome_overview.h"
#include "linux/wayland/output_panorama.h"
#include "linux/wayland/screen_shield.h"

namespace {

// No frame for this long means the compositor stopped asking (an output off, a surface hidden):
// the clock starts afresh, so that the snow goes on without the paused time. Ten frames at the
// slowest refresh a display runs at (24 Hz) and more than a frame late on a loaded machine; a
// real pause hidden by it is no longer than a jump the eye forgives.
constexpr double pauseSeconds = 0.4;

// A full-screen window that the compositor has not activated this long after its first frame is
// not what the user sees (GNOME's overview shows it as a thumbnail, keys going to its search).
constexpr double activationSeconds = 1.0;

double monotonicSeconds()
{
    return static_cast<double>(clockCounter()) / static_cast<double>(clockCounterFrequency());
}

void frameDone(void* data, wl_callback* callback, std::uint32_t)
{
    wl_callback_destroy(callback);
    static_cast<HackOutput*>(data)->frame = nullptr;
}

const wl_callback_listener frameListener = {frameDone};

// The compositor wants the output's next frame: its surface is configured to a size, and the
// callback asked for with its last frame has come (or it has drawn none yet). A surface on an
// output that is off gets no callback, so it is not drawn, and the swap, which would wait for
// that callback inside EGL, never blocks the loop.
bool frameDue(const HackOutput& output)
{
    return output.surface != nullptr && output.configured && output.width > 0 &&
           output.height > 0 && output.frame == nullptr;
}

struct Sky {
    bool setUp = false;
    bool shapeDue = false;
    Panorama panorama;
    // The passes that drew; the compositor answers the very first frames late (0.3 to 0.5 s on
    // every compositor tried) while it sets the surfaces up, which is no pause.
    int passes = 0;
    double firstFrame = 0.0;  // when the first pass drew
};

// A surface that shows nothing another does not show already (a kiosk's second window under its
// first) is not drawn.
bool shows(const Sky& sky, std::size_t i)
{
    return i < sky.panorama.areas.size() && sky.panorama.areas[i].width > 0 &&
           sky.panorama.areas[i].height > 0;
}

void followLayout(WaylandHack& hack, Sky& sky)
{
    if (!hack.layoutChanged)
        return;
    hack.layoutChanged = false;
    Panorama panorama = arrangePanorama(outputAreas(hack));
    sky.shapeDue = sky.shapeDue || panorama.width != sky.panorama.width ||
                   panorama.height != sky.panorama.height;
    sky.panorama = std::move(panorama);
}

// Makes the output's surface current, sized to its configured size; the first time, with one
// swap per frame, and the scene set up on the first surface of all.
bool makeCurrent(WaylandHack& hack, HackOutput& output, HackScene& scene, Sky& sky)
{
    const bool fresh = output.eglSurface == EGL_NO_SURFACE;
    if (!sizeOutputBuffer(hack, output) ||
        !eglMakeCurrent(hack.eglDisplay, output.eglSurface, output.eglSurface, hack.eglContext))
        return false;
    // The swap interval belongs to the surface that is current.
    if (fresh)
        eglSwapInterval(hack.eglDisplay, 1);
    if (!sky.setUp) {
        scene.setUp(sky.panorama.width, sky.panorama.height);
        frameClock.start();
        sky.setUp = true;
    } else if (sky.shapeDue) {
        scene.resize(sky.panorama.width, sky.panorama.height);
    }
    sky.shapeDue = false;
    return true;
}

// Draws every output whose frame is due: the first advances the snow by the frame clock, the
// others show the same snow, so that one pass gives one sky. Answers false when EGL fails.
bool drawDueOutputs(WaylandHack& hack, HackScene& scene, Sky& sky)
{
    bool advanced = false;
    for (std::size_t i = 0; i < hack.outputs.size(); ++i) {
        HackOutput& output = *hack.outputs[i];
        if (!frameDue(output) || !shows(sky, i))
            continue;
        if (!makeCurrent(hack, output, scene, sky))
            return false;
        const PanoramaViewport view =
            panoramaViewport(sky.panorama, sky.panorama.areas[i], output.bufferScale);
        glViewport(view.x, view.y, view.width, view.height);
        if (advanced)
            scene.drawAgain();
        else
            scene.drawFrame(frameSeconds());
        advanced = true;
        // Asked for before the swap, so that it goes with the swap's own commit.
        output.frame = wl_surface_frame(output.surface);
        wl_callback_add_listener(output.frame, &frameListener, &output);
        if (!eglSwapBuffers(hack.eglDisplay, output.eglSurface))
            return false;
    }
    if (advanced)
        frameClock.tick();
    return true;
}

bool anyFrameDue(const WaylandHack& hack, const Sky& sky)
{
    for (std::size_t i = 0; i < hack.outputs.size(); ++i) {
        if (frameDue(*hack.outputs[i]) && shows(sky, i))
            return true;
    }
    return false;
}

// The snowfall is over: a signal, the close rules, the compositor's close, the keys another
// window's, the desktop's shield up, or no surface left to show it on.
bool snowfallOver(const WaylandHack& hack, const Sky& sky, const ScreenShield& shield)
{
    return stopRequested() || hack.closeRequested || shield.up() ||
           (sky.setUp && !anySurface(hack));
}

} // namespace

bool waitForWaylandEvents(WaylandHack& hack, pollfd* also, int alsoCount, int timeoutMilliseconds)
{
    wl_display* display = hack.display;
    for (int i = 0; i < alsoCount; ++i)
        also[i].revents = 0;
    // Events already read off the connection would not wake poll.
    if (wl_display_prepare_read(display) != 0)
        return wl_display_dispatch_pending(display) >= 0;
    int flushed = wl_display_flush(display);
    while (flushed < 0 && errno == EINTR)
        flushed = wl_display_flush(display);
    if (flushed < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display);
        return false;
    }
    // A full socket: wait until the compositor reads, and send the rest on the next pass.
    const short sending = flushed < 0 ? POLLOUT : 0;
    std::vector<pollfd> watched = {
        {wl_display_get_fd(display), static_cast<short>(POLLIN | sending), 0},
        {stopSignalDescriptor(), POLLIN, 0}};
    watched.insert(watched.end(), also, also + alsoCount);
    const int ready = stopRequested() ? 0 : poll(watched.data(), watched.size(), timeoutMilliseconds);
    for (int i = 0; i < alsoCount; ++i)
        also[i].revents = watched[2 + i].revents;
    if (ready > 0 && (watched[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
        if (wl_display_read_events(display) < 0)
            return false;
    } else {
        wl_display_cancel_read(display);
    }
    return wl_display_dispatch_pending(display) >= 0;
}

namespace {

// Waits for the compositor and the desktop's shield, and follows what they said; false when the
// connection is lost. Full-screen windows awaiting their activation are given up on
// activationSeconds after the first frame, even if nothing else comes.
bool waitForSnowfallEvents(WaylandHack& hack, ScreenShield& shield, const Sky& sky)
{
    pollfd also = {shield.descriptor(), shield.events(), 0};
    int timeout = shield.timeoutMilliseconds();
    if (sky.passes > 0 && awaitingActivation(hack)) {
        const double left = sky.firstFrame + activationSeconds - monotonicSeconds();
        const int untilDue = std::max(static_cast<int>(left * 1000.0) + 1, 0);
        timeout = timeout < 0 ? untilDue : std::min(timeout, untilDue);
    }
    if (!waitForWaylandEvents(hack, &also, 1, timeout))
        return false;
    shield.dispatch();
    followFocus(hack);
    // Not what the user sees: a thumbnail in an overview, a window behind another.
    if (sky.passes > 0 && awaitingActivation(hack) &&
        monotonicSeconds() - sky.firstFrame > activationSeconds)
        hack.closeRequested = true;
    return true;
}

} // namespace

bool runWaylandHack(WaylandHack& hack, HackScene& scene, ScreenShield& shield, std::string& error)
{
    // A window mapped while GNOME's overview is open would be one of its thumbnails.
    if (hack.layerShell == nullptr)
        leaveGnomeOverview(shield.bus());
    Sky sky;
    double lastFrame = 0.0;
    while (!snowfallOver(hack, sky, shield)) {
        coverNewOutputs(hack);
        followLayout(hack, sky);
        if (anyFrameDue(hack, sky)) {
            if (sky.passes >= 2 && monotonicSeconds() - lastFrame > pauseSeconds)
                frameClock.start();
            if (!drawDueOutputs(hack, scene, sky)) {
                // A swap fails too when the compositor has gone.
                hack.connectionLost = wl_display_get_error(hack.display) != 0;
                error = hack.connectionLost ? "lost the connection to the Wayland compositor"
                                            : "EGL cannot draw on the Wayland surface";
                return false;
            }
            if (sky.passes++ == 0)
                sky.firstFrame = monotonicSeconds();
            lastFrame = monotonicSeconds();
        }
        if (!waitForSnowfallEvents(hack, shield, sky)) {
            hack.connectionLost = true;
            error = "lost the connection to the Wayland compositor";
            return false;
        }
    }
    return true;
}
