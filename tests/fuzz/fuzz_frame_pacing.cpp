// Fuzzes the frame schedule and the window placement with any refresh report, clock readings and
// clip box: a wait is never negative, never longer than a period and never not a number, the
// schedule recovers from any reading, and the window never gets a negative size.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include <fuzzer/FuzzedDataProvider.h>

#include "host/frame_pacing.h"
#include "host/window_placement.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // The driver's refresh report is a 32-bit number that the host reads as an int.
    const double rate = pacedFrameRate(input.ConsumeIntegral<int>());
    FUZZ_CHECK(rate > 0.0 && std::isfinite(rate));
    const double period = 1.0 / rate;

    double due = input.ConsumeFloatingPoint<double>();
    for (int frame = 0; frame < 8 && input.remaining_bytes() > 0; ++frame) {
        const double now = input.ConsumeFloatingPoint<double>();
        const FrameWait wait = nextFrameWait(rate, due, now);
        FUZZ_CHECK(wait.seconds >= 0.0);
        FUZZ_CHECK(wait.seconds <= period * (1.0 + 1e-9));
        if (std::isfinite(now))
            FUZZ_CHECK(std::isfinite(wait.due));
        due = wait.due;
    }

    const int left = input.ConsumeIntegral<int>();
    const int top = input.ConsumeIntegral<int>();
    const int right = input.ConsumeIntegral<int>();
    const int bottom = input.ConsumeIntegral<int>();
    const WindowRect rect = fullscreenRect(left, top, right, bottom);
    FUZZ_CHECK(rect.left == left && rect.top == top);
    FUZZ_CHECK(rect.width >= 0 && rect.height >= 0);
    if (right >= left && std::int64_t{right} - left <= INT32_MAX)
        FUZZ_CHECK(rect.width == right - left);
    return 0;
}
