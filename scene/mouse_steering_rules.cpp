// The arithmetic of mouse-steered gravity.
#include "scene/mouse_steering_rules.h"

bool needsRecentring(int position, int extent)
{
    // Compared as 64-bit so that an extent near the smallest int cannot wrap when 5 is taken off.
    return position <= 0 || static_cast<long long>(position) >= static_cast<long long>(extent) - 5;
}

int recentredPosition(int extent)
{
    return static_cast<int>(extent * 0.5);
}
