// The arithmetic of mouse-steered gravity: how far the gravity centre moves for a mouse motion,
// and when and where the cursor is put back so that the mouse can travel without limit. Portable:
// no operating-system header.
#pragma once

// World units the gravity centre moves per pixel of mouse motion.
constexpr double steeringUnitsPerPixel = 0.01;

// Whether a cursor coordinate has reached the near edge (0 or less) or come within 5 pixels of
// the far edge of a desktop extent pixels long, so that the cursor must be put back.
bool needsRecentring(int position, int extent);

// Where the cursor is put back to along a desktop extent: its middle, truncated towards zero.
int recentredPosition(int extent);
