// The entry point of tavrel.scr: builds the one host object, fills in what the snow scene needs
// from the host, and runs it.
#include <windows.h>

#include "host/dll_search.h"
#include "host/screen_saver.h"
#include "resources/resource_ids.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    // Before anything can load a DLL: every DLL the program loads later (OpenGL on its first
    // call, and whatever the system loads for it) comes from the system folder, never from the
    // folder the saver was started from or the current directory.
    limitDllSearch();
    ScreenSaver* saver = createScreenSaver();
    saver->commandLine = arguments != nullptr ? arguments : "";
    saver->dialogId = TAVREL_DIALOG_ID;
    saver->instance = instance;
    saver->settingsKeyPath = "Control Panel\\Screen Saver.Tavrel";
    saver->iconId = TAVREL_ICON_ID;
    saver->runFlatOut = false;
    saver->parseCommandLine();
    saver->showCursorForMode();
    saver->run();
    return 0;
}
