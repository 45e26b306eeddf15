// The snow scene on X11: the settings from the command line held to the scene's bounds, the
// flake picture the program carries, the shared set-up and frame, and mouse-steered gravity in a
// window of its own.
#pragma once

#include <X11/Xlib.h>

#include <optional>

#include "host/hack_options.h"
#include "scene/snow_scene.h"

class TavrelHack {
public:
    // Under a screen saver daemon a mouse move ends the saver, so the mouse steers gravity only
    // in a window of the program's own.
    TavrelHack(const HackOptions& options, bool ownWindow);

    // Asks for one swap per refresh and runs the shared set-up for a screen of the given shape.
    // Needs the window's OpenGL context current.
    void initScene(double aspect);
    // The shared frame; the host swaps the buffers.
    void drawFrame(double seconds);
    // The gravity centre follows the pointer; at the window's edges the pointer is put back to
    // its middle, so that the mouse can travel without limit.
    void onPointerMotion(Display* display, Window window, int x, int y, int width, int height);

private:
    SnowSettings snow;
    SnowFields fields;
    std::optional<int> lastMouseX;
    std::optional<int> lastMouseY;
};
