// The compositor's outputs, and the surface on each: on the overlay layer, in front of every
// window and panel and with the keyboard its own, where the compositor offers wlr-layer-shell;
// elsewhere a full-screen window, whose loss of the keyboard focus ends the saver.
#include "linux/wayland/hack_display_wayland.h"

#include <wayland-client.h>
#include <wayland-egl.h>

#include <algorithm>

#include "wlr-layer-shell-unstable-v1-client.h"
#include "xdg-output-unstable-v1-client.h"
#include "xdg-shell-client.h"

namespace {

HackOutput& outputOf(void* data)
{
    return *static_cast<HackOutput*>(data);
}

// Whatever changes an output's place, size or scale makes the sky's shape due again.
void changed(HackOutput& output)
{
    output.hack->layoutChanged = true;
}

void outputGeometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                    std::int32_t, const char*, const char*, std::int32_t)
{
}

void outputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width,
                std::int32_t height, std::int32_t)
{
    HackOutput& output = outputOf(data);
    if ((flags & WL_OUTPUT_MODE_CURRENT) == 0)
        return;
    output.modeWidth = width;
    output.modeHeight = height;
    changed(output);
}

void outputDone(void* data, wl_output*)
{
    HackOutput& output = outputOf(data);
    output.announced = true;
    changed(output);
}

void outputScale(void* data, wl_output*, std::int32_t factor)
{
    HackOutput& output = outputOf(data);
    output.scale = std::max(factor, 1);
    changed(output);
}

void outputText(void*, wl_output*, const char*) {}

const wl_output_listener outputListener = {outputGeometry, outputMode, outputDone,
                                           outputScale,    outputText, outputText};

void logicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y)
{
    HackOutput& output = outputOf(data);
    output.placed = true;
    output.x = x;
    output.y = y;
    changed(output);
}

void logicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height)
{
    HackOutput& output = outputOf(data);
    output.logicalWidth = width;
    output.logicalHeight = height;
    changed(output);
}

void xdgOutputDone(void*, zxdg_output_v1*) {}

void xdgOutputText(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener xdgOutputListener = {logicalPosition, logicalSize, xdgOutputDone,
                                                   xdgOutputText, xdgOutputText};

void toplevelConfigure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height,
                       wl_array* states)
{
    HackOutput& output = outputOf(data);
    output.offeredWidth = width;
    output.offeredHeight = height;
    output.offeredActivated = false;
    const auto* state = static_cast<const std::uint32_t*>(states->data);
    for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i)
        output.offeredActivated = output.offeredActivated || state[i] == XDG_TOPLEVEL_STATE_ACTIVATED;
}

// A compositor's close request (a key binding that kills the focused window, say) ends the
// saver as input does.
void toplevelClose(void* data, xdg_toplevel*)
{
    outputOf(data).hack->closeRequested = true;
}

void toplevelBounds(void*, xdg_toplevel*, std::int32_t, std::int32_t) {}

void toplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener toplevelListener = {toplevelConfigure, toplevelClose, toplevelBounds,
                                                toplevelCapabilities};

// The size the compositor offered; where it left the choice to the client, the output's own.
int chosenSize(int offered, int logical, int mode, int scale)
{
    if (offered > 0)
        return offered;
    return logical > 0 ? logical : mode / scale;
}

void surfaceConfigure(void* data, xdg_surface* xdgSurface, std::uint32_t serial)
{
    HackOutput& output = outputOf(data);
    xdg_surface_ack_configure(xdgSurface, serial);
    output.width = chosenSize(output.offeredWidth, output.logicalWidth, output.modeWidth,
                              output.scale);
    output.height = chosenSize(output.offeredHeight, output.logicalHeight, output.modeHeight,
                               output.scale);
    output.activated = output.offeredActivated;
    output.configured = true;
    changed(output);
}

const xdg_surface_listener surfaceListener = {surfaceConfigure};

void layerConfigure(void* data, zwlr_layer_surface_v1* layerSurface, std::uint32_t serial,
                    std::uint32_t width, std::uint32_t height)
{
    HackOutput& output = outputOf(data);
    zwlr_layer_surface_v1_ack_configure(layerSurface, serial);
    output.width = chosenSize(static_cast<int>(width), output.logicalWidth, output.modeWidth,
                              output.scale);
    output.height = chosenSize(static_cast<int>(height), output.logicalHeight,
                               output.modeHeight, output.scale);
    output.configured = true;
    changed(output);
}

// Let go in the run loop, not inside the surface's own event.
void layerClosed(void* data, zwlr_layer_surface_v1*)
{
    HackOutput& output = outputOf(data);
    output.closed = true;
    changed(output);
}

