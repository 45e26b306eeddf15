// Mouse-steered gravity on every platform: the gravity centre follows the mouse's motion, and the
// remembered position is put back to the middle at the edges so that the mouse can travel without
// limit. The host moves the cursor itself. Portable: no operating-system header.
#pragma once

#include <optional>

#include "particles/vector3.h"

// Moves centre by the motion from the remembered position to (x, y), at steeringUnitsPerPixel,
// with y turned over (window y grows downward, world y upward), then remembers (x, y). The first
// event only sets the remembered position.
void followMouse(Vector3& centre, std::optional<int>& lastX, std::optional<int>& lastY, int x,
                 int y);

// When the remembered position along an axis extent pixels long has reached an edge, puts it to
// the middle and answers true: the host then moves the cursor there. A position never seen stays.
bool recentreAtEdge(std::optional<int>& position, int extent);
