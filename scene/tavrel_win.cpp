// The snow scene on Windows: reads the settings and the flake picture, asks for one swap per
// refresh, runs the shared set-up on the virtual desktop's shape, then one shared frame per loop
// pass and a buffer swap; the picture takes the desktop's new shape when it changes.
#include "scene/tavrel.h"

#include "host/frame_clock.h"
#include "scene/flake_texture.h"
#include "scene/picture_shape_rules.h"
#include "scene/snow_scene.h"
#include "scene/swap_interval.h"

namespace {

// The whole virtual desktop's shape in every mode, the preview included, so that a preview shows
// the picture the full screen would show.
double desktopAspect()
{
    return pictureAspect(GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

} // namespace

Tavrel::~Tavrel() = default;

void Tavrel::initScene()
{
    loadSettings();
    requestSwapInterval();
    SnowSettings settings;
    settings.useGravity = useGravity;
    settings.useTransparentFlakes = useTransparentFlakes;
    settings.snowCountPerSecond = snowCountPerSecond;
    const SnowFields fields = setUpSnowScene(settings, readFlakePicture(instance), desktopAspect());
    spinnerField = fields.spinner;
    decelleratorField = fields.decelerator;
    gravityField = fields.gravity;
    // The preview is a child of the settings page, another program's window whose keyboard it
    // would take: only the full screen takes the focus.
    if (mode != Preview)
        SetFocus(saverWindow);
}

void Tavrel::drawFrame()
{
    drawSnowFrame(frameSeconds());
    SwapBuffers(deviceContext);
}

void Tavrel::onDesktopChanged(int desktopWidth, int desktopHeight)
{
    reshapeSnowScene(pictureAspect(desktopWidth, desktopHeight));
}

ScreenSaver* createScreenSaver()
{
    return new Tavrel;
}
