// The configuration dialog's handlers of the snow scene.
#include "scene/tavrel.h"

INT_PTR Tavrel::onDialogInit(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ScreenSaver::onDialogInit(window, message, wParam, lParam);
}

INT_PTR Tavrel::onDialogCommand(HWND window, WPARAM command, LPARAM control, WPARAM endValue)
{
    return ScreenSaver::onDialogCommand(window, command, control, endValue);
}
