// Tavrel: the snow scene. Derives from the screen-saver host and turns its empty scene hooks into
// falling snow: settings, OpenGL set-up, one frame per loop pass, mouse-steered gravity and the
// configuration dialog's handlers.
#pragma once

#include "host/screen_saver.h"
#include "scene/snow_settings_rules.h"

class GravityField;
class SpinnerField;
class DecelleratorField;

class Tavrel : public ScreenSaver {
public:
    Tavrel() = default;
    ~Tavrel() override;

    // Reads the settings, sets OpenGL's state and projection, and builds the particle system, its
    // fields, the flake prototype and its endless emitter.
    void initScene() override;
    // Clears, places the camera, advances the snow by the frame clock's seconds, draws, swaps.
    void drawFrame() override;
    INT_PTR onDialogInit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // The host's close rule, then, with gravity steering on, the gravity centre follows the mouse.
    LRESULT onMouseMove(HWND window, int x, int y) override;
    INT_PTR onDialogCommand(HWND window, WPARAM command, LPARAM control, WPARAM endValue) override;
    // Remakes the projection for the new desktop's shape; the snow goes on as it was.
    void onDesktopChanged(int desktopWidth, int desktopHeight) override;

    // Reads the three stored settings over the defaults; turning gravity steering on also keeps
    // the saver running on mouse input.
    void loadSettings();

    bool useGravity = false;
    bool useTransparentFlakes = false;
    int snowCountPerSecond = snowRateDefault;
    int minSnowCountPerSecond = snowRateMinimum;
    int maxSnowCountPerSecond = snowRateMaximum;
    GravityField* gravityField = nullptr;
    SpinnerField* spinnerField = nullptr;
    DecelleratorField* decelleratorField = nullptr;

private:
    void steerGravity(int x, int y);
};
