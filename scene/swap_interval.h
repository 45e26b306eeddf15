// Pacing the saver's frames to the display's refresh, where the driver offers it.
#pragma once

// Asks the current OpenGL context for one buffer swap per display refresh, so that on a real
// display the saver does not draw hundreds of frames a second. Answers whether the driver took
// the request; drivers without WGL_EXT_swap_control are left as they are.
bool requestSwapInterval();
