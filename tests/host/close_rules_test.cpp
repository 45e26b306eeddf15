#include "host/close_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct InputCase {
    const char* name;
    SaverMode mode;
    bool keepRunningOnInput;
    bool escapeKey;
    bool ends;
};

class InputEndsSaverTest : public ::testing::TestWithParam<InputCase> {};

TEST_P(InputEndsSaverTest, FollowsTheCloseRules) {
    const InputCase& c = GetParam();
    EXPECT_EQ(inputEndsSaver(c.mode, c.keepRunningOnInput, c.escapeKey), c.ends);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, InputEndsSaverTest,
    ::testing::Values(InputCase{"fullscreen_any_input", Fullscreen, false, false, true},
                      InputCase{"fullscreen_escape", Fullscreen, false, true, true},
                      InputCase{"keep_running_other_input", Fullscreen, true, false, false},
                      InputCase{"keep_running_escape", Fullscreen, true, true, true},
                      InputCase{"preview_any_input", Preview, false, false, false},
                      InputCase{"preview_escape", Preview, false, true, false},
                      InputCase{"preview_keep_running_escape", Preview, true, true, false}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.name); });

struct MoveCase {
    const char* name;
    int previousX, previousY, x, y;
    bool jumped;
};

class MouseJumpTest : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MouseJumpTest, CountsMoreThanFivePixels) {
    const MoveCase& c = GetParam();
    EXPECT_EQ(mouseJumped(c.previousX, c.previousY, c.x, c.y), c.jumped);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MouseJumpTest,
    ::testing::Values(MoveCase{"same_place", 10, 10, 10, 10, false},
                      MoveCase{"five_across", 10, 10, 15, 10, false},
                      MoveCase{"five_back_up", 10, 10, 10, 5, false},
                      MoveCase{"three_and_two", 10, 10, 7, 12, false},
                      MoveCase{"three_and_three", 10, 10, 13, 13, true},
                      MoveCase{"six_across", 10, 10, 4, 10, true},
                      MoveCase{"negative_positions", -3, -3, 0, 0, true},
                      MoveCase{"extreme_positions", INT_MIN, INT_MIN, INT_MAX, INT_MAX, true}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return std::string(info.param.name); });

} // namespace
