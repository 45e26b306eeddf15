// Frame pacing on Windows: the display's refresh rate from its current mode, and waits precise to
// well under a millisecond, so that frames come evenly spaced.
#include "host/frame_pacer.h"

#include "host/dll_search.h"
#include "host/frame_pacing.h"

namespace {

// Newer Windows offers waitable timers that keep time to a fraction of a millisecond without
// raising the system's timer resolution; older systems refuse the flag.
constexpr DWORD highResolutionTimer = 0x00000002;

int displayRefreshHertz(HWND window)
{
    MONITORINFOEXW monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        return 0;
    DEVMODEW mode = {};
    mode.dmSize = sizeof(mode);
    if (!EnumDisplaySettingsW(monitor.szDevice, ENUM_CURRENT_SETTINGS, &mode))
        return 0;
    return static_cast<int>(mode.dmDisplayFrequency);
}

} // namespace

FramePacer::FramePacer(HWND window)
    : pacedWindow(window),
      frameRate(pacedFrameRate(displayRefreshHertz(window))),
      due(0.0),
      counterFrequency(0.0),
      timer(nullptr),
      endTimerPeriod(nullptr),
      multimedia(nullptr)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    counterFrequency = static_cast<double>(frequency.QuadPart);
    due = secondsNow();

    timer = CreateWaitableTimerExW(nullptr, nullptr, highResolutionTimer, TIMER_ALL_ACCESS);
    if (timer != nullptr)
        return;
    timer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    // Without a high-resolution timer a wait ends on the system's timer tick, up to 15.6 ms late:
    // raise its resolution to 1 ms while the saver runs. The library comes from the system folder
    // only, never from beside the program, also where the search cannot be limited to it.
    multimedia = loadSystemLibrary(L"winmm.dll");
    if (multimedia == nullptr)
        return;
    auto beginTimerPeriod = reinterpret_cast<TimerPeriodFunction>(
        reinterpret_cast<void*>(GetProcAddress(multimedia, "timeBeginPeriod")));
    auto endPeriod = reinterpret_cast<TimerPeriodFunction>(
        reinterpret_cast<void*>(GetProcAddress(multimedia, "timeEndPeriod")));
    if (beginTimerPeriod != nullptr && endPeriod != nullptr && beginTimerPeriod(1) == 0)
        endTimerPeriod = endPeriod;
}

FramePacer::~FramePacer()
{
    if (endTimerPeriod != nullptr)
        endTimerPeriod(1);
    if (multimedia != nullptr)
        FreeLibrary(multimedia);
    if (timer != nullptr)
        CloseHandle(timer);
}

double FramePacer::secondsNow() const
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / counterFrequency;
}

void FramePacer::waitForNextFrame()
{
    const FrameWait next = nextFrameWait(frameRate, due, secondsNow());
    due = next.due;
    if (next.seconds > 0.0)
        wait(next.seconds);
}

void FramePacer::followRefresh()
{
    frameRate = followedFrameRate(frameRate, displayRefreshHertz(pacedWindow));
}

void FramePacer::wait(double seconds)
{
    const DWORD milliseconds = static_cast<DWORD>(seconds * 1000.0);
    if (timer != nullptr) {
        // A relative due time, in units of 100 ns, is negative.
        LARGE_INTEGER dueTime;
        dueTime.QuadPart = -static_cast<LONGLONG>(seconds * 1e7);
        if (SetWaitableTimer(timer, &dueTime, 0, nullptr, nullptr, FALSE)) {
            // Bounded all the same: a timer that never fires must not stop the saver.
            WaitForSingleObject(timer, milliseconds + 100);
            return;
        }
    }
    Sleep(milliseconds);
}
