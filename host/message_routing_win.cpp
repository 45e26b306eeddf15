// Message routing: the two procedures Windows calls, the host's dispatch tables, the base
// handlers, and the rules by which input ends the saver.
#include "host/screen_saver.h"

#include <cstdlib>

#include "host/close_rules.h"

namespace {

const COLORREF white = 0x00FFFFFF;
const COLORREF blue = 0x00FF0000;

// Where the mouse was at the previous mouse-move message; kept for the life of the process.
struct MousePosition {
    bool known = false;
    int x = 0;
    int y = 0;
};
MousePosition previousMouse;

// The last mouse-move message's position, as it came; a move to another one is the user's.
LPARAM lastPointer = -1;

// Input turns a display that was off on again, whether or not Windows tells this window so.
bool wakesDisplay(UINT message, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return true;
    case WM_MOUSEMOVE: {
        const bool moved = lastPointer != -1 && lParam != lastPointer;
        lastPointer = lParam;
        return moved;
    }
    default:
        return false;
    }
}

HBRUSH dialogEraseBrush = nullptr;
HBRUSH dialogStaticBrush = nullptr;

} // namespace

LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (currentSaver == nullptr) {
        return 0;
    }
    return currentSaver->handleWindowMessage(window, message, wParam, lParam);
}

INT_PTR CALLBACK saverDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (currentSaver == nullptr) {
        return 0;
    }
    return currentSaver->handleDialogMessage(window, message, wParam, lParam);
}

LRESULT ScreenSaver::handleWindowMessage(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
    if (wakesDisplay(message, lParam)) {
        displayPower = DisplayPower::On;
    }
    switch (message) {
    case WM_CLOSE:
        std::exit(closeStatus);
    case WM_ERASEBKGND:
        return onWindowEraseBackground(window, reinterpret_cast<HDC>(wParam), lParam);
    case WM_KEYDOWN:
        return onKeyDown(wParam);
    case WM_INITDIALOG:
        return 1;
    case WM_COMMAND:
        return onWindowCommand(window, wParam, lParam, wParam);
    case WM_TIMER:
        onTimer();
        return 1;
    case WM_CTLCOLORSTATIC:
        return onWindowCtlColorStatic(window, reinterpret_cast<HDC>(wParam),
                                      reinterpret_cast<HWND>(lParam));
    case WM_MOUSEMOVE:
        // The coordinates are signed 16-bit values: a second monitor may lie left of or above
        // the first.
        return onMouseMove(window, static_cast<short>(LOWORD(lParam)),
                           static_cast<short>(HIWORD(lParam)));
    // The display's power and the desktop's shape are noted, and Windows still acts on them:
    // a saver that kept the monitor-power command to itself would keep the display on.
    case WM_POWERBROADCAST:
        notePowerBroadcast(wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SYSCOMMAND:
        noteSystemCommand(wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_DISPLAYCHANGE:
        displayModeChanged = true;
        followDesktop();
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_MOUSEACTIVATE:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (inputEndsSaver(mode, keepRunningOnInput, false)) {
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

INT_PTR ScreenSaver::handleDialogMessage(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return onDialogEraseBackground(window, reinterpret_cast<HDC>(wParam), lParam);
    case WM_INITDIALOG:
        return onDialogInit(window, WM_INITDIALOG, wParam, lParam);
    case WM_COMMAND:
        onDialogCommand(window, wParam, lParam, wParam);
        return 1;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(onDialogCtlColorStatic(
            window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    default:
        return 0;
    }
}

LRESULT ScreenSaver::onWindowEraseBackground(HWND, HDC, LPARAM) { return 0; }

LRESULT ScreenSaver::onWindowCtlColorStatic(HWND, HDC, HWND) { return 0; }

LRESULT ScreenSaver::onWindowCommand(HWND, WPARAM, LPARAM, WPARAM) { return 0; }

INT_PTR ScreenSaver::onDialogInit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR ScreenSaver::onDialogEraseBackground(HWND window, HDC deviceContext, LPARAM) {
    if (dialogEraseBrush == nullptr) {
        dialogEraseBrush = CreateSolidBrush(white);
    }
    RECT client;
    GetClientRect(window, &client);
    FillRect(deviceContext, &client, dialogEraseBrush);
    return 1;
}

HBRUSH ScreenSaver::onDialogCtlColorStatic(HWND, HDC deviceContext, HWND) {
    if (dialogStaticBrush == nullptr) {
        dialogStaticBrush = CreateSolidBrush(white);
    }
    SetBkColor(deviceContext, white);
    SetTextColor(deviceContext, blue);
    return dialogStaticBrush;
}

INT_PTR ScreenSaver::onDialogCommand(HWND window, WPARAM command, LPARAM, WPARAM endValue) {
    const WORD id = LOWORD(command);
    if (id != IDOK && id != IDCANCEL) {
        return 0;
    }
    EndDialog(window, static_cast<INT_PTR>(endValue));
    return 1;
}

LRESULT ScreenSaver::onKeyDown(WPARAM virtualKey) {
    if (inputEndsSaver(mode, keepRunningOnInput, virtualKey == VK_ESCAPE)) {
        PostMessageA(saverWindow, WM_CLOSE, 0, 0);
    }
    return 1;
}

LRESULT ScreenSaver::onMouseMove(HWND window, int x, int y) {
    if (!previousMouse.known) {
        previousMouse = {true, x, y};
    }
    if (mouseJumped(previousMouse.x, previousMouse.y, x, y) &&
        inputEndsSaver(mode, keepRunningOnInput, false)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    previousMouse = {true, x, y};
    return 1;
}
