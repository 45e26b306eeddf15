// The configuration dialog's handlers of the snow scene: the dialog opens showing the stored
// settings, the check boxes change the scene's settings as they are clicked, and OK stores all
// three; Cancel and the close box store nothing.
#include "scene/tavrel.h"

#include <string>

#include "resources/resource_ids.h"
#include "scene/rate_text_rules.h"

namespace {

bool storedFlag(ScreenSaver& saver, const char* name)
{
    return saver.valueExists(name) && saver.readValue(name) != 0;
}

bool isChecked(LPARAM control)
{
    return SendMessageA(reinterpret_cast<HWND>(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

} // namespace

INT_PTR Tavrel::onDialogInit(HWND window, UINT, WPARAM, LPARAM)
{
    // An absent or zero flag leaves its box as the template has it: unchecked.
    if (storedFlag(*this, "useGravity")) {
        useGravity = true;
        CheckDlgButton(window, TAVREL_GRAVITY_BOX_ID, BST_CHECKED);
    }
    if (storedFlag(*this, "useTransparentFlakes")) {
        useTransparentFlakes = true;
        CheckDlgButton(window, TAVREL_TRANSPARENT_BOX_ID, BST_CHECKED);
    }
    // With no usable rate stored the box shows the default the saver runs with, so that OK
    // without an edit keeps the snow as it is.
    const std::int32_t storedRate =
        valueExists("snowCountPerSecond") ? readValue("snowCountPerSecond") : 0;
    SetWindowTextA(GetDlgItem(window, TAVREL_RATE_EDIT_ID),
                   storedRateText(storedRate, snowCountPerSecond).c_str());
    return 1;
}

INT_PTR Tavrel::onDialogCommand(HWND window, WPARAM command, LPARAM control, WPARAM endValue)
{
    switch (LOWORD(command)) {
    case TAVREL_GRAVITY_BOX_ID:
        useGravity = isChecked(control);
        break;
    case TAVREL_TRANSPARENT_BOX_ID:
        useTransparentFlakes = isChecked(control);
        break;
    case IDOK: {
        writeValue("useGravity", useGravity ? 1 : 0);
        writeValue("useTransparentFlakes", useTransparentFlakes ? 1 : 0);
        // The text is examined only now; whatever was typed becomes a rate within the bounds.
        char text[rateTextCapacity] = {};
        GetWindowTextA(GetDlgItem(window, TAVREL_RATE_EDIT_ID), text, rateTextCapacity);
        snowCountPerSecond = snowRateFromText(text, minSnowCountPerSecond, maxSnowCountPerSecond);
        writeValue("snowCountPerSecond", snowCountPerSecond);
        EndDialog(window, static_cast<INT_PTR>(endValue));
        break;
    }
    case IDCANCEL:
        EndDialog(window, static_cast<INT_PTR>(endValue));
        break;
    default:
        break;
    }
    return 1;
}
