// The frame clock on the platform's steady counter.
#include "host/frame_clock.h"

FrameClock frameClock;

double frameSeconds() { return frameClock.frameSeconds(); }

void FrameClock::start() {
    origin = clockCounter();
    if (firstStart) {
        frequency = clockCounterFrequency();
        firstStart = false;
    }
    // Every start begins a fresh run of frames: the first frame sees 0 and the second the time
    // from here to the first tick, never an interval measured against an older origin.
    previous = static_cast<double>(clockCounter() - origin) / static_cast<double>(frequency);
    seconds = 0.0;
}

void FrameClock::tick() {
    const double now = static_cast<double>(clockCounter() - origin) / static_cast<double>(frequency);
    seconds = now - previous;
    previous = now;
}
