// The Linux program's run loop and close rules.
#include "host/hack_loop_x11.h"

#include <X11/keysym.h>

#include <GL/gl.h>

#include <csignal>
#include <ctime>

#include "host/frame_clock.h"
#include "host/frame_pacing.h"
#include "scene/tavrel_x11.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

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

bool endsOwnWindow(XKeyEvent& key)
{
    const KeySym symbol = XLookupKeysym(&key, 0);
    return symbol == XK_Escape || symbol == XK_q || symbol == XK_Q;
}

// Handles the events waiting; answers false when one of them ends the run.
bool handleEvents(HackWindow& hack, TavrelHack& scene)
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
            }
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
                scene.onPointerMotion(hack.display, hack.window, event.xmotion.x,
                                      event.xmotion.y, hack.width, hack.height);
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

} // namespace

void stopOnSignals()
{
    struct sigaction action = {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: the frame wait must end when the signal comes.
    action.sa_flags = 0;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

void runHack(HackWindow& hack, TavrelHack& scene)
{
    scene.initScene(hack.screenAspect);
    frameClock.start();
    const double frameRate = pacedFrameRate(displayRefreshHertz(hack));
    double due = monotonicSeconds();
    while (!stopRequested) {
        if (!handleEvents(hack, scene) || windowGone(hack))
            return;
        scene.drawFrame(frameSeconds());
        glXSwapBuffers(hack.display, hack.window);
        frameClock.tick();
        const FrameWait wait = nextFrameWait(frameRate, due, monotonicSeconds());
        due = wait.due;
        sleepFor(wait.seconds);
    }
}
