// Where the full-screen saver window goes. Portable: no operating-system header.
#pragma once

struct WindowRect {
    int left;
    int top;
    int width;
    int height;
};

// The window that covers the whole virtual screen, given the screen's clip box. The virtual screen
// starts left of or above (0, 0) when a monitor stands left of or above the primary one, so the
// window starts where the box starts, not at (0, 0). A box with its edges the wrong way round
// gives an empty size rather than a negative one.
WindowRect fullscreenRect(int left, int top, int right, int bottom);
