// A host for the Windows-side tests: records what the host calls on it and lets a test act from
// inside the loop, without changing any of the host's own behaviour.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "host/screen_saver.h"

class ProbeSaver : public ScreenSaver {
public:
    ProbeSaver();

    void onSettingsKeyCreated() override { ++keyCreatedCalls; }
    void onSettingsKeyOpened() override { ++keyOpenedCalls; }
    void initScene() override { ++initSceneCalls; }
    void drawFrame() override;
    void onTimer() override;
    void exitUnsupportedMode() override { ++exitUnsupportedCalls; }
    bool createGLContext() override;
    INT_PTR onDialogInit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR handleDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Called at the end of each drawFrame with the number of frames drawn so far.
    std::function<void(int)> onFrame;
    // Called by each onTimer, after it counted.
    std::function<void()> onTimerCalled;
    // Commands posted to the dialog when it opens, in order.
    std::vector<WPARAM> dialogCommands;
    // Whether createGLContext goes on to the host's own; when not, it answers false.
    bool makeRealContext = false;
    // Whether the window's pixel format is set first to one the host does not ask for (without
    // OpenGL or without double buffering), so that the host's own cannot be set.
    bool foreignPixelFormat = false;

    int keyCreatedCalls = 0;
    int keyOpenedCalls = 0;
    int initSceneCalls = 0;
    int timerCalls = 0;
    int exitUnsupportedCalls = 0;
    int glContextCalls = 0;
    bool contextWasCurrent = false;
    std::vector<double> frames; // frameSeconds seen by each frame
    std::vector<INT_PTR> dialogCommandResults;
};

// The module's own instance, for window classes and resources.
HINSTANCE testInstance();

// A private registry key path for one test, removed before the test uses it.
std::string freshTestKeyPath(const std::string& name);
void removeTestKey(const std::string& path);

// Takes every WM_CLOSE waiting for window and answers how many there were.
int takePostedCloses(HWND window);

// A plain top-level window of the saver's class, not shown; the class must be registered.
HWND createHiddenSaverWindow(int width, int height);

// Removes the saver's window class so that the next test can register it again.
void unregisterSaverClass();

// Stands in for a function the program imports, by writing over the slot in its import table
// that the host's calls go through (the function's __imp_ pointer); answers what was there.
template <typename Function, typename StandIn>
Function standIn(Function& import, StandIn with) {
    const Function real = import;
    DWORD old;
    VirtualProtect(&import, sizeof(import), PAGE_READWRITE, &old);
    import = with;
    VirtualProtect(&import, sizeof(import), old, &old);
    return real;
}

// A test with a host and a hidden window of the saver's class as its saver window. A watchdog
// fails a test that is still running after a few seconds, by its name, and ends the loop that
// waits with a WM_QUIT to the saver's window (or, where that does not end it, the program).
class SaverWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    ProbeSaver saver;
    HWND window = nullptr;

private:
    HANDLE finished = nullptr;
    std::thread watchdog;
};
