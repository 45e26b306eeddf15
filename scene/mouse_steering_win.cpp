// Mouse-steered gravity: the mouse drags the gravity field's centre, and the cursor is put back
// to the middle of the desktop at its edges so that the mouse can travel without limit.
#include "scene/mouse_steering.h"

#include "fields/gravity_field.h"
#include "scene/mouse_steering_rules.h"
#include "scene/tavrel.h"

std::optional<int> lastMouseX;
std::optional<int> lastMouseY;

LRESULT Tavrel::onMouseMove(HWND window, int x, int y)
{
    ScreenSaver::onMouseMove(window, x, y);
    if (useGravity && gravityField != nullptr)
        steerGravity(x, y);
    return 1;
}

void Tavrel::steerGravity(int x, int y)
{
    if (!lastMouseX)
        lastMouseX = x;
    if (!lastMouseY)
        lastMouseY = y;
    // Window y grows downward, world y upward.
    gravityField->center.x += steeringUnitsPerPixel * static_cast<double>(x - *lastMouseX);
    gravityField->center.y += steeringUnitsPerPixel * static_cast<double>(*lastMouseY - y);
    lastMouseX = x;
    lastMouseY = y;

    // A preview is a picture inside the settings page: the cursor there belongs to the user.
    if (mode != Fullscreen)
        return;
    const int desktopWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    if (needsRecentring(*lastMouseX, desktopWidth)) {
        lastMouseX = recentredPosition(desktopWidth);
        SetCursorPos(*lastMouseX, *lastMouseY);
    }
    const int desktopHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (needsRecentring(*lastMouseY, desktopHeight)) {
        lastMouseY = recentredPosition(desktopHeight);
        SetCursorPos(*lastMouseX, *lastMouseY);
    }
}
