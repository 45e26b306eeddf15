// The shape of the picture: the width over the height of whatever it is drawn in (a window, a
// monitor, the whole virtual desktop). Portable: no operating-system or GL header.
#pragma once

// width / height; a drawable of no height (or a size not yet known) gives a square picture
// rather than a division by zero or a mirrored projection.
double pictureAspect(int width, int height);
