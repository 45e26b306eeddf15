// The compositor's outputs, and the full-screen surface on each.
#include "linux/wayland/hack_display_wayland.h"

#include <wayland-client.h>
#include <wayland-egl.h>

#include <algorithm>

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
                       wl_array*)
{
    HackOutput& output = outputOf(data);
    output.offeredWidth = width;
    output.offeredHeight = height;
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
    output.configured = true;
    changed(output);
}

const xdg_surface_listener surfaceListener = {surfaceConfigure};

// Buffer scales came with version 3 of the surface.
int bufferScaleOf(const HackOutput& output)
{
    return wl_surface_get_version(output.surface) >= 3 ? output.scale : 1;
}

void coverOutput(WaylandHack& hack, HackOutput& output)
{
    output.surface = wl_compositor_create_surface(hack.compositor);
    output.xdgSurface = xdg_wm_base_get_xdg_surface(hack.wmBase, output.surface);
    xdg_surface_add_listener(output.xdgSurface, &surfaceListener, &output);
    output.toplevel = xdg_surface_get_toplevel(output.xdgSurface);
    xdg_toplevel_add_listener(output.toplevel, &toplevelListener, &output);
    xdg_toplevel_set_title(output.toplevel, "Tavrel");
    xdg_toplevel_set_app_id(output.toplevel, "tavrel");
    xdg_toplevel_set_fullscreen(output.toplevel, output.output);
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
        if (output->announced && output->surface == nullptr)
            coverOutput(hack, *output);
    }
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
    std::vector<OutputArea> areas;
    for (const auto& output : hack.outputs) {
        OutputArea area;
        if (output->configured)
            area = {output->placed, output->x, output->y, output->width, output->height};
        areas.push_back(area);
    }
    return areas;
}

void releaseOutput(WaylandHack& hack, HackOutput& output)
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
    if (output.toplevel != nullptr)
        xdg_toplevel_destroy(output.toplevel);
    if (output.xdgSurface != nullptr)
        xdg_surface_destroy(output.xdgSurface);
    if (output.surface != nullptr)
        wl_surface_destroy(output.surface);
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
