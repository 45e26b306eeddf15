// The full-screen window's rectangle from the screen's clip box.
#include "host/window_placement.h"

#include <cstdint>
#include <limits>

namespace {

// Edge to edge in 64 bits, so that no pair of 32-bit edges overflows, then held to what a window
// size can be.
int extent(int from, int to)
{
    const std::int64_t size = static_cast<std::int64_t>(to) - from;
    if (size < 0)
        return 0;
    if (size > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(size);
}

} // namespace

WindowRect fullscreenRect(int left, int top, int right, int bottom)
{
    return WindowRect{left, top, extent(left, right), extent(top, bottom)};
}
