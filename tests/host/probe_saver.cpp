// The test host and small helpers shared by the Windows-side host tests.
#include "tests/host/probe_saver.h"

#include <cstdio>

#include "host/frame_clock.h"

ProbeSaver::ProbeSaver() {
    instance = testInstance();
    settingsKeyPath = "Software\\TavrelHostTests\\Default";
}

void ProbeSaver::drawFrame() {
    frames.push_back(frameSeconds());
    if (wglGetCurrentContext() != nullptr) {
        contextWasCurrent = true;
    }
    if (onFrame) {
        onFrame(static_cast<int>(frames.size()));
    }
}

void ProbeSaver::onTimer() {
    ++timerCalls;
    if (onTimerCalled) {
        onTimerCalled();
    }
}

namespace {

// Longer than any run-loop case takes, even under load; a loop that waits for ever fails here.
const DWORD watchdogMilliseconds = 10000;

void setForeignPixelFormat(HWND window) {
    HDC target = GetDC(window);
    PIXELFORMATDESCRIPTOR format = {};
    const int count = DescribePixelFormat(target, 1, sizeof(format), &format);
    for (int index = 1; index <= count; ++index) {
        DescribePixelFormat(target, index, sizeof(format), &format);
        const DWORD wanted = PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        if ((format.dwFlags & wanted) != wanted && SetPixelFormat(target, index, &format)) {
            break;
        }
    }
    ReleaseDC(window, target);
}

} // namespace

bool ProbeSaver::createGLContext() {
    ++glContextCalls;
    if (foreignPixelFormat) {
        setForeignPixelFormat(saverWindow);
    }
    return makeRealContext && ScreenSaver::createGLContext();
}

INT_PTR ProbeSaver::onDialogInit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (WPARAM command : dialogCommands) {
        PostMessageA(window, WM_COMMAND, command, 0);
    }
    return ScreenSaver::onDialogInit(window, message, wParam, lParam);
}

INT_PTR ProbeSaver::handleDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const INT_PTR result = ScreenSaver::handleDialogMessage(window, message, wParam, lParam);
    if (message == WM_COMMAND) {
        dialogCommandResults.push_back(result);
    }
    return result;
}

HINSTANCE testInstance() { return GetModuleHandleA(nullptr); }

std::string freshTestKeyPath(const std::string& name) {
    const std::string path = "Software\\TavrelHostTests\\" + name;
    removeTestKey(path);
    return path;
}

void removeTestKey(const std::string& path) { RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()); }

int takePostedCloses(HWND window) {
    int count = 0;
    MSG message;
    while (PeekMessageA(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE)) {
        ++count;
    }
    return count;
}

HWND createHiddenSaverWindow(int width, int height) {
    return CreateWindowExA(0, "WindowsScreenSaverClass", "ScreenSaver", WS_POPUP, 0, 0, width,
                           height, nullptr, nullptr, testInstance(), nullptr);
}

void unregisterSaverClass() { UnregisterClassA("WindowsScreenSaverClass", testInstance()); }

void SaverWindowTest::SetUp() {
    finished = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    watchdog = std::thread([this, name = std::string(test->test_suite_name()) + "." + test->name()] {
        if (WaitForSingleObject(finished, watchdogMilliseconds) != WAIT_TIMEOUT) {
            return;
        }
        ADD_FAILURE() << name << " still ran after " << watchdogMilliseconds / 1000 << " s";
        PostMessageA(saver.saverWindow, WM_QUIT, 0, 0);
        if (WaitForSingleObject(finished, watchdogMilliseconds) == WAIT_TIMEOUT) {
            std::fprintf(stderr, "%s: still running after WM_QUIT\n", name.c_str());
            std::fflush(stderr);
            ExitProcess(3);
        }
    });
    saver.width = 160;
    saver.height = 120;
    ASSERT_TRUE(saver.registerWindowClass());
    window = createHiddenSaverWindow(saver.width, saver.height);
    ASSERT_NE(window, nullptr);
    saver.saverWindow = window;
}

void SaverWindowTest::TearDown() {
    SetEvent(finished);
    watchdog.join();
    CloseHandle(finished);
    DestroyWindow(window);
    unregisterSaverClass();
}
