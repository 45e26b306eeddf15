// The frame schedule and the full-screen window's rectangle.
#include "host/frame_pacing.h"
#include "host/window_placement.h"

#include <gtest/gtest.h>

#include <string>

namespace {

enum class Outcome { WaitsRestOfPeriod, LateKeepsSchedule, StartsAgainFromNow };

struct PaceCase {
    const char* name;
    int reportedHertz;
    double frameTook; // seconds from the last frame's due time to now
    Outcome outcome;
};

class FramePacingTest : public ::testing::TestWithParam<PaceCase> {};

TEST_P(FramePacingTest, WaitsOutThePeriodAndNeverCatchesUp)
{
    const PaceCase& c = GetParam();
    const double rate = pacedFrameRate(c.reportedHertz);
    const double lastDue = 1000.0;
    const double now = lastDue + c.frameTook;
    const FrameWait wait = nextFrameWait(rate, lastDue, now);
    switch (c.outcome) {
    case Outcome::WaitsRestOfPeriod:
        EXPECT_DOUBLE_EQ(wait.due, lastDue + 1.0 / rate);
        EXPECT_GT(wait.seconds, 0.0);
        EXPECT_NEAR(now + wait.seconds, wait.due, 1e-9);
        break;
    case Outcome::LateKeepsSchedule:
        EXPECT_DOUBLE_EQ(wait.due, lastDue + 1.0 / rate);
        EXPECT_EQ(wait.seconds, 0.0);
        break;
    case Outcome::StartsAgainFromNow:
        EXPECT_EQ(wait.due, now);
        EXPECT_EQ(wait.seconds, 0.0);
        break;
    }
}

// A frame that took 2 ms waits out the rest of its period at every rate; one of 16 ms still waits
// a little at 60 Hz and is late at 144 Hz; 16 ms at 240 Hz and 40 ms at 60 or 144 Hz are more
// than a period late, so the schedule starts again instead of drawing catch-up frames. A clock
// that jumped back, or a day ahead, starts it again too.
INSTANTIATE_TEST_SUITE_P(
    Refreshes, FramePacingTest,
    ::testing::Values(PaceCase{"unreported_0_took_2ms", 0, 0.002, Outcome::WaitsRestOfPeriod},
                      PaceCase{"unreported_1_took_2ms", 1, 0.002, Outcome::WaitsRestOfPeriod},
                      PaceCase{"hz59_took_2ms", 59, 0.002, Outcome::WaitsRestOfPeriod},
                      PaceCase{"hz60_took_16ms", 60, 0.016, Outcome::WaitsRestOfPeriod},
                      PaceCase{"hz144_took_2ms", 144, 0.002, Outcome::WaitsRestOfPeriod},
                      PaceCase{"hz144_took_8ms", 144, 0.008, Outcome::LateKeepsSchedule},
                      PaceCase{"hz240_took_16ms", 240, 0.016, Outcome::StartsAgainFromNow},
                      PaceCase{"hz60_took_40ms", 60, 0.040, Outcome::StartsAgainFromNow},
                      PaceCase{"hz144_took_40ms", 144, 0.040, Outcome::StartsAgainFromNow},
                      PaceCase{"clock_went_back", 60, -5.0, Outcome::StartsAgainFromNow},
                      PaceCase{"clock_jumped_a_day", 60, 86400.0, Outcome::StartsAgainFromNow}),
    [](const ::testing::TestParamInfo<PaceCase>& info) { return std::string(info.param.name); });

TEST(FramePacingTest, PacesJustAboveTheReportedRate)
{
    // Unreported rates take 60 Hz; every rate is paced a little fast, so that a swap that waits
    // for the display never misses a refresh because of the wait.
    EXPECT_EQ(pacedFrameRate(0), pacedFrameRate(60));
    EXPECT_EQ(pacedFrameRate(1), pacedFrameRate(60));
    for (int hertz : {59, 60, 144, 240}) {
        EXPECT_GT(pacedFrameRate(hertz), hertz + 0.94);
        EXPECT_LT(pacedFrameRate(hertz), hertz * 1.05);
    }
}

TEST(FramePacingTest, SteadyFramesKeepTheRateWithoutDrift)
{
    // Frames that each take 5 ms: over 600 frames the schedule advances exactly one period each.
    const double rate = pacedFrameRate(60);
    double due = 0.0;
    for (int frame = 0; frame < 600; ++frame) {
        const FrameWait wait = nextFrameWait(rate, due, due + 0.005);
        due = wait.due;
    }
    EXPECT_NEAR(due, 600.0 / rate, 1e-6);
}

TEST(FramePacingTest, ANewModeBringsItsRateAndASilentOneKeepsTheOld)
{
    const struct {
        int before;
        int reportedAfter;
        int pacedAfter;
    } cases[] = {{60, 144, 144}, {144, 60, 60}, {144, 0, 144}, {144, 1, 144}, {75, 75, 75}};
    for (const auto& c : cases)
        EXPECT_EQ(followedFrameRate(pacedFrameRate(c.before), c.reportedAfter),
                  pacedFrameRate(c.pacedAfter))
            << c.before << " Hz, then " << c.reportedAfter;
}

struct RectCase {
    const char* name;
    int left, top, right, bottom;
    WindowRect expected;
};

class FullscreenRectTest : public ::testing::TestWithParam<RectCase> {};

TEST_P(FullscreenRectTest, CoversTheWholeVirtualScreen)
{
    const RectCase& c = GetParam();
    const WindowRect rect = fullscreenRect(c.left, c.top, c.right, c.bottom);
    EXPECT_EQ(rect.left, c.expected.left);
    EXPECT_EQ(rect.top, c.expected.top);
    EXPECT_EQ(rect.width, c.expected.width);
    EXPECT_EQ(rect.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, FullscreenRectTest,
    ::testing::Values(RectCase{"single_monitor", 0, 0, 1920, 1080, {0, 0, 1920, 1080}},
                      RectCase{"second_left_of_primary", -1280, 0, 1920, 1080, {-1280, 0, 3200, 1080}},
                      RectCase{"second_above_primary", 0, -720, 1920, 1080, {0, -720, 1920, 1800}},
                      RectCase{"second_right_of_primary", 0, 0, 2304, 768, {0, 0, 2304, 768}},
                      RectCase{"edges_reversed", 100, 100, 0, 0, {100, 100, 0, 0}},
                      RectCase{"widest_edges", -2147483647 - 1, 0, 2147483647, 1, {-2147483647 - 1, 0, 2147483647, 1}}),
    [](const ::testing::TestParamInfo<RectCase>& info) { return std::string(info.param.name); });

} // namespace
