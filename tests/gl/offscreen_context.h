// A real OpenGL context for native tests: Mesa's compatibility profile on an offscreen pbuffer,
// through EGL's surfaceless platform, so no display server is needed.
#pragma once

#include <EGL/egl.h>

class OffscreenContext {
public:
    // Makes a context with a width x height RGBA pbuffer current, with a 24-bit depth and 8-bit
    // stencil buffer when asked (the buffers a saver's window gets); ready tells whether it worked.
    OffscreenContext(int width, int height, bool depthStencil = false);
    ~OffscreenContext();

    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool ready = false;

private:
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLSurface surface = EGL_NO_SURFACE;
    EGLContext context = EGL_NO_CONTEXT;
};
