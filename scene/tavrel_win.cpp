// The snow scene's set-up and frame.
#include "scene/tavrel.h"

#include <GL/gl.h>

Tavrel::~Tavrel() = default;

void Tavrel::initScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Tavrel::drawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SwapBuffers(deviceContext);
}

LRESULT Tavrel::onMouseMove(HWND window, int x, int y)
{
    return ScreenSaver::onMouseMove(window, x, y);
}

ScreenSaver* createScreenSaver()
{
    return new Tavrel;
}
