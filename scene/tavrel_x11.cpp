// The snow scene on X11.
#include "scene/tavrel_x11.h"

#include "fields/gravity_field.h"
#include "scene/bitmap_file_rules.h"
#include "scene/flake_bitmap_file.h"
#include "scene/gravity_steering.h"
#include "scene/swap_interval.h"

TavrelHack::TavrelHack(const HackOptions& options, bool ownWindow)
{
    snow.useGravity = options.gravity && ownWindow;
    snow.useTransparentFlakes = options.transparent;
    snow.snowCountPerSecond = clampedSnowRate(options.rate, snowRateMinimum, snowRateMaximum);
}

void TavrelHack::initScene(double aspect)
{
    requestSwapInterval();
    fields = setUpSnowScene(snow, readBitmapFile(flakeBitmapFile, flakeBitmapFileSize), aspect);
}

void TavrelHack::drawFrame(double seconds)
{
    drawSnowFrame(seconds);
}

void TavrelHack::onPointerMotion(Display* display, Window window, int x, int y, int width,
                                 int height)
{
    if (fields.gravity == nullptr)
        return;
    followMouse(fields.gravity->center, lastMouseX, lastMouseY, x, y);
    const bool recentredX = recentreAtEdge(lastMouseX, width);
    const bool recentredY = recentreAtEdge(lastMouseY, height);
    if (recentredX || recentredY)
        XWarpPointer(display, None, window, 0, 0, 0, 0, *lastMouseX, *lastMouseY);
}
