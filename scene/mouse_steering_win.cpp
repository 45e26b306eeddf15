// Mouse-steered gravity on Windows: the mouse drags the gravity field's centre, and the cursor is
// put back to the middle of the desktop at its edges so that the mouse can travel without limit.
#include "scene/mouse_steering.h"

#include "fields/gravity_field.h"
#include "scene/gravity_steering.h"
#include "scene/tavrel.h"

std::optional<int> lastMouseX;
std::optional<int> lastMouseY;

namespace {

// Puts the cursor at a position in the saver window's client coordinates. The full-screen window
// starts at the virtual screen's corner, which lies left of or above (0, 0) when a monitor stands
// there, so the position is turned into screen coordinates first.
void putCursorAt(HWND window, int x, int y)
{
    POINT position = {x, y};
    ClientToScreen(window, &position);
    SetCursorPos(position.x, position.y);
}

} // namespace

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
        putCursorAt(saverWindow, *lastMouseX, *lastMouseY);
    if (recentreAtEdge(lastMouseY, GetSystemMetrics(SM_CYVIRTUALSCREEN)))
        putCursorAt(saverWindow, *lastMouseX, *lastMouseY);
}
