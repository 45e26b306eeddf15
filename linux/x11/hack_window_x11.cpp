// Somewhere to draw on X11, and a GLX context on it.
#include "linux/x11/hack_window_x11.h"

#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool requestFailed = false;

// A failed request (typically the window destroyed under the program) is noted, not fatal:
// Xlib's default handler would end the program with status 1.
int noteError(Display*, XErrorEvent*)
{
    requestFailed = true;
    return 0;
}

// The connection to the display is lost: the window went with it, and there is nothing left to
// draw into. Xlib ends the program when this returns, so it ends it itself, quietly.
int displayLost(Display*)
{
    std::_Exit(0);
}

// Its size, its end, and whether anyone can see it.
constexpr long sightEvents = StructureNotifyMask | VisibilityChangeMask;

XVisualInfo* ownWindowVisual(Display* display)
{
    int attributes[] = {GLX_RGBA,      GLX_DOUBLEBUFFER, GLX_RED_SIZE,   8, GLX_GREEN_SIZE, 8,
                        GLX_BLUE_SIZE, 8,                GLX_DEPTH_SIZE, 16, None};
    return glXChooseVisual(display, DefaultScreen(display), attributes);
}

// A window of its own, half the screen in each direction, so that it keeps the screen's shape.
Window makeOwnWindow(HackWindow& hack, XVisualInfo* visual)
{
    Display* display = hack.display;
    const Window root = RootWindow(display, visual->screen);
    XSetWindowAttributes attributes = {};
    attributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    attributes.background_pixel = BlackPixel(display, visual->screen);
    attributes.border_pixel = 0;
    attributes.event_mask = sightEvents | KeyPressMask | PointerMotionMask;
    const int width = DisplayWidth(display, visual->screen) / 2;
    const int height = DisplayHeight(display, visual->screen) / 2;
    const Window window = XCreateWindow(
        display, root, 0, 0, width, height, 0, visual->depth, InputOutput, visual->visual,
        CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
    XStoreName(display, window, "Tavrel");
    hack.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &hack.deleteWindow, 1);
    XMapWindow(display, window);
    return window;
}

// The visual of a window someone else made, if OpenGL can draw into it with a double buffer.
XVisualInfo* drawableVisual(Display* display, Window window, std::string& error)
{
    XWindowAttributes attributes;
    requestFailed = false;
    if (!XGetWindowAttributes(display, window, &attributes) || requestFailed) {
        char name[24];
        std::snprintf(name, sizeof name, "0x%lx", window);
        error = std::string("there is no window ") + name;
        return nullptr;
    }
    XVisualInfo wanted = {};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int found = 0;
    XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &found);
    int usesGL = 0;
    int doubleBuffer = 0;
    if (visual != nullptr) {
        glXGetConfig(display, visual, GLX_USE_GL, &usesGL);
        glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &doubleBuffer);
    }
    if (!usesGL || !doubleBuffer) {
        error = "the window's visual offers no double-buffered OpenGL";
        if (visual != nullptr)
            XFree(visual);
        return nullptr;
    }
    // Someone else's window: only its size, its end and whether it is seen are of interest; other
    // clients may select the same events on it.
    XSelectInput(display, window, sightEvents);
    return visual;
}

} // namespace

bool openHackWindow(const HackOptions& options, HackWindow& hack, std::string& error)
{
    // No name: DISPLAY's.
    const char* displayName = options.display.empty() ? nullptr : options.display.c_str();
    hack.display = XOpenDisplay(displayName);
    if (hack.display == nullptr) {
        error = std::string("cannot open the display '") + XDisplayName(displayName) + "'";
        return false;
    }
    XSetErrorHandler(noteError);
    XSetIOErrorHandler(displayLost);
    Display* display = hack.display;
    XVisualInfo* visual = nullptr;
    switch (options.target) {
    case HackTarget::OwnWindow:
        visual = ownWindowVisual(display);
        if (visual == nullptr)
            error = "the display offers no double-buffered OpenGL visual";
        else
            hack.window = makeOwnWindow(hack, visual);
        hack.ownWindow = true;
        break;
    case HackTarget::NamedWindow:
        hack.window = options.windowId;
        visual = drawableVisual(display, hack.window, error);
        break;
    case HackTarget::Root:
        hack.window = DefaultRootWindow(display);
        visual = drawableVisual(display, hack.window, error);
        break;
    }
    if (visual == nullptr)
        return false;
    hack.context = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    if (hack.context == nullptr || !glXMakeCurrent(display, hack.window, hack.context)) {
        error = "cannot make an OpenGL context on the window";
        return false;
    }
    XWindowAttributes attributes;
    XGetWindowAttributes(display, hack.window, &attributes);
    hack.width = attributes.width;
    hack.height = attributes.height;
    // A window mapped under an unmapped ancestor becomes viewable with a VisibilityNotify.
    hack.viewable = attributes.map_state == IsViewable;
    return true;
}

int displayRefreshHertz(const HackWindow& hack)
{
    int eventBase = 0;
    int errorBase = 0;
    if (!XRRQueryExtension(hack.display, &eventBase, &errorBase))
        return 0;
    XRRScreenConfiguration* configuration =
        XRRGetScreenInfo(hack.display, DefaultRootWindow(hack.display));
    if (configuration == nullptr)
        return 0;
    const int hertz = XRRConfigCurrentRate(configuration);
    XRRFreeScreenConfigInfo(configuration);
    return hertz;
}

bool windowRequestFailed()
{
    const bool failed = requestFailed;
    requestFailed = false;
    return failed;
}

void closeHackWindow(HackWindow& hack)
{
    if (hack.display == nullptr)
        return;
    glXMakeCurrent(hack.display, None, nullptr);
    if (hack.context != nullptr)
        glXDestroyContext(hack.display, hack.context);
    XCloseDisplay(hack.display);
    hack.display = nullptr;
}
