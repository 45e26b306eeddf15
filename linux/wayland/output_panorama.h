// One sky over all of a Wayland compositor's outputs, as the Windows saver's window covers the
// whole virtual screen: the picture has the shape of the box around every output, and each output
// shows its own part of it. Portable: no operating-system header.
#pragma once

#include <vector>

// An output's area on the desktop, in the compositor's logical pixels. placed is false where the
// compositor does not say where the output stands (it offers no xdg-output).
struct OutputArea {
    bool placed = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct Panorama {
    int width = 0;  // the box around every output
    int height = 0;
    std::vector<OutputArea> areas;  // each output's area, measured from the box's top-left corner
};

// An output's surface as the compositor configured it: the output's own area (its size 0 where
// the compositor does not say), and the size it gave the surface (0 before the first configure).
struct OutputSurface {
    OutputArea output;
    int width = 0;
    int height = 0;
    bool activated = false;  // a window with the keyboard focus, which the compositor shows on top
};

// The area of the desktop each surface shows. Nearly every compositor gives an output's surface
// that output's size, and it shows the output's area. One that sizes windows itself (a kiosk
// gives every window the whole layout) shows a surface of another size from the top-left corner
// of the placed outputs' box. A surface not yet configured shows nothing, and so does one that
// would show the very area another shows (lying under or over it): of those, the one with the
// focus is drawn (the compositor shows it on top), else the first.
std::vector<OutputArea> shownAreas(const std::vector<OutputSurface>& surfaces);

// The box around the outputs, and where each lies in it. Outputs without a place stand side by
// side, tops level, to the right of the placed ones, in the order given. An output of no size
// takes no room and gets an empty area. Sizes beyond the range of int are held to it.
Panorama arrangePanorama(const std::vector<OutputArea>& outputs);

// A viewport in OpenGL's terms: from the bottom-left corner of the buffer, y upwards.
struct PanoramaViewport {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The viewport that shows an area's part of the panorama in a buffer of scale pixels to a
// logical one: the whole panorama's size, moved so that the area's part falls on the buffer.
PanoramaViewport panoramaViewport(const Panorama& panorama, const OutputArea& area, int scale);
