// ScreenSaver's life: construction, the run sequence chosen by the command line, the main loop,
// the routes out of the process, and the base behaviour of the scene's hooks.
#include "host/screen_saver.h"

#include <cstdint>
#include <cstdlib>

#include "host/command_line.h"
#include "host/display_notices.h"
#include "host/frame_clock.h"
#include "host/frame_pacer.h"

ScreenSaver* currentSaver = nullptr;

ScreenSaver::ScreenSaver()
    : settingsKeyPath("Control Panel\\Screen Saver.Abstract"),
      saverWindow(nullptr),
      parentWindow(nullptr),
      deviceContext(nullptr),
      instance(nullptr),
      settingsKey(nullptr),
      width(0),
      height(0),
      iconId(0),
      runFlatOut(false),
      keepRunningOnInput(false),
      dialogId(0),
      mode(Unknown),
      displayPower(DisplayPower::On),
      closeStatus(0),
      displayModeChanged(false) {
    currentSaver = this;
}

ScreenSaver::~ScreenSaver() {
    // A message that arrives after the host is gone must find no host rather than a dangling one.
    if (currentSaver == this) {
        currentSaver = nullptr;
    }
}

void ScreenSaver::onSettingsKeyCreated() {}

void ScreenSaver::onSettingsKeyOpened() {}

void ScreenSaver::initScene() {}

void ScreenSaver::drawFrame() {}

void ScreenSaver::onTimer() {}

void ScreenSaver::onDesktopChanged(int, int) {}

void ScreenSaver::exitUnsupportedMode() { std::exit(0); }

void ScreenSaver::exitNow() { std::exit(0); }

void ScreenSaver::parseCommandLine() {
    const SaverCommand command = parseSaverCommand(commandLine);
    mode = command.mode;
    if (mode == Preview) {
        // Window handles are 32-bit values, sign-extended on 64-bit Windows.
        parentWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(command.parentHandle));
    }
}

void ScreenSaver::showCursorForMode() { ShowCursor(mode == Fullscreen ? FALSE : TRUE); }

void ScreenSaver::run() {
    parseCommandLine();
    openSettingsKey();
    switch (mode) {
    case Configure:
        showConfigureDialog();
        std::exit(0);
    case Preview:
        createPreviewWindow();
        break;
    case Fullscreen:
        createFullscreenWindow();
        break;
    case ChangePassword:
    case Unknown:
        exitUnsupportedMode();
        return;
    }
    // Without a window of its own the context would be made on the whole screen's device
    // context, drawing over the desktop; a saver with nowhere to draw simply ends.
    if (saverWindow == nullptr) {
        return;
    }
    if (!createGLContext()) {
        // A screen saver never shows the desktop it was asked to hide; a preview has nothing to
        // show without OpenGL and ends at once.
        closeStatus = 1;
        if (mode == Fullscreen) {
            coverUntilClosed();
        }
        std::exit(closeStatus);
    }
    runLoop();
}

namespace {

// The preview lives inside the settings page: when that page closes, its child goes with it,
// and a saver without a window has nothing left to do.
bool saverWindowGone(const ScreenSaver& saver) {
    if (!IsWindow(saver.saverWindow)) {
        return true;
    }
    return saver.mode == Preview && !IsWindow(saver.parentWindow);
}

// Whether anybody can see a frame drawn now: not while the display is off, nor while the
// preview is hidden with its settings page.
bool pictureSeen(const ScreenSaver& saver) {
    if (!displayShowsPicture(saver.displayPower)) {
        return false;
    }
    return saver.mode != Preview || IsWindowVisible(saver.saverWindow);
}

// A hidden preview is never told that it is shown again, so it looks again four times a second;
// a dark display says when it comes on, so the full screen waits for messages alone.
const DWORD previewLookMilliseconds = 250;

// Takes every message waiting for the saver's window, then sleeps until another one comes (or
// the preview's next look) unless the picture is seen again; false once WM_QUIT came.
bool waitUnseen(ScreenSaver& saver) {
    MSG message;
    while (PeekMessageA(&message, saver.saverWindow, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
        if (message.message == WM_QUIT) {
            return false;
        }
    }
    if (!pictureSeen(saver) && !saverWindowGone(saver)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                  saver.mode == Preview ? previewLookMilliseconds : INFINITE,
                                  QS_ALLINPUT);
    }
    return true;
}

} // namespace

void ScreenSaver::runLoop() {
    initScene();
    // Made before the clock starts, so that their set-up is not counted as the next frame's time.
    FramePacer pacer(saverWindow);
    const DisplayNotices notices(saverWindow);
    frameClock.start();
    bool running = true;
    bool paused = false;
    while (running) {
        MSG message;
        if (PeekMessageA(&message, saverWindow, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                running = false;
            }
            DispatchMessageA(&message);
        }
        if (saverWindowGone(*this)) {
            return;
        }
        if (displayModeChanged) {
            pacer.followRefresh();
            displayModeChanged = false;
        }
        // Nobody can see the picture: draw nothing, and sleep until that changes; after WM_QUIT
        // there is nothing to wait for.
        if (!pictureSeen(*this)) {
            running = running && waitUnseen(*this);
            paused = true;
            continue;
        }
        // The sky goes on as it was when it went out of sight: the pause is not the scene's time.
        if (paused) {
            frameClock.start();
            paused = false;
        }
        drawFrame();
        frameClock.tick();
        // One frame per refresh of the display: where the swap already waited for it the wait is
        // about nothing, elsewhere the loop sleeps the rest of the period instead of drawing
        // frames that nobody sees.
        if (!runFlatOut) {
            pacer.waitForNextFrame();
        }
    }
}
