// The snow scene of the Linux program, for either of its hosts (X11, Wayland): the settings from
// the command line held to the scene's bounds, the flake picture the program carries, the shared
// set-up and frame in the shape of the drawable, and mouse-steered gravity in a window of its own.
#pragma once

#include <optional>

#include "linux/hack_options.h"
#include "linux/hack_scene.h"
#include "scene/snow_scene.h"

class TavrelHack : public HackScene {
public:
    // Under a screen saver daemon a mouse move ends the saver, so the mouse steers gravity only
    // in a window of the program's own.
    TavrelHack(const HackOptions& options, bool ownWindow);
    // The scene is let go with it, so that a program may snow again with a new one.
    ~TavrelHack() override;
    TavrelHack(const TavrelHack&) = delete;
    TavrelHack& operator=(const TavrelHack&) = delete;

    // Runs the shared set-up for a picture of the drawable's shape; the host has already asked
    // for one swap per refresh.
    void setUp(int width, int height) override;
    void drawFrame(double seconds) override;
    void drawAgain() override;
    // The picture takes the drawable's new shape; the snow goes on.
    void resize(int width, int height) override;
    // The gravity centre follows the pointer; at the window's edges the pointer is put back to
    // its middle, so that the mouse can travel without limit.
    PointerPlacement pointerMoved(int x, int y, int width, int height) override;

private:
    SnowSettings snow;
    SnowFields fields;
    std::optional<int> lastMouseX;
    std::optional<int> lastMouseY;
};
