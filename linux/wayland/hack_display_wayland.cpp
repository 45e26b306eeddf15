// The connection to the Wayland compositor, its globals, and the EGL context.
#include "linux/wayland/hack_display_wayland.h"

#include <EGL/eglext.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "ext-idle-notify-v1-client.h"
#include "idle-client.h"
#include "scene/gl_extension_rules.h"
#include "wlr-layer-shell-unstable-v1-client.h"
#include "xdg-output-unstable-v1-client.h"
#include "xdg-shell-client.h"

namespace {

void pong(void*, xdg_wm_base* wmBase, std::uint32_t serial)
{
    xdg_wm_base_pong(wmBase, serial);
}

const xdg_wm_base_listener wmBaseListener = {pong};

template <typename Global>
void bindOnce(WaylandHack& hack, Global*& global, std::uint32_t name,
              const wl_interface& interface, std::uint32_t version)
{
    if (global == nullptr)
        global = static_cast<Global*>(wl_registry_bind(hack.registry, name, &interface, version));
}

// The globals beyond the surfaces' own: the overlay layer, and where the session's idle time is
// told.
bool announceShellOrIdle(WaylandHack& hack, std::uint32_t name, const char* interface,
                         std::uint32_t version)
{
    if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0)
        bindOnce(hack, hack.layerShell, name, zwlr_layer_shell_v1_interface, std::min(version, 4u));
    else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0)
        bindOnce(hack, hack.idleNotifier, name, ext_idle_notifier_v1_interface, 1);
    else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0)
        bindOnce(hack, hack.kdeIdle, name, org_kde_kwin_idle_interface, 1);
    else
        return false;
    return true;
}

void announceGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                    std::uint32_t version)
{
    WaylandHack& hack = *static_cast<WaylandHack*>(data);
    if (announceShellOrIdle(hack, name, interface, version))
        return;
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && hack.compositor == nullptr) {
        // Version 3 is the first with buffer scales.
        hack.compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, std::min(version, 3u)));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0 && hack.wmBase == nullptr) {
        hack.wmBase = static_cast<xdg_wm_base*>(
            wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(hack.wmBase, &wmBaseListener, &hack);
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 &&
               hack.outputManager == nullptr) {
        hack.outputManager = static_cast<zxdg_output_manager_v1*>(wl_registry_bind(
            registry, name, &zxdg_output_manager_v1_interface, std::min(version, 3u)));
        for (const auto& output : hack.outputs)
            placeOutput(hack, *output);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        addOutput(hack, name, version);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        addSeat(hack, name, version);
    }
}

void removeGlobal(void* data, wl_registry*, std::uint32_t name)
{
    WaylandHack& hack = *static_cast<WaylandHack*>(data);
    removeOutput(hack, name);
    removeSeat(hack, name);
}

const wl_registry_listener registryListener = {announceGlobal, removeGlobal};

// A configuration for OpenGL windows with the colour and depth buffers the X11 host asks for.
// One without alpha, where there is one: the compositor then shows the surface opaque whatever
// the frame leaves in the alpha channel.
bool chooseConfig(WaylandHack& hack)
{
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_RED_SIZE,     8,              EGL_GREEN_SIZE,      8,
                             EGL_BLUE_SIZE,    8,              EGL_DEPTH_SIZE,      16,
                             EGL_NONE};
    EGLConfig configs[64];
    EGLint found = 0;
    if (!eglChooseConfig(hack.eglDisplay, wanted, configs, 64, &found) || found < 1)
        return false;
    hack.eglConfig = configs[0];
    for (EGLint i = 0; i < found; ++i) {
        EGLint alpha = 0;
        if (eglGetConfigAttrib(hack.eglDisplay, configs[i], EGL_ALPHA_SIZE, &alpha) && alpha == 0) {
            hack.eglConfig = configs[i];
            break;
        }
    }
    return true;
}

} // namespace

