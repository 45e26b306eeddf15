// The frame clock's counter on Windows: the performance counter.
#include "host/frame_clock.h"

#include <windows.h>

std::int64_t clockCounter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

std::int64_t clockCounterFrequency() {
    LARGE_INTEGER ticksPerSecond;
    QueryPerformanceFrequency(&ticksPerSecond);
    return ticksPerSecond.QuadPart;
}
