// The mouse position that gravity steering last saw: kept for the whole process and never reset,
// so that each mouse-move event moves the gravity centre by the motion since the one before.
#pragma once

#include <optional>

// Empty until the first event that reaches the steering; afterwards the position of the previous
// event, or the position the cursor was put back to.
extern std::optional<int> lastMouseX;
extern std::optional<int> lastMouseY;
