// The frame clock's counter on Linux: the monotonic clock in nanoseconds, which no change of the
// wall-clock time moves.
#include "host/frame_clock.h"

#include <time.h>

std::int64_t clockCounter() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::int64_t clockCounterFrequency() { return 1000000000; }
