// The test host and small helpers shared by the Windows-side host tests.
#include "tests/host/probe_saver.h"

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

namespace {

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
    saver.width = 160;
    saver.height = 120;
    ASSERT_TRUE(saver.registerWindowClass());
    window = createHiddenSaverWindow(saver.width, saver.height);
    ASSERT_NE(window, nullptr);
    saver.saverWindow = window;
}

void SaverWindowTest::TearDown() {
    DestroyWindow(window);
    unregisterSaverClass();
}
