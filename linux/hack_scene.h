// What the Linux run loop needs of a scene: set it up in a drawable of a size, draw a frame, follow
// the drawable's new size and the pointer's motion. The loop owns the window and the X events;
// the scene behind this owns the picture.
#pragma once

struct PointerPlacement {
    bool move = false;  // the scene wants the pointer put back, at (x, y) in the window
    int x = 0;
    int y = 0;
};

class HackScene {
public:
    virtual ~HackScene() = default;

    // Runs once, with the window's OpenGL context current, for a drawable of width x height.
    virtual void setUp(int width, int height) = 0;
    // One frame into the back buffer, advancing the picture by seconds; the loop swaps.
    virtual void drawFrame(double seconds) = 0;
    // The last frame's picture again, not advanced, into another drawable of the same context.
    virtual void drawAgain() = 0;
    // The drawable now has this size; the loop has already set the viewport.
    virtual void resize(int width, int height) = 0;
    // The pointer moved to (x, y) in a window of width x height; answers where to put it back,
    // if anywhere.
    virtual PointerPlacement pointerMoved(int x, int y, int width, int height) = 0;
};