bool openWaylandEgl(WaylandHack& hack, std::string& error)
{
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!listsExtension(clientExtensions, "EGL_KHR_platform_wayland") &&
        !listsExtension(clientExtensions, "EGL_EXT_platform_wayland")) {
        error = "EGL offers no Wayland platform";
        return false;
    }
    hack.eglDisplay = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, hack.display, nullptr);
    if (hack.eglDisplay == EGL_NO_DISPLAY ||
        !eglInitialize(hack.eglDisplay, nullptr, nullptr)) {
        hack.eglDisplay = EGL_NO_DISPLAY;
        error = "EGL cannot open the Wayland display";
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API) || !chooseConfig(hack)) {
        error = "EGL offers no OpenGL for Wayland windows";
        return false;
    }
    // No attributes: the compatibility profile, for the scene's OpenGL 1.1 calls.
    hack.eglContext = eglCreateContext(hack.eglDisplay, hack.eglConfig, EGL_NO_CONTEXT, nullptr);
    if (hack.eglContext == EGL_NO_CONTEXT) {
        error = "EGL cannot make an OpenGL context";
        return false;
    }
    return true;
}

namespace {

// libwayland's own complaints (no XDG_RUNTIME_DIR, a protocol error) would come beside the one
// line the program writes for each failure, which says what the user can do; they are dropped.
void dropLibraryMessage(const char*, va_list) {}

// Why no connection came: without XDG_RUNTIME_DIR a socket's name leads nowhere, whatever
// WAYLAND_DISPLAY says, unless it is a path of its own.
std::string connectionFailure()
{
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if ((runtime == nullptr || *runtime == '\0') && (name == nullptr || name[0] != '/'))
        return "cannot connect to the Wayland compositor: XDG_RUNTIME_DIR is not set";
    return std::string("cannot connect to the Wayland compositor ") +
           (name != nullptr ? name : "wayland-0") + " (is WAYLAND_DISPLAY right?)";
}

} // namespace

bool connectWaylandHack(WaylandHack& hack, std::string& error)
{
    wl_log_set_handler_client(dropLibraryMessage);
    hack.display = wl_display_connect(nullptr);
    if (hack.display == nullptr) {
        error = connectionFailure();
        return false;
    }
    hack.registry = wl_display_get_registry(hack.display);
    wl_registry_add_listener(hack.registry, &registryListener, &hack);
    if (wl_display_roundtrip(hack.display) < 0) {
        error = "the Wayland compositor closed the connection";
        return false;
    }
    if (hack.compositor == nullptr || (hack.wmBase == nullptr && hack.layerShell == nullptr)) {
        error = "the Wayland compositor offers no xdg-shell (xdg_wm_base) and no wlr-layer-shell";
        return false;
    }
    return true;
}

bool openWaylandHack(WaylandHack& hack, std::string& error)
{
    return connectWaylandHack(hack, error) && openWaylandEgl(hack, error);
}

void closeWaylandHack(WaylandHack& hack)
{
    if (hack.eglDisplay != EGL_NO_DISPLAY)
        eglMakeCurrent(hack.eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    // The surfaces, and the EGL surfaces on them, before the context and the display they use.
    for (const auto& output : hack.outputs)
        releaseOutput(hack, *output);
    hack.outputs.clear();
    if (hack.eglDisplay != EGL_NO_DISPLAY) {
        if (hack.eglContext != EGL_NO_CONTEXT)
            eglDestroyContext(hack.eglDisplay, hack.eglContext);
        eglTerminate(hack.eglDisplay);
    }
    for (const auto& seat : hack.seats)
        releaseSeat(*seat);
    hack.seats.clear();
    if (hack.kdeIdle != nullptr)
        org_kde_kwin_idle_destroy(hack.kdeIdle);
    if (hack.idleNotifier != nullptr)
        ext_idle_notifier_v1_destroy(hack.idleNotifier);
    if (hack.layerShell != nullptr) {
        if (zwlr_layer_shell_v1_get_version(hack.layerShell) >= 3)
            zwlr_layer_shell_v1_destroy(hack.layerShell);
        else
            wl_proxy_destroy(reinterpret_cast<wl_proxy*>(hack.layerShell));
    }
    if (hack.outputManager != nullptr)
        zxdg_output_manager_v1_destroy(hack.outputManager);
    if (hack.wmBase != nullptr)
        xdg_wm_base_destroy(hack.wmBase);
    if (hack.compositor != nullptr)
        wl_compositor_destroy(hack.compositor);
    if (hack.registry != nullptr)
        wl_registry_destroy(hack.registry);
    if (hack.display != nullptr)
        wl_display_disconnect(hack.display);
    hack = WaylandHack();
}
