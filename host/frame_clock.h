// FrameClock: the process-wide timer that measures the seconds between frames.
#pragma once

#include <cstdint>

class FrameClock {
public:
    // Sets the origin; on the first start also reads the counter frequency and a first reading.
    void start();
    // Takes a reading; frameSeconds becomes the time since the previous reading.
    void tick();
    double frameSeconds() const { return seconds; }

private:
    std::int64_t origin = 0;
    std::int64_t frequency = 0;
    double previous = 0.0;
    double seconds = 0.0;
    bool firstStart = true;
};

// The process's frame clock, started by the host's loop.
extern FrameClock frameClock;

// Seconds between the frame clock's last two readings; what the scene advances each frame by.
double frameSeconds();

// The platform's steady counter, which never goes backwards, and how many counts make a second.
std::int64_t clockCounter();
std::int64_t clockCounterFrequency();
