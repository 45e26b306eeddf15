// The frame schedule: one frame per refresh period, a late frame never caught up by a burst.
#include "host/frame_pacing.h"

double pacedFrameRate(int reportedHertz)
{
    constexpr int defaultHertz = 60;
    constexpr double leadOverReported = 1.02;
    const int hertz = reportedHertz > 1 ? reportedHertz : defaultHertz;
    return static_cast<double>(hertz) * leadOverReported;
}

double followedFrameRate(double pacedRate, int reportedHertz)
{
    return reportedHertz > 1 ? pacedFrameRate(reportedHertz) : pacedRate;
}

FrameWait nextFrameWait(double frameRate, double lastDue, double now)
{
    const double period = 1.0 / frameRate;
    const double due = lastDue + period;
    // Negated comparisons, so that a reading that is not a number also starts afresh.
    const bool clockWentBack = !(now >= lastDue);
    const bool farBehind = !(now < due + period);
    if (clockWentBack || farBehind)
        return FrameWait{0.0, now};
    if (now >= due)
        return FrameWait{0.0, due};
    return FrameWait{due - now, due};
}
