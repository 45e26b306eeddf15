// The snow scene's set-up and frame: OpenGL state, the particle system with its fields, the flake
// prototype and its endless emitter; then one cleared, advanced and drawn frame per loop pass.
#include "scene/tavrel.h"

#include <GL/gl.h>

#include "fields/decelerator_field.h"
#include "fields/gravity_field.h"
#include "fields/spinner_field.h"
#include "host/frame_clock.h"
#include "particles/fountain_particle.h"
#include "particles/particle_system.h"
#include "scene/flake_texture.h"
#include "scene/snow_advance.h"
#include "scene/swap_interval.h"
#include "scene/view_matrices.h"

namespace {

void setDrawingState(bool transparentFlakes)
{
    glEnable(GL_TEXTURE_2D);
    if (transparentFlakes) {
        // Additive: overlapping flakes brighten each other.
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    }
    // Always on, so that without blending the flakes are opaque cut-outs of the picture.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
}

// The whole virtual desktop's shape in every mode, the preview included, so that a preview shows
// the picture the full screen would show.
void setProjection()
{
    const double desktopWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const double desktopHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const double aspect = desktopHeight > 0 ? desktopWidth / desktopHeight : 1.0;
    glMatrixMode(GL_PROJECTION);
    glMultMatrixd(perspectiveMatrix(46.0, aspect, 0.1, 1000.0).data());
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

Tavrel::~Tavrel() = default;

void Tavrel::initScene()
{
    loadSettings();
    requestSwapInterval();
    setDrawingState(useTransparentFlakes);

    particleSystem = new ParticleSystem;
    glBindTexture(GL_TEXTURE_2D, loadFlakeTexture(instance));
    setProjection();
    glPointSize(50.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    spinnerField = new SpinnerField;
    decelleratorField = new DecelleratorField;
    // The ground zone: below it flakes slow down and lie flat.
    decelleratorField->regionMin = Vector3(-400.0, -5430.0, -400.0);
    decelleratorField->regionMax = Vector3(400.0, -15.0, 400.0);
    decelleratorField->bounded = true;

    glClear(GL_COLOR_BUFFER_BIT | GL_ACCUM_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    auto* flake = new FountainParticle;
    flake->fields.push_back(spinnerField);
    flake->fields.push_back(decelleratorField);
    if (useGravity) {
        gravityField = new GravityField(80.5, Vector3(0.0, 0.0, 0.0));
        flake->fields.push_back(gravityField);
    }
    flake->initDirected(15.0, 3.0, Color4::white, Vector3(0.0, 0.0, 0.0), Vector3(0.0, -5.0, 0.0),
                        Vector3(0.0, -1.0, 0.0), 1.25, 2.0, 1.0);
    flake->setSpawnBox(Vector3(-300.0, 100.0, -300.0), Vector3(200.0, 110.0, 100.0));
    particleSystem->addEmitter(flake, static_cast<double>(snowCountPerSecond));

    SetFocus(saverWindow);
}

void Tavrel::drawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glMultMatrixd(lookAtMatrix(0.0, 35.0, 75.0, 0.0, 20.0, 0.0, 0.0, 1.0, 0.0).data());
    advanceSnow(*particleSystem, frameSeconds());
    particleSystem->draw();
    SwapBuffers(deviceContext);
}

ScreenSaver* createScreenSaver()
{
    return new Tavrel;
}
