// Fuzzes the mouse arithmetic with any positions and desktop sizes: the close rule's distance and
// the steering's recentring never overflow, agree with the plain arithmetic done in 64 bits, and a
// cursor that has been put back never asks to be put back again (no endless recentring).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <fuzzer/FuzzedDataProvider.h>

#include "host/close_rules.h"
#include "scene/mouse_steering_rules.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    // Window messages carry 16-bit coordinates, but the rules take any int; both must hold.
    const int previousX = input.ConsumeIntegral<int>();
    const int previousY = input.ConsumeIntegral<int>();
    const int x = input.ConsumeIntegral<int>();
    const int y = input.ConsumeIntegral<int>();
    const int extent = input.ConsumeIntegral<int>();

    const std::int64_t distance = std::llabs(std::int64_t{previousX} - x) +
                                  std::llabs(std::int64_t{previousY} - y);
    FUZZ_CHECK(mouseJumped(previousX, previousY, x, y) == (distance > mouseMoveTolerance));

    const bool expected = x <= 0 || std::int64_t{x} >= std::int64_t{extent} - 5;
    FUZZ_CHECK(needsRecentring(x, extent) == expected);

    const int middle = recentredPosition(extent);
    FUZZ_CHECK(middle == extent / 2);
    if (extent > 10)
        FUZZ_CHECK(!needsRecentring(middle, extent));
    return 0;
}
