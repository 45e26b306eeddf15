// The monotonic clock in milliseconds, for waits that have a deadline.
#pragma once

#include <cstdint>

#include "host/frame_clock.h"

inline std::int64_t monotonicMilliseconds()
{
    return clockCounter() / (clockCounterFrequency() / 1000);
}
