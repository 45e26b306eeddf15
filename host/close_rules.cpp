#include "host/close_rules.h"

#include <cstdint>
#include <cstdlib>

bool inputEndsSaver(SaverMode mode, bool keepRunningOnInput, bool escapeKey) {
    if (mode == Preview) {
        return false;
    }
    return escapeKey || !keepRunningOnInput;
}

bool mouseJumped(int previousX, int previousY, int x, int y) {
    // In 64 bits, so that no pair of positions overflows the distance.
    const std::int64_t distance =
        std::llabs(std::int64_t{previousX} - x) + std::llabs(std::int64_t{previousY} - y);
    return distance > mouseMoveTolerance;
}
