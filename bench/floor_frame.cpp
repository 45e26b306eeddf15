// The floor of any paced full-screen frame on a display: a program that only clears the colour
// buffer and swaps, one frame per refresh as the saver paces them, on the same drawable as the
// saver's. What the saver costs above it is what its snow costs.
//   floor_frame -root                 in the root window, as the Linux program's -root
//   floor_frame -visual ID            in a full-screen window of its own with that X visual (the
//                                     visual of the Windows saver's window under Wine)
//   floor_frame --wayland             full screen on every output of the Wayland compositor, in
//                                     the Wayland saver's own host, paced as it paces
// It runs until it is stopped by a signal.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <GL/gl.h>
#include <GL/glx.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "host/frame_clock.h"
#include "host/frame_pacing.h"
#include "linux/hack_options.h"
#include "linux/hack_scene.h"
#include "linux/stop_signals.h"
#include "linux/wayland/hack_display_wayland.h"
#include "linux/wayland/hack_loop_wayland.h"
#include "linux/wayland/screen_shield.h"
#include "linux/x11/hack_window_x11.h"

namespace {

double monotonicSeconds()
{
    return static_cast<double>(clockCounter()) / static_cast<double>(clockCounterFrequency());
}

void sleepFor(double seconds)
{
    timespec wait{};
    wait.tv_sec = static_cast<std::time_t>(seconds);
    wait.tv_nsec = static_cast<long>((seconds - static_cast<double>(wait.tv_sec)) * 1e9);
    clock_nanosleep(CLOCK_MONOTONIC, 0, &wait, nullptr);
}

// A full-screen, unmanaged window with the given visual, mapped, for the context to draw in.
unsigned long screenWindowWithVisual(const char* visualText)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 0;
    XVisualInfo wanted = {};
    wanted.visualid = std::strtoul(visualText, nullptr, 0);
    int found = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &found);
    if (visual == nullptr)
        return 0;
    const Window root = RootWindow(display, visual->screen);
    XSetWindowAttributes attributes = {};
    attributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    attributes.border_pixel = 0;
    attributes.override_redirect = True;
    const Window window = XCreateWindow(
        display, root, 0, 0, DisplayWidth(display, visual->screen),
        DisplayHeight(display, visual->screen), 0, visual->depth, InputOutput, visual->visual,
        CWColormap | CWBorderPixel | CWOverrideRedirect, &attributes);
    XFree(visual);
    XMapWindow(display, window);
    XSync(display, False);
    // This connection stays open for the process, so that the window lives as long as it does.
    return window;
}

// A scene that only clears, for the Wayland host to drive.
class ClearScene : public HackScene {
public:
    void setUp(int, int) override {}
    void drawFrame(double) override { glClear(GL_COLOR_BUFFER_BIT); }
    void drawAgain() override { glClear(GL_COLOR_BUFFER_BIT); }
    void resize(int, int) override {}
    PointerPlacement pointerMoved(int, int, int, int) override { return {}; }
};

int floorOnWayland()
{
    stopOnSignals();
    WaylandHack hack;
    ClearScene scene;
    // Never opened, so never up: the floor draws whatever the desktop shows.
    ScreenShield shield;
    std::string error;
    const bool ran = openWaylandHack(hack, error) && runWaylandHack(hack, scene, shield, error);
    closeWaylandHack(hack);
    if (!ran)
        std::fprintf(stderr, "floor_frame: %s\n", error.c_str());
    return ran ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && arguments[0] == "--wayland")
        return floorOnWayland();
    if (arguments.size() == 2 && arguments[0] == "-visual") {
        const unsigned long window = screenWindowWithVisual(arguments[1].c_str());
        if (window == 0) {
            std::fprintf(stderr, "floor_frame: no visual %s\n", arguments[1].c_str());
            return 1;
        }
        char id[24];
        std::snprintf(id, sizeof id, "0x%lx", window);
        arguments = {"-window-id", id};
    }
    HackWindow hack;
    std::string error;
    if (!openHackWindow(parseHackOptions(arguments, nullptr), hack, error)) {
        std::fprintf(stderr, "floor_frame: %s\n", error.c_str());
        return 1;
    }
    const double frameRate = pacedFrameRate(displayRefreshHertz(hack));
    double due = monotonicSeconds();
    for (;;) {
        glClear(GL_COLOR_BUFFER_BIT);
        glXSwapBuffers(hack.display, hack.window);
        const FrameWait wait = nextFrameWait(frameRate, due, monotonicSeconds());
        due = wait.due;
        if (wait.seconds > 0.0)
            sleepFor(wait.seconds);
    }
}
