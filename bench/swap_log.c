/* Counts the Linux program's frames from outside: loaded ahead of the GL and EGL libraries
 * (LD_PRELOAD), it passes every glXSwapBuffers and eglSwapBuffers on and then prints one line per
 * swap with the monotonic time to standard error, "glXSwapBuffers <seconds>", or
 * "eglSwapBuffers <seconds> <surface> <width>x<height>" with the EGL surface swapped and its size
 * in pixels, so that the frames of each of a Wayland saver's outputs can be told apart and their
 * buffers' sizes seen. The program itself is unchanged. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <time.h>

#include <EGL/egl.h>
#include <GL/glx.h>

static void logSwap(const char* name, const void* surface, EGLint width, EGLint height)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (surface == NULL)
        fprintf(stderr, "%s %lld.%09ld\n", name, (long long)now.tv_sec, now.tv_nsec);
    else
        fprintf(stderr, "%s %lld.%09ld %p %dx%d\n", name, (long long)now.tv_sec, now.tv_nsec,
                surface, (int)width, (int)height);
}

void glXSwapBuffers(Display* display, GLXDrawable drawable)
{
    static void (*swap)(Display*, GLXDrawable);
    if (swap == NULL)
        *(void**)&swap = dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (swap != NULL)
        swap(display, drawable);
    logSwap("glXSwapBuffers", NULL, 0, 0);
}

EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface)
{
    static EGLBoolean (*swap)(EGLDisplay, EGLSurface);
    if (swap == NULL)
        *(void**)&swap = dlsym(RTLD_NEXT, "eglSwapBuffers");
    EGLint width = 0;
    EGLint height = 0;
    eglQuerySurface(display, surface, EGL_WIDTH, &width);
    eglQuerySurface(display, surface, EGL_HEIGHT, &height);
    const EGLBoolean swapped = swap != NULL ? swap(display, surface) : EGL_FALSE;
    logSwap("eglSwapBuffers", surface, width, height);
    return swapped;
}
