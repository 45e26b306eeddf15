// The close rules on a real window: which input posts WM_CLOSE, observed in the window's queue.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/host/child_process.h"
#include "tests/host/probe_saver.h"

namespace {

class CloseRulesTest : public SaverWindowTest {
protected:
    // The previous mouse position lives for the whole process: start every case from a known one.
    void settleMouseAt(int x, int y) {
        SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        takePostedCloses(window);
    }
};

struct InputCase {
    const char* name;
    SaverMode mode;
    bool keepRunningOnInput;
    UINT message;
    WPARAM wParam;
    bool ends;
};

class CloseOnInputTest : public CloseRulesTest, public ::testing::WithParamInterface<InputCase> {};

TEST_P(CloseOnInputTest, PostsCloseOnlyWhenTheRulesSay) {
    const InputCase& c = GetParam();
    saver.mode = c.mode;
    saver.keepRunningOnInput = c.keepRunningOnInput;
    takePostedCloses(window);
    SendMessageA(window, c.message, c.wParam, 0);
    EXPECT_EQ(takePostedCloses(window), c.ends ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CloseOnInputTest,
    ::testing::Values(
        InputCase{"key", Fullscreen, false, WM_KEYDOWN, 'A', true},
        InputCase{"key_keep_running", Fullscreen, true, WM_KEYDOWN, 'A', false},
        InputCase{"escape", Fullscreen, false, WM_KEYDOWN, VK_ESCAPE, true},
        InputCase{"escape_keep_running", Fullscreen, true, WM_KEYDOWN, VK_ESCAPE, true},
        InputCase{"system_key", Fullscreen, false, WM_SYSKEYDOWN, VK_MENU, true},
        InputCase{"system_key_keep_running", Fullscreen, true, WM_SYSKEYDOWN, VK_MENU, false},
        InputCase{"left_button", Fullscreen, false, WM_LBUTTONDOWN, MK_LBUTTON, true},
        InputCase{"right_button", Fullscreen, false, WM_RBUTTONDOWN, MK_RBUTTON, true},
        InputCase{"middle_button", Fullscreen, false, WM_MBUTTONDOWN, MK_MBUTTON, true},
        InputCase{"left_button_keep_running", Fullscreen, true, WM_LBUTTONDOWN, MK_LBUTTON, false},
        InputCase{"right_button_keep_running", Fullscreen, true, WM_RBUTTONDOWN, MK_RBUTTON, false},
        InputCase{"middle_button_keep_running", Fullscreen, true, WM_MBUTTONDOWN, MK_MBUTTON, false},
        InputCase{"activation_click", Fullscreen, false, WM_MOUSEACTIVATE, 0, true},
        InputCase{"activation_click_keep_running", Fullscreen, true, WM_MOUSEACTIVATE, 0, false},
        InputCase{"key_up_ignored", Fullscreen, false, WM_KEYUP, 'A', false},
        InputCase{"preview_key", Preview, false, WM_KEYDOWN, 'A', false},
        InputCase{"preview_escape", Preview, false, WM_KEYDOWN, VK_ESCAPE, false},
        InputCase{"preview_system_key", Preview, false, WM_SYSKEYDOWN, VK_MENU, false},
        InputCase{"preview_button", Preview, false, WM_LBUTTONDOWN, MK_LBUTTON, false},
        InputCase{"preview_activation_click", Preview, false, WM_MOUSEACTIVATE, 0, false}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.name); });

struct MouseCase {
    const char* name;
    SaverMode mode;
    bool keepRunningOnInput;
    std::pair<int, int> start;
    std::vector<std::pair<int, int>> moves;
    bool ends;
};

class CloseOnMouseTest : public CloseRulesTest, public ::testing::WithParamInterface<MouseCase> {};

TEST_P(CloseOnMouseTest, ComparesConsecutiveMoves) {
    const MouseCase& c = GetParam();
    settleMouseAt(c.start.first, c.start.second);
    saver.mode = c.mode;
    saver.keepRunningOnInput = c.keepRunningOnInput;
    int closes = 0;
    for (const auto& move : c.moves) {
        EXPECT_EQ(SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(move.first, move.second)), 1);
        closes += takePostedCloses(window);
    }
    EXPECT_EQ(closes, c.ends ? 1 : 0);
}

std::vector<std::pair<int, int>> stepsOfFive(int count) {
    std::vector<std::pair<int, int>> steps;
    for (int i = 1; i <= count; ++i) {
        steps.emplace_back(100 + 5 * i, 100);
    }
    return steps;
}

INSTANTIATE_TEST_SUITE_P(
    Moves, CloseOnMouseTest,
    ::testing::Values(
        MouseCase{"three_and_three", Fullscreen, false, {100, 100}, {{103, 103}}, true},
        MouseCase{"five_across", Fullscreen, false, {100, 100}, {{105, 100}}, false},
        MouseCase{"six_down", Fullscreen, false, {100, 100}, {{100, 106}}, true},
        MouseCase{"many_steps_of_five", Fullscreen, false, {100, 100}, stepsOfFive(40), false},
        MouseCase{"jump_keep_running", Fullscreen, true, {100, 100}, {{400, 300}}, false},
        MouseCase{"jump_in_preview", Preview, false, {100, 100}, {{400, 300}}, false},
        MouseCase{"across_the_left_edge", Fullscreen, false, {1, 0}, {{-2, 0}}, false},
        MouseCase{"far_left_of_the_screen", Fullscreen, false, {1, 0}, {{-20, 0}}, true}),
    [](const ::testing::TestParamInfo<MouseCase>& info) { return std::string(info.param.name); });

// A fresh process has no previous position: its first move compares with itself.
const ChildCase firstMoveCase("first_mouse_move", [] {
    ProbeSaver saver;
    saver.mode = Fullscreen;
    saver.width = 100;
    saver.height = 100;
    if (!saver.registerWindowClass()) {
        return 2;
    }
    HWND window = createHiddenSaverWindow(100, 100);
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(900, 700));
    const int firstCloses = takePostedCloses(window);
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(905, 700));
    const int secondCloses = takePostedCloses(window);
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    const int jumpCloses = takePostedCloses(window);
    return firstCloses == 0 && secondCloses == 0 && jumpCloses == 1 ? 0 : 1;
});

TEST(FirstMouseMoveTest, NeverEndsTheSaver) { EXPECT_EQ(runInChildProcess("first_mouse_move"), 0); }

} // namespace
