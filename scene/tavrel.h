// Tavrel: the snow scene. Derives from the screen-saver host and turns its empty scene hooks into
// falling snow: settings, OpenGL set-up, one frame per loop pass, mouse-steered gravity and the
// configuration dialog's handlers.
#pragma once

#include "host/screen_saver.h"

class GravityField;
class SpinnerField;
class DecelleratorField;

class Tavrel : public ScreenSaver {
public:
    Tavrel() = default;
    ~Tavrel() override;

    void initScene() override;
    void drawFrame() override;
    INT_PTR onDialogInit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT onMouseMove(HWND window, int x, int y) override;
    INT_PTR onDialogCommand(HWND window, WPARAM command, LPARAM control, WPARAM endValue) override;

    bool useGravity = false;
    bool useTransparentFlakes = false;
    int snowCountPerSecond = 100;
    int minSnowCountPerSecond = 10;
    int maxSnowCountPerSecond = 300;
    GravityField* gravityField = nullptr;
    SpinnerField* spinnerField = nullptr;
    DecelleratorField* decelleratorField = nullptr;
};
