// The frame clock on the performance counter.
#include "host/frame_clock.h"

#include <windows.h>

FrameClock frameClock;

double frameSeconds() { return frameClock.frameSeconds(); }

namespace {

std::int64_t counterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

} // namespace

void FrameClock::start() {
    origin = counterNow();
    if (firstStart) {
        LARGE_INTEGER ticksPerSecond;
        QueryPerformanceFrequency(&ticksPerSecond);
        frequency = ticksPerSecond.QuadPart;
        firstStart = false;
    }
    // Every start begins a fresh run of frames: the first frame sees 0 and the second the time
    // from here to the first tick, never an interval measured against an older origin.
    previous = static_cast<double>(counterNow() - origin) / static_cast<double>(frequency);
    seconds = 0.0;
}

void FrameClock::tick() {
    const double now = static_cast<double>(counterNow() - origin) / static_cast<double>(frequency);
    seconds = now - previous;
    previous = now;
}
