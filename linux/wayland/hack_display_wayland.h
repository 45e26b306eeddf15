// Somewhere to draw on Wayland: the connection to the compositor, a surface on each of its
// outputs (on the overlay layer where the compositor offers wlr-layer-shell, a full-screen
// xdg-shell window elsewhere), the seats whose input ends the saver, and the one EGL context that
// draws into every surface.
#pragma once

#include <EGL/egl.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "linux/wayland/output_panorama.h"

struct wl_callback;
struct wl_compositor;
struct wl_display;
struct wl_egl_window;
struct wl_keyboard;
struct wl_output;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_surface;
struct wl_touch;
struct xdg_surface;
struct xdg_toplevel;
struct xdg_wm_base;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
struct ext_idle_notifier_v1;
struct org_kde_kwin_idle;

struct WaylandHack;

// One output, and the surface that covers it once the output has described itself.
struct HackOutput {
    WaylandHack* hack = nullptr;
    std::uint32_t name = 0;  // the registry's name for the output, which its removal gives
    wl_output* output = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    bool announced = false;  // the output has described itself at least once
    int scale = 1;           // buffer pixels to a logical pixel
    bool placed = false;     // where it stands on the desktop, from xdg-output
    int x = 0;
    int y = 0;
    int logicalWidth = 0;  // its size in logical pixels, from xdg-output
    int logicalHeight = 0;
    int modeWidth = 0;  // its current mode in pixels, for a compositor that tells no size
    int modeHeight = 0;

    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layerSurface = nullptr;  // on the overlay layer, or else
    xdg_surface* xdgSurface = nullptr;              // a full-screen window
    xdg_toplevel* toplevel = nullptr;
    int offeredWidth = 0;  // the size the last configure offered; 0 lets the client choose
    int offeredHeight = 0;
    bool offeredActivated = false;  // the last toplevel configure had the keyboard focus
    bool activated = false;         // as acknowledged with the last configure
    // The compositor took the layer surface away (its output is going, say): it is let go, and
    // the output gets no other while this snowfall lasts.
    bool closed = false;
    bool configured = false;  // a configure was acknowledged: the surface may be drawn
    int width = 0;            // the surface's logical size, as last configured
    int height = 0;

    wl_egl_window* eglWindow = nullptr;
    EGLSurface eglSurface = EGL_NO_SURFACE;
    int bufferWidth = 0;  // what the EGL window was last sized to
    int bufferHeight = 0;
    int bufferScale = 1;
    // The frame callback asked for with the surface's last frame; null once the compositor has
    // answered it, or before the first frame.
    wl_callback* frame = nullptr;
};

// One seat, with the input devices it has; a pointer's motion is measured from where it entered
// the saver's surface.
struct HackSeat {
    WaylandHack* hack = nullptr;
    std::uint32_t name = 0;
    wl_seat* seat = nullptr;
    wl_pointer* pointer = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_touch* touch = nullptr;
    bool entered = false;
    int enterX = 0;
    int enterY = 0;
    // The keyboard's focus is on one of the saver's surfaces (a seat only ever enters its
    // client's own).
    bool keyboardFocus = false;
};

struct WaylandHack {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    xdg_wm_base* wmBase = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    zxdg_output_manager_v1* outputManager = nullptr;
    ext_idle_notifier_v1* idleNotifier = nullptr;
    org_kde_kwin_idle* kdeIdle = nullptr;
    std::vector<std::unique_ptr<HackOutput>> outputs;
    std::vector<std::unique_ptr<HackSeat>> seats;
    EGLDisplay eglDisplay = EGL_NO_DISPLAY;
    EGLConfig eglConfig = nullptr;
    EGLContext eglContext = EGL_NO_CONTEXT;
    // Input that ends the saver came, or the compositor asked a surface to close.
    bool closeRequested = false;
    // One of the full-screen windows had the keyboard focus; once none has it, another window
    // took it, and that window is what the user sees.
    bool everActivated = false;
    // A seat's keyboard focus was on one of the saver's surfaces; once it is on none, another
    // client has the keys, which would go to a window the snow hides.
    bool everHadKeyboard = false;
    // An output came or went, or changed its place, size or scale: the sky's shape is due again.
    bool layoutChanged = false;
    // The compositor closed the connection, or it broke.
    bool connectionLost = false;
};

// Connects to the compositor in WAYLAND_DISPLAY and binds its globals. Answers false with a
// one-line reason when there is no compositor or it offers neither wlr-layer-shell nor xdg-shell.
bool connectWaylandHack(WaylandHack& hack, std::string& error);
// Makes the EGL context for OpenGL; answers false with a one-line reason where EGL gives none.
bool openWaylandEgl(WaylandHack& hack, std::string& error);
// Both of the above: the single snowfall's start.
bool openWaylandHack(WaylandHack& hack, std::string& error);

// Lets every surface, output and seat go, then the context and the connection.
void closeWaylandHack(WaylandHack& hack);

// Lets the output or seat of the registry's name go, if the list holds it; answers whether it did.
template <typename Item, typename Release>
bool releaseNamed(std::vector<std::unique_ptr<Item>>& items, std::uint32_t name, Release release)
{
    const auto gone = std::find_if(items.begin(), items.end(),
                                   [name](const auto& item) { return item->name == name; });
    if (gone == items.end())
        return false;
    release(**gone);
    items.erase(gone);
    return true;
}

// The outputs (hack_outputs_wayland.cpp).
void addOutput(WaylandHack& hack, std::uint32_t name, std::uint32_t version);
void placeOutput(WaylandHack& hack, HackOutput& output);  // asks xdg-output where it stands
// Gives each output that has described itself and has no surface yet its surface, and lets the
// surfaces go that the compositor closed.
void coverNewOutputs(WaylandHack& hack);
// Answers whether any output has a surface.
bool anySurface(const WaylandHack& hack);
// Follows the keyboard focus: once none of the full-screen windows is activated after one was,
// or no seat's keyboard is on any of the saver's surfaces after one was, another window has the
// keys and is what the user should see, so the saver ends.
void followFocus(WaylandHack& hack);
// Answers whether the saver shows full-screen windows that the compositor has yet to activate.
bool awaitingActivation(const WaylandHack& hack);
void removeOutput(WaylandHack& hack, std::uint32_t name);
// Lets the output's surface go, and its EGL window and surface with it.
void releaseSurface(WaylandHack& hack, HackOutput& output);
void releaseOutput(WaylandHack& hack, HackOutput& output);
// Sizes the output's EGL window to its configured size at its scale, making the window and the
// EGL surface the first time; answers false when EGL refuses the surface.
bool sizeOutputBuffer(WaylandHack& hack, HackOutput& output);
// The area each output's surface shows of the desktop, in the order of hack.outputs; one not yet
// configured, or one that shows what another surface already shows, has none.
std::vector<OutputArea> outputAreas(const WaylandHack& hack);

// The seats (hack_seat_wayland.cpp).
void addSeat(WaylandHack& hack, std::uint32_t name, std::uint32_t version);
void removeSeat(WaylandHack& hack, std::uint32_t name);
void releaseSeat(HackSeat& seat);
