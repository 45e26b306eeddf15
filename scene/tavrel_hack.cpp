// The snow scene of the Linux program.
#include "scene/tavrel_hack.h"

#include "fields/gravity_field.h"
#include "scene/bitmap_file_rules.h"
#include "scene/flake_bitmap_file.h"
#include "scene/gravity_steering.h"
#include "scene/picture_shape_rules.h"

TavrelHack::TavrelHack(const HackOptions& options, bool ownWindow)
{
    snow.useGravity = options.gravity && ownWindow;
    snow.useTransparentFlakes = options.transparent;
    snow.snowCountPerSecond = clampedSnowRate(options.rate, snowRateMinimum, snowRateMaximum);
}

TavrelHack::~TavrelHack()
{
    if (fields.spinner != nullptr)
        releaseSnowScene(fields);
}

void TavrelHack::setUp(int width, int height)
{
    fields = setUpSnowScene(snow, readBitmapFile(flakeBitmapFile, flakeBitmapFileSize),
                            pictureAspect(width, height));
}

void TavrelHack::drawFrame(double seconds)
{
    drawSnowFrame(seconds);
}

void TavrelHack::drawAgain()
{
    drawSnowAgain();
}

void TavrelHack::resize(int width, int height)
{
    reshapeSnowScene(pictureAspect(width, height));
}

PointerPlacement TavrelHack::pointerMoved(int x, int y, int width, int height)
{
    PointerPlacement placement;
    if (fields.gravity == nullptr)
        return placement;
    followMouse(fields.gravity->center, lastMouseX, lastMouseY, x, y);
    const bool recentredX = recentreAtEdge(lastMouseX, width);
    const bool recentredY = recentreAtEdge(lastMouseY, height);
    if (recentredX || recentredY)
        placement = {true, *lastMouseX, *lastMouseY};
    return placement;
}
