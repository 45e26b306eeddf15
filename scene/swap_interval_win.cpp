// Pacing the saver's frames to the display's refresh through WGL_EXT_swap_control.
#include "scene/swap_interval.h"

#include <windows.h>

#include "scene/gl_extension_rules.h"

namespace {

using ExtensionsStringExt = const char*(WINAPI*)();
using ExtensionsStringArb = const char*(WINAPI*)(HDC);
using SwapIntervalExt = BOOL(WINAPI*)(int);

// wglGetProcAddress answers with a generic procedure type; the named extension fixes the real one.
// A function the driver lacks is null, whatever the driver answered.
template <typename Function>
Function wglFunction(const char* name)
{
    void* address = reinterpret_cast<void*>(wglGetProcAddress(name));
    return usableProcAddress(address) ? reinterpret_cast<Function>(address) : nullptr;
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
