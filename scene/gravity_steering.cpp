// Mouse-steered gravity on every platform.
#include "scene/gravity_steering.h"

#include "scene/mouse_steering_rules.h"

void followMouse(Vector3& centre, std::optional<int>& lastX, std::optional<int>& lastY, int x,
                 int y)
{
    if (!lastX)
        lastX = x;
    if (!lastY)
        lastY = y;
    centre.x += steeringUnitsPerPixel * static_cast<double>(x - *lastX);
    centre.y += steeringUnitsPerPixel * static_cast<double>(*lastY - y);
    lastX = x;
    lastY = y;
}

bool recentreAtEdge(std::optional<int>& position, int extent)
{
    if (!position || !needsRecentring(*position, extent))
        return false;
    position = recentredPosition(extent);
    return true;
}
