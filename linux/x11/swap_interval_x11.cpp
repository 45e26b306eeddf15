// Pacing the snow's frames to the display's refresh through GLX_EXT_swap_control or
// GLX_MESA_swap_control, whichever the driver offers.
#include "scene/swap_interval.h"

#include <GL/glx.h>

#include "scene/gl_extension_rules.h"

namespace {

using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
using SwapIntervalMesa = int (*)(unsigned);

// glXGetProcAddress answers with a generic procedure type; the named extension fixes the real one.
template <typename Function>
Function glxFunction(const char* name)
{
    return reinterpret_cast<Function>(
        glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

} // namespace

bool requestSwapInterval()
{
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (display == nullptr || drawable == None)
        return false;
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (listsExtension(extensions, "GLX_EXT_swap_control")) {
        if (auto swapInterval = glxFunction<SwapIntervalExt>("glXSwapIntervalEXT")) {
            swapInterval(display, drawable, 1);
            return true;
        }
    }
    if (listsExtension(extensions, "GLX_MESA_swap_control")) {
        if (auto swapInterval = glxFunction<SwapIntervalMesa>("glXSwapIntervalMESA"))
            return swapInterval(1) == 0;
    }
    return false;
}
