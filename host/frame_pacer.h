// FramePacer: holds the saver's loop to one frame per refresh of the display it is on.
#pragma once

#include <windows.h>

class FramePacer {
public:
    // Paces to the refresh rate of the monitor that shows most of window; the first frame is due
    // at once.
    explicit FramePacer(HWND window);
    ~FramePacer();

    FramePacer(const FramePacer&) = delete;
    FramePacer& operator=(const FramePacer&) = delete;

    // Waits until the next frame is due; returns at once when the frame is late.
    void waitForNextFrame();

    // Reads the display's refresh rate again, after its mode changed.
    void followRefresh();

private:
    double secondsNow() const;
    void wait(double seconds);

    HWND pacedWindow;
    double frameRate;
    double due;
    double counterFrequency;
    HANDLE timer;
    // The multimedia timer period raised to 1 ms for the run, where no high-resolution waitable
    // timer is offered; the function that puts it back, or null.
    using TimerPeriodFunction = UINT(WINAPI*)(UINT);
    TimerPeriodFunction endTimerPeriod;
    HMODULE multimedia;
};
