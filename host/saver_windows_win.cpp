// Somewhere to draw: the saver's window class, the full-screen popup, the preview child, the
// OpenGL context on whichever of them exists, and the modal configuration dialog.
#include "host/screen_saver.h"

#include <GL/gl.h>

#include <string>

#include "host/window_placement.h"

namespace {

const char* const saverClassName = "WindowsScreenSaverClass";

// The whole virtual screen: every monitor, wherever the primary one stands among them.
WindowRect virtualScreen() {
    HDC screen = GetDC(nullptr);
    RECT box = {};
    GetClipBox(screen, &box);
    ReleaseDC(nullptr, screen);
    return fullscreenRect(box.left, box.top, box.right, box.bottom);
}

} // namespace

bool ScreenSaver::registerWindowClass() {
    if (width == 0 || height == 0) {
        const WindowRect screen = virtualScreen();
        width = screen.width;
        height = screen.height;
    }
    WNDCLASSEXA saverClass = {};
    saverClass.cbSize = sizeof(saverClass);
    saverClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    saverClass.lpfnWndProc = saverWindowProc;
    saverClass.hInstance = instance;
    saverClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(iconId));
    saverClass.lpszClassName = saverClassName;
    return RegisterClassExA(&saverClass) != 0;
}

void ScreenSaver::createFullscreenWindow() {
    if (!registerWindowClass()) {
        return;
    }
    // A monitor left of or above the primary one puts the virtual screen's corner at negative
    // coordinates: the window starts there, so that it covers that monitor too.
    const WindowRect screen = virtualScreen();
    saverWindow = CreateWindowExA(0, saverClassName, "ScreenSaver", WS_POPUP | WS_VISIBLE,
                                  screen.left, screen.top, width, height, nullptr, nullptr,
                                  instance, nullptr);
    SetWindowPos(saverWindow, nullptr, screen.left, screen.top, width, height, SWP_NOZORDER);
    UpdateWindow(saverWindow);
}

void ScreenSaver::followDesktop() {
    const WindowRect screen = virtualScreen();
    if (mode == Fullscreen) {
        // Parts of a larger desktop that the old window leaves uncovered would show the desktop.
        width = screen.width;
        height = screen.height;
        SetWindowPos(saverWindow, nullptr, screen.left, screen.top, width, height, SWP_NOZORDER);
    }
    // Without a context there is no picture to follow, and OpenGL must not be called.
    if (wglGetCurrentContext() == nullptr) {
        return;
    }
    if (mode == Fullscreen) {
        RECT client;
        GetClientRect(saverWindow, &client);
        glViewport(0, 0, client.right - client.left, client.bottom - client.top);
    }
    onDesktopChanged(screen.width, screen.height);
}

void ScreenSaver::createPreviewWindow() {
    if (!registerWindowClass()) {
        return;
    }
    // The handle came from the command line: make nothing unless it names a window.
    RECT client;
    if (!IsWindow(parentWindow) || !GetClientRect(parentWindow, &client)) {
        return;
    }
    width = client.right - client.left;
    height = client.bottom - client.top;
    saverWindow = CreateWindowExA(0, saverClassName, "Preview",
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                                  parentWindow, nullptr, instance, nullptr);
    SetWindowPos(saverWindow, nullptr, client.left, client.top, width, height, SWP_NOZORDER);
    UpdateWindow(parentWindow);
}

namespace {

// Says which step of making the context failed, where a debugger or a log of debug output sees
// it; answers false so that the caller can give up in one statement.
bool refused(const char* step) {
    OutputDebugStringA((std::string("Tavrel: no OpenGL: ") + step + " failed\n").c_str());
    return false;
}

} // namespace

bool ScreenSaver::createGLContext() {
    deviceContext = GetDC(saverWindow);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER |
                     PFD_GENERIC_FORMAT | PFD_GENERIC_ACCELERATED;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cRedBits = 8;
    format.cGreenBits = 8;
    format.cBlueBits = 8;
    format.cAlphaBits = 8;
    format.cAccumBits = 32;
    format.cAccumRedBits = 8;
    format.cAccumGreenBits = 8;
    format.cAccumBlueBits = 8;
    format.cDepthBits = 16;
    format.cStencilBits = 24;
    // A driver may refuse any step (a remote session, a broken driver, a format it lacks); the
    // steps after a refused one would run on nothing, and some drivers crash there.
    const int chosen = ChoosePixelFormat(deviceContext, &format);
    bool current = false;
    if (chosen == 0) {
        refused("ChoosePixelFormat");
    } else if (!SetPixelFormat(deviceContext, chosen, &format)) {
        refused("SetPixelFormat");
    } else if (HGLRC context = wglCreateContext(deviceContext); context == nullptr) {
        refused("wglCreateContext");
    } else if (!wglMakeCurrent(deviceContext, context)) {
        wglDeleteContext(context);
        refused("wglMakeCurrent");
    } else {
        current = true;
    }
    // The class owns its device context, so the handle stays valid for buffer swaps.
    ReleaseDC(saverWindow, deviceContext);
    return current;
}

void ScreenSaver::coverUntilClosed() {
    // The keyboard comes to the window, as the scene's set-up would have brought it, so that a
    // key still ends the saver.
    SetFocus(saverWindow);
    InvalidateRect(saverWindow, nullptr, FALSE);
    MSG message;
    while (IsWindow(saverWindow)) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                return;
            }
            // Painted here, black, where a context would have drawn: the window's own handlers
            // leave the painting to OpenGL.
            if (message.message == WM_PAINT && message.hwnd == saverWindow) {
                PAINTSTRUCT paint;
                HDC target = BeginPaint(saverWindow, &paint);
                FillRect(target, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                EndPaint(saverWindow, &paint);
                continue;
            }
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
    }
}

INT_PTR ScreenSaver::showConfigureDialog() {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(dialogId), parentWindow, saverDialogProc, 0);
}
