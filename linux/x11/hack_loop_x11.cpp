// The Linux program's run loop and close rules.
#include "linux/x11/hack_loop_x11.h"

#include <X11/keysym.h>

#include <GL/gl.h>

#include <poll.h>

#include <ctime>

#include "host/frame_clock.h"
#include "host/frame_pacing.h"
#include "linux/hack_scene.h"
#include "linux/stop_signals.h"
#include "scene/swap_interval.h"

namespace {

double monotonicSeconds()
{
    return static_cast<double>(clockCounter()) / static_cast<double>(clockCounterFrequency());
}

// Sleeps for seconds; a signal cuts the sleep short, so that a stop is seen at once.
void sleepFor(double seconds)
{
    if (!(seconds > 0.0))
        return;
    timespec wait{};
    wait.tv_sec = static_cast<std::time_t>(seconds);
    wait.tv_nsec = static_cast<long>((seconds - static_cast<double>(wait.tv_sec)) * 1e9);
    clock_nanosleep(CLOCK_MONOTONIC, 0, &wait, nullptr);
}

void followPointer(const HackWindow& hack, HackScene& scene, const XMotionEvent& motion)
{
    const PointerPlacement placement =
        scene.pointerMoved(motion.x, motion.y, hack.width, hack.height);
    if (placement.move)
        XWarpPointer(hack.display, None, hack.window, 0, 0, 0, 0, placement.x, placement.y);
}

bool endsOwnWindow(XKeyEvent& key)
{
    const KeySym symbol = XLookupKeysym(&key, 0);
    return symbol == XK_Escape || symbol == XK_q || symbol == XK_Q;
}

// Handles the events waiting; answers false when one of them ends the run.
bool handleEvents(HackWindow& hack, HackScene& scene)
{
    while (XPending(hack.display) > 0) {
        XEvent event;
        XNextEvent(hack.display, &event);
        switch (event.type) {
        case DestroyNotify:
            if (event.xdestroywindow.window == hack.window)
                return false;
            break;
        case ConfigureNotify:
            if (event.xconfigure.window == hack.window) {
                hack.width = event.xconfigure.width;
                hack.height = event.xconfigure.height;
                glViewport(0, 0, hack.width, hack.height);
                scene.resize(hack.width, hack.height);
            }
            break;
        case MapNotify:
            if (event.xmap.window == hack.window)
                hack.viewable = true;
            break;
        case UnmapNotify:
            if (event.xunmap.window == hack.window)
                hack.viewable = false;
            break;
        case VisibilityNotify:
            // Sent only to a viewable window, also when one becomes viewable with its ancestors.
            hack.viewable = true;
            hack.fullyObscured = event.xvisibility.state == VisibilityFullyObscured;
            break;
        case ClientMessage:
            if (hack.ownWindow &&
                static_cast<Atom>(event.xclient.data.l[0]) == hack.deleteWindow)
                return false;
            break;
        case KeyPress:
            if (hack.ownWindow && endsOwnWindow(event.xkey))
                return false;
            break;
        case MotionNotify:
            if (hack.ownWindow)
                followPointer(hack, scene, event.xmotion);
            break;
        default:
            break;
        }
    }
    return true;
}

// A failed request means the window is most likely gone; asking about it settles that.
bool windowGone(const HackWindow& hack)
{
    if (!windowRequestFailed())
        return false;
    XWindowAttributes attributes;
    const bool exists = XGetWindowAttributes(hack.display, hack.window, &attributes) != 0;
    return !exists || windowRequestFailed();
}

// Sleeps until an X event or a stop arrives. Events Xlib has already read off the connection
// would not wake poll, so those are looked at first.
void waitForEvents(const HackWindow& hack)
{
    if (XPending(hack.display) > 0 || stopRequested())
        return;
    const int stopSignal = stopSignalDescriptor();
    pollfd watched[2] = {{ConnectionNumber(hack.display), POLLIN, 0}, {stopSignal, POLLIN, 0}};
    poll(watched, stopSignal >= 0 ? 2 : 1, -1);
}

} // namespace

void runHack(HackWindow& hack, HackScene& scene)
{
    // One swap per refresh where GLX offers it, before the scene sets itself up.
    requestSwapInterval();
    scene.setUp(hack.width, hack.height);
    frameClock.start();
    const double frameRate = pacedFrameRate(displayRefreshHertz(hack));
    double due = monotonicSeconds();
    while (!stopRequested()) {
        if (!handleEvents(hack, scene) || windowGone(hack))
            return;
        // Nobody can see an unmapped or wholly covered window: wait for that to change, and
        // start the clock afresh, so that the snow does not jump by the time it waited.
        if (!hack.viewable || hack.fullyObscured) {
            waitForEvents(hack);
            frameClock.start();
            due = monotonicSeconds();
            continue;
        }
        scene.drawFrame(frameSeconds());
        glXSwapBuffers(hack.display, hack.window);
        frameClock.tick();
        const FrameWait wait = nextFrameWait(frameRate, due, monotonicSeconds());
        due = wait.due;
        sleepFor(wait.seconds);
    }
}
