// Mouse-steered gravity on Windows: the mouse drags the gravity field's centre, and the cursor is
// put back to the middle of the desktop at its edges so that the mouse can travel without limit.
#include "scene/mouse_steering.h"

#include "fields/gravity_field.h"
#include "scene/gravity_steering.h"
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
    followMouse(gravityField->center, lastMouseX, lastMouseY, x, y);
    // A preview is a picture inside the settings page: the cursor there belongs to the user.
    if (mode != Fullscreen)
        return;
    if (recentreAtEdge(lastMouseX, GetSystemMetrics(SM_CXVIRTUALSCREEN)))
        SetCursorPos(*lastMouseX, *lastMouseY);
    if (recentreAtEdge(lastMouseY, GetSystemMetrics(SM_CYVIRTUALSCREEN)))
        SetCursorPos(*lastMouseX, *lastMouseY);
}
