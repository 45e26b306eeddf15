// ScreenSaver: the reusable host that turns a scene into a Windows screen saver.
//
// The host owns the command line, the saver window, the OpenGL context, the message loop, the
// frame clock, the rules by which input ends the saver, and the settings key. A scene derives
// from it and overrides the few virtual operations it needs (set-up, frame, mouse, dialog); every
// virtual operation has a base behaviour. The order of the virtual operations below is fixed.
#pragma once

#include <windows.h>

#include <string>

#include "host/display_power.h"
#include "host/saver_mode.h"

class ScreenSaver {
public:
    ScreenSaver();
    virtual ~ScreenSaver();

    ScreenSaver(const ScreenSaver&) = delete;
    ScreenSaver& operator=(const ScreenSaver&) = delete;

    // Hooks run by openSettingsKey after the key was created (first run) or opened.
    virtual void onSettingsKeyCreated();
    virtual void onSettingsKeyOpened();

    // The scene: set up once with the OpenGL context current, then one frame per loop pass.
    virtual void initScene();
    virtual void drawFrame();

    virtual void onTimer();

    // Windows, dialog and OpenGL context.
    virtual INT_PTR showConfigureDialog();
    virtual void createPreviewWindow();
    virtual void createFullscreenWindow();
    virtual void exitUnsupportedMode();
    virtual void exitNow();
    virtual bool registerWindowClass();
    // Makes the OpenGL context current on the saver's window; false, with a line of debug output
    // naming the step that failed, when the driver refuses one.
    virtual bool createGLContext();

    // Message dispatch, reached from saverDialogProc and saverWindowProc.
    virtual INT_PTR handleDialogMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT handleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Message handlers.
    virtual LRESULT onWindowEraseBackground(HWND window, HDC deviceContext, LPARAM lParam);
    virtual LRESULT onWindowCtlColorStatic(HWND window, HDC deviceContext, HWND control);
    virtual INT_PTR onDialogInit(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT onWindowCommand(HWND window, WPARAM command, LPARAM control, WPARAM endValue);
    virtual INT_PTR onDialogEraseBackground(HWND window, HDC deviceContext, LPARAM lParam);
    virtual HBRUSH onDialogCtlColorStatic(HWND window, HDC deviceContext, HWND control);
    virtual LRESULT onMouseMove(HWND window, int x, int y);
    virtual INT_PTR onDialogCommand(HWND window, WPARAM command, LPARAM control, WPARAM endValue);
    virtual LRESULT onKeyDown(WPARAM virtualKey);

    // Resources of the program file.
    virtual const void* loadResource(WORD id, const char* type);
    virtual DWORD resourceSize(WORD id, const char* type);

    // The virtual desktop changed shape (a new resolution, a monitor added or gone): the scene
    // remakes its picture for a desktop of desktopWidth x desktopHeight.
    virtual void onDesktopChanged(int desktopWidth, int desktopHeight);

    // Run sequence.
    void parseCommandLine();
    // Hides the cursor over the full screen and shows it in every other mode.
    void showCursorForMode();
    void run();
    void runLoop();
    // Without OpenGL: keeps the full-screen window up, black, taking its messages, until the
    // close rules close it or WM_QUIT comes.
    void coverUntilClosed();

    // The full-screen window follows a desktop that changed under it; the scene's picture follows
    // in every mode.
    void followDesktop();
    // Notes what a power broadcast or a monitor-power command says of the display.
    void notePowerBroadcast(WPARAM event, LPARAM setting);
    void noteSystemCommand(WPARAM command, LPARAM request);

    // Settings store: 32-bit values under HKEY_CURRENT_USER\settingsKeyPath.
    LONG openSettingsKey();
    bool valueExists(const char* name);
    int readValue(const char* name);
    void writeValue(const char* name, int value);

    std::string settingsKeyPath;
    HWND saverWindow;
    HWND parentWindow;
    HDC deviceContext;
    HINSTANCE instance;
    HKEY settingsKey;
    int width;
    int height;
    int iconId;
    bool runFlatOut;
    bool keepRunningOnInput;
    std::string commandLine;
    WORD dialogId;
    SaverMode mode;
    // Whether the display shows anything, as the last power message said; on until told.
    DisplayPower displayPower;
    // The status the process ends with when its window closes: 1 once OpenGL was refused, so
    // that a saver that could not draw never reports success.
    int closeStatus;
    // Set when the display's mode changed, until the loop has its pacer read the new refresh rate.
    bool displayModeChanged;
};

// The one host object of the process, set by the ScreenSaver constructor.
extern ScreenSaver* currentSaver;

// Window and dialog procedures: forward to currentSaver's dispatch.
LRESULT CALLBACK saverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK saverDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Provided by the scene: creates the program's one host object with the scene's defaults.
ScreenSaver* createScreenSaver();
