// The snow scene's set-up and frame, in the order OpenGL sees them on every platform.
#include "scene/snow_scene.h"

#include <GL/gl.h>

#include <array>

#include "fields/decelerator_field.h"
#include "fields/gravity_field.h"
#include "fields/spinner_field.h"
#include "particles/fountain_particle.h"
#include "particles/particle_system.h"
#include "scene/flake_upload.h"
#include "scene/snow_advance.h"
#include "scene/snow_flakes.h"
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

std::array<double, 16> snowProjection(double aspect)
{
    return perspectiveMatrix(46.0, aspect, 0.1, 1000.0);
}

// At set-up the projection matrix is still the identity of the fresh context.
void setProjection(double aspect)
{
    glMatrixMode(GL_PROJECTION);
    glMultMatrixd(snowProjection(aspect).data());
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

SnowFields setUpSnowScene(const SnowSettings& settings, const FlakePicture& picture,
                          double aspect)
{
    setDrawingState(settings.useTransparentFlakes);

    particleSystem = new ParticleSystem;
    glBindTexture(GL_TEXTURE_2D, uploadFlakeTexture(picture));
    setProjection(aspect);
    glPointSize(50.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_ACCUM_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Depth testing is never on, so the depth buffer is never read: with its writes masked the
    // frame's clear leaves it alone, which on a packed depth-stencil buffer costs more than the
    // colour clear itself. The pictures are the same.
    glDepthMask(GL_FALSE);

    SnowFields fields;
    fields.spinner = new SpinnerField;
    fields.decelerator = new DecelleratorField;
    makeGroundZone(*fields.decelerator);
    if (settings.useGravity)
        fields.gravity = new GravityField(steeredGravityStrength, Vector3(0.0, 0.0, 0.0));
    auto* flake = new FountainParticle;
    shapeFlake(*flake, *fields.spinner, *fields.decelerator, fields.gravity);
    particleSystem->addEmitter(flake, static_cast<double>(settings.snowCountPerSecond));
    fields.prototype = flake;
    return fields;
}

void releaseSnowScene(SnowFields& fields)
{
    // The flakes point at the prototype's fields, so they go first.
    delete particleSystem;
    particleSystem = nullptr;
    delete fields.prototype;
    delete fields.gravity;
    delete fields.decelerator;
    delete fields.spinner;
    fields = SnowFields();
}

void reshapeSnowScene(double aspect)
{
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(snowProjection(aspect).data());
    glMatrixMode(GL_MODELVIEW);
}

namespace {

void clearAndPlaceCamera()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glMultMatrixd(lookAtMatrix(0.0, 35.0, 75.0, 0.0, 20.0, 0.0, 0.0, 1.0, 0.0).data());
}

} // namespace

void drawSnowFrame(double seconds)
{
    clearAndPlaceCamera();
    advanceSnow(*particleSystem, seconds);
    particleSystem->draw();
}

void drawSnowAgain()
{
    clearAndPlaceCamera();
    particleSystem->draw();
}
