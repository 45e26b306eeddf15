// The display's power on a real window: the console display's state and the monitor-power
// command pause the frames or not, still reach DefWindowProcA, and input still ends the saver.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "tests/host/child_process.h"
#include "tests/host/probe_saver.h"

// The program's import of DefWindowProcA, which the host's code calls through.
extern "C" LRESULT(WINAPI* __imp_DefWindowProcA)(HWND, UINT, WPARAM, LPARAM);

namespace {

struct PowerMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The console display's state as Windows broadcasts it: a setting of one 32-bit value.
struct DisplayStateSetting {
    GUID setting;
    DWORD dataLength;
    DWORD state;
};
const GUID consoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
const DisplayStateSetting off{consoleDisplayState, 4, 0}, on{consoleDisplayState, 4, 1},
    dimmed{consoleDisplayState, 4, 2};

PowerMessage broadcast(const DisplayStateSetting& setting) {
    return {WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&setting)};
}

PowerMessage monitorPower(LPARAM request) { return {WM_SYSCOMMAND, SC_MONITORPOWER, request}; }

// A small move of the mouse: it lights a display that was off without ending the saver, where
// Windows may never say that the display is on again.
PowerMessage smallMouseMove() { return {WM_MOUSEMOVE, 0, MAKELPARAM(7, 6)}; }

// Counts the power messages that reach DefWindowProcA, by standing in for it in the import.
using DefWindowProcFunction = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
DefWindowProcFunction realDefWindowProc = nullptr;
int powerMessagesPassedOn = 0;

LRESULT WINAPI countingDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_POWERBROADCAST || message == WM_SYSCOMMAND) {
        ++powerMessagesPassedOn;
    }
    return realDefWindowProc(window, message, wParam, lParam);
}

struct PowerCase {
    const char* name;
    PowerMessage away;
    PowerMessage back;
    bool pauses;
    int passedOn = 2; // power messages that reach DefWindowProcA
};

class DisplayPowerTest : public SaverWindowTest, public ::testing::WithParamInterface<PowerCase> {};

// Frame 3 sends away, another thread sends back 400 ms later, and three frames after that the
// loop quits.
TEST_P(DisplayPowerTest, PausesOnlyWhileNobodySees) {
    const PowerCase& c = GetParam();
    realDefWindowProc = standIn(__imp_DefWindowProcA, countingDefWindowProc);
    powerMessagesPassedOn = 0;
    std::thread sender;
    std::vector<DWORD> drawnAt;
    std::atomic<DWORD> backAt{0};
    bool quitPosted = false;
    saver.onFrame = [&](int frame) {
        drawnAt.push_back(GetTickCount());
        if (frame == 1) {
            // Where the pointer starts, as a saver learns it from its first mouse move.
            SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        } else if (frame == 3) {
            SendMessageA(window, c.away.message, c.away.wParam, c.away.lParam);
            sender = std::thread([&] {
                Sleep(400);
                backAt = GetTickCount();
                SendMessageA(window, c.back.message, c.back.wParam, c.back.lParam);
            });
        } else if (backAt != 0 && drawnAt.end()[-3] >= backAt && !quitPosted) {
            PostMessageA(window, WM_QUIT, 0, 0);
            quitPosted = true;
        }
    };
    saver.runLoop();
    sender.join();
    standIn(__imp_DefWindowProcA, realDefWindowProc);
    EXPECT_EQ(powerMessagesPassedOn, c.passedOn);
    const auto drawnWhileAway = std::count_if(drawnAt.begin() + 3, drawnAt.end(),
                                              [&backAt](DWORD at) { return at < backAt; });
    if (c.pauses) {
        EXPECT_EQ(drawnWhileAway, 0);
        EXPECT_LE(std::max(saver.frames[3], saver.frames[4]), 1.0 / 30) << "the pause went on";
    } else {
        EXPECT_GT(drawnWhileAway, 5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Messages, DisplayPowerTest,
    ::testing::Values(
        PowerCase{"display_off_then_on", broadcast(off), broadcast(on), true},
        PowerCase{"display_dimmed", broadcast(dimmed), broadcast(on), false},
        PowerCase{"monitor_off_then_on", monitorPower(2), monitorPower(-1), true},
        PowerCase{"monitor_low_power", monitorPower(1), monitorPower(-1), true},
        PowerCase{"display_off_then_mouse", broadcast(off), smallMouseMove(), true, 1}),
    [](const ::testing::TestParamInfo<PowerCase>& info) { return info.param.name; });

// Escape while the display is off still ends the saver, with status 0.
const ChildCase escapeWhileOff("escape_while_off", [] {
    ProbeSaver saver;
    saver.mode = Fullscreen;
    saver.registerWindowClass();
    saver.saverWindow = createHiddenSaverWindow(160, 120);
    saver.onFrame = [&saver](int frame) {
        if (frame == 1) {
            SendMessageA(saver.saverWindow, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
            std::thread([&saver] {
                Sleep(300);
                PostMessageA(saver.saverWindow, WM_KEYDOWN, VK_ESCAPE, 0);
            }).detach();
        }
    };
    saver.runLoop();
    return saver.frames.size() == 1 ? 6 : 7;
});

TEST(DisplayOffTest, EscapeEndsWithStatusZero) {
    EXPECT_EQ(runInChildProcess("escape_while_off"), 0);
}

} // namespace
