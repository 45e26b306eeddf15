// When the next frame is due, so that the saver draws one frame per display refresh and no more.
// Portable: no operating-system header.
//
// The loop draws, then waits until the next frame is due. Where the buffer swap already waits for
// the display, the frame arrives at or after its due time and the wait is about zero; where it
// does not (a software renderer, a driver that ignores the swap interval), the loop sleeps the
// rest of the period instead of drawing frames that nobody sees.
#pragma once

// Frames a second the saver paces to for the refresh rate the display reports in whole hertz: a
// little above it, because displays report fractional rates rounded down (59 for 59.94 Hz), and a
// wait that ended after the display's refresh would miss it and show a frame twice. A report of 0
// or 1 means "the hardware's default" and says nothing about the rate: then 60 Hz is assumed.
double pacedFrameRate(int reportedHertz);

// The rate after the display's mode changed, from the rate paced to so far and the refresh rate
// the new mode reports: a report that says nothing of the rate (0, 1, or a mode that could not be
// read) keeps the rate that was right until now.
double followedFrameRate(double pacedRate, int reportedHertz);

struct FrameWait {
    double seconds; // how long to wait now, never negative
    double due;     // when the next frame is due, on the same clock as now
};

// The wait after a frame, at frameRate frames a second. lastDue is when the frame just drawn was
// due and now is the clock's reading, both in seconds on one clock. The next frame is due one
// period after the last. A late frame keeps the schedule while it is late by less than a period,
// so that the rate holds; a later one (a stall, a pause, a clock that jumped ahead) or a clock
// that went backwards starts the schedule again from now, so that no burst of catch-up frames
// follows.
FrameWait nextFrameWait(double frameRate, double lastDue, double now);
