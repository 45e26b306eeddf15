// Pacing the saver's frames to the display's refresh through WGL_EXT_swap_control.
#include "scene/swap_interval.h"

#include <windows.h>

#include "scene/gl_extension_rules.h"

namespace {

using ExtensionsStringExt = const char*(WINAPI*)();
using ExtensionsStringArb = const char*(WINAPI*)(HDC);
using SwapIntervalExt = BOOL(WINAPI*)(int);

// wglGetProcAddress answers with a generic procedure type; the named extension fixes the real one.
template <typename Function>
Function wglFunction(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(wglGetProcAddress(name)));
}

const char* wglExtensions()
{
    if (auto arb = wglFunction<ExtensionsStringArb>("wglGetExtensionsStringARB"))
        return arb(wglGetCurrentDC());
    if (auto ext = wglFunction<ExtensionsStringExt>("wglGetExtensionsStringEXT"))
        return ext();
    return nullptr;
}

} // namespace

bool requestSwapInterval()
{
    if (!listsExtension(wglExtensions(), "WGL_EXT_swap_control"))
        return false;
    auto swapInterval = wglFunction<SwapIntervalExt>("wglSwapIntervalEXT");
    return swapInterval != nullptr && swapInterval(1) != FALSE;
}
