/* Counts the Linux program's frames from outside: loaded ahead of the GL library
 * (LD_PRELOAD), it passes every glXSwapBuffers on and then prints one line per swap with the
 * monotonic time to standard error, "glXSwapBuffers <seconds>". The program itself is unchanged. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <time.h>

#include <GL/glx.h>

void glXSwapBuffers(Display* display, GLXDrawable drawable)
{
    static void (*swap)(Display*, GLXDrawable);
    if (swap == NULL)
        *(void**)&swap = dlsym(RTLD_NEXT, "glXSwapBuffers");
    if (swap != NULL)
        swap(display, drawable);
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    fprintf(stderr, "glXSwapBuffers %lld.%09ld\n", (long long)now.tv_sec, now.tv_nsec);
}