const zwlr_layer_surface_v1_listener layerListener = {layerConfigure, layerClosed};

// Buffer scales came with version 3 of the surface.
int bufferScaleOf(const HackOutput& output)
{
    return wl_surface_get_version(output.surface) >= 3 ? output.scale : 1;
}

// The whole output, over panels and their reserved room, with every key its own.
void coverWithLayer(WaylandHack& hack, HackOutput& output)
{
    output.layerSurface = zwlr_layer_shell_v1_get_layer_surface(
        hack.layerShell, output.surface, output.output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY,
        "tavrel");
    zwlr_layer_surface_v1_add_listener(output.layerSurface, &layerListener, &output);
    zwlr_layer_surface_v1_set_size(output.layerSurface, 0, 0);
    zwlr_layer_surface_v1_set_anchor(output.layerSurface,
                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP |
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(output.layerSurface, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        output.layerSurface, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
}

void coverWithWindow(WaylandHack& hack, HackOutput& output)
{
    output.xdgSurface = xdg_wm_base_get_xdg_surface(hack.wmBase, output.surface);
    xdg_surface_add_listener(output.xdgSurface, &surfaceListener, &output);
    output.toplevel = xdg_surface_get_toplevel(output.xdgSurface);
    xdg_toplevel_add_listener(output.toplevel, &toplevelListener, &output);
    xdg_toplevel_set_title(output.toplevel, "Tavrel");
    xdg_toplevel_set_app_id(output.toplevel, "tavrel");
    xdg_toplevel_set_fullscreen(output.toplevel, output.output);
}

void coverOutput(WaylandHack& hack, HackOutput& output)
{
    output.surface = wl_compositor_create_surface(hack.compositor);
    if (hack.layerShell != nullptr)
        coverWithLayer(hack, output);
    else
        coverWithWindow(hack, output);
    // No buffer yet: the compositor answers with the first configure.
    wl_surface_commit(output.surface);
}

} // namespace

void addOutput(WaylandHack& hack, std::uint32_t name, std::uint32_t version)
{
    auto output = std::make_unique<HackOutput>();
    output->hack = &hack;
    output->name = name;
    // Version 2 brought the scale and the event that ends a description; 3, the release.
    output->output = static_cast<wl_output*>(
        wl_registry_bind(hack.registry, name, &wl_output_interface, std::min(version, 3u)));
    output->announced = version < 2;
    wl_output_add_listener(output->output, &outputListener, output.get());
    placeOutput(hack, *output);
    hack.outputs.push_back(std::move(output));
    hack.layoutChanged = true;
}

void placeOutput(WaylandHack& hack, HackOutput& output)
{
    if (hack.outputManager == nullptr || output.xdgOutput != nullptr)
        return;
    output.xdgOutput = zxdg_output_manager_v1_get_xdg_output(hack.outputManager, output.output);
    zxdg_output_v1_add_listener(output.xdgOutput, &xdgOutputListener, &output);
}

void coverNewOutputs(WaylandHack& hack)
{
    for (const auto& output : hack.outputs) {
        if (output->closed && output->surface != nullptr)
            releaseSurface(hack, *output);
        else if (output->announced && !output->closed && output->surface == nullptr)
            coverOutput(hack, *output);
    }
}

bool anySurface(const WaylandHack& hack)
{
    return std::any_of(hack.outputs.begin(), hack.outputs.end(),
                       [](const auto& output) { return output->surface != nullptr; });
}

namespace {

bool anyKeyboardFocus(const WaylandHack& hack)
{
    return std::any_of(hack.seats.begin(), hack.seats.end(),
                       [](const auto& seat) { return seat->keyboardFocus; });
}

// Once the keys were the saver's, they are another client's when no seat's keyboard is on any of
// its surfaces. The focus that moves from one of the saver's surfaces to another comes as a leave,
// then an enter, and a surface the compositor closed takes the focus with it until it is let go:
// so the closed ones go first, and everything the compositor sent before a round trip is seen.
bool keysTaken(WaylandHack& hack)
{
    if (!hack.everHadKeyboard || anyKeyboardFocus(hack))
        return false;
    coverNewOutputs(hack);
    wl_display_roundtrip(hack.display);
    return !anyKeyboardFocus(hack);
}

} // namespace

void followFocus(WaylandHack& hack)
{
    bool focused = false;
    for (const auto& output : hack.outputs)
        focused = focused || (output->toplevel != nullptr && output->activated);
    if (focused)
        hack.everActivated = true;
    else if (hack.everActivated)
        hack.closeRequested = true;
    if (keysTaken(hack))
        hack.closeRequested = true;
}

bool awaitingActivation(const WaylandHack& hack)
{
    return !hack.everActivated &&
           std::any_of(hack.outputs.begin(), hack.outputs.end(),
                       [](const auto& output) { return output->toplevel != nullptr; });
}

bool sizeOutputBuffer(WaylandHack& hack, HackOutput& output)
{
    const int scale = bufferScaleOf(output);
    const int width = output.width * scale;
    const int height = output.height * scale;
    if (output.eglWindow == nullptr) {
        output.eglWindow = wl_egl_window_create(output.surface, width, height);
        if (output.eglWindow == nullptr)
            return false;
        output.eglSurface = eglCreatePlatformWindowSurface(hack.eglDisplay, hack.eglConfig,
                                                           output.eglWindow, nullptr);
        if (output.eglSurface == EGL_NO_SURFACE)
            return false;
    } else if (width == output.bufferWidth && height == output.bufferHeight &&
               scale == output.bufferScale) {
        return true;
    } else {
        wl_egl_window_resize(output.eglWindow, width, height, 0, 0);
    }
    if (scale > 1 || output.bufferScale > 1)
        wl_surface_set_buffer_scale(output.surface, scale);
    // The whole surface is opaque: the compositor need not draw what lies under it.
    wl_region* opaque = wl_compositor_create_region(hack.compositor);
    wl_region_add(opaque, 0, 0, output.width, output.height);
    wl_surface_set_opaque_region(output.surface, opaque);
    wl_region_destroy(opaque);
    output.bufferWidth = width;
    output.bufferHeight = height;
    output.bufferScale = scale;
    return true;
}

std::vector<OutputArea> outputAreas(const WaylandHack& hack)
{
    std::vector<OutputSurface> surfaces;
    for (const auto& output : hack.outputs) {
        OutputSurface surface;
        // The output's own size, as a surface left to choose would take it.
        surface.output = {output->placed, output->x, output->y,
                          chosenSize(0, output->logicalWidth, output->modeWidth, output->scale),
                          chosenSize(0, output->logicalHeight, output->modeHeight, output->scale)};
        if (output->configured && output->surface != nullptr) {
            surface.width = output->width;
            surface.height = output->height;
            surface.activated = output->activated;
        }
        surfaces.push_back(surface);
    }
    return shownAreas(surfaces);
}

void releaseSurface(WaylandHack& hack, HackOutput& output)
{
    if (output.eglSurface != EGL_NO_SURFACE) {
        // EGL would keep a current surface alive past its window.
        if (eglGetCurrentSurface(EGL_DRAW) == output.eglSurface)
            eglMakeCurrent(hack.eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroySurface(hack.eglDisplay, output.eglSurface);
    }
    if (output.eglWindow != nullptr)
        wl_egl_window_destroy(output.eglWindow);
    if (output.frame != nullptr)
        wl_callback_destroy(output.frame);
    if (output.layerSurface != nullptr)
        zwlr_layer_surface_v1_destroy(output.layerSurface);
    if (output.toplevel != nullptr)
        xdg_toplevel_destroy(output.toplevel);
    if (output.xdgSurface != nullptr)
        xdg_surface_destroy(output.xdgSurface);
    if (output.surface != nullptr)
        wl_surface_destroy(output.surface);
    output.eglSurface = EGL_NO_SURFACE;
    output.eglWindow = nullptr;
    output.frame = nullptr;
    output.layerSurface = nullptr;
    output.toplevel = nullptr;
    output.xdgSurface = nullptr;
    output.surface = nullptr;
    output.offeredWidth = output.offeredHeight = 0;
    output.offeredActivated = output.activated = false;
    output.configured = false;
    output.width = output.height = 0;
    output.bufferWidth = output.bufferHeight = 0;
    output.bufferScale = 1;
    output.hack->layoutChanged = true;
}

void releaseOutput(WaylandHack& hack, HackOutput& output)
{
    releaseSurface(hack, output);
    if (output.xdgOutput != nullptr)
        zxdg_output_v1_destroy(output.xdgOutput);
    if (wl_output_get_version(output.output) >= 3)
        wl_output_release(output.output);
    else
        wl_output_destroy(output.output);
    output = HackOutput();
}

void removeOutput(WaylandHack& hack, std::uint32_t name)
{
    if (releaseNamed(hack.outputs, name,
                     [&hack](HackOutput& output) { releaseOutput(hack, output); }))
        hack.layoutChanged = true;
}
