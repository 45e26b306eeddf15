// The snow scene's set-up and frame, written once for every host: the OpenGL state all flakes are
// drawn with, the particle system with its fields, the flake prototype and its endless emitter,
// the projection and the camera. The host brings a current OpenGL context, the settings, the flake
// picture and the shape of the screen, and swaps the buffers after each frame. Portable: OpenGL
// 1.1 only, no operating-system header.
#pragma once

#include "scene/flake_pixels_rules.h"
#include "scene/snow_settings_rules.h"

class DecelleratorField;
class GravityField;
class Particle;
class SpinnerField;

struct SnowSettings {
    bool useGravity = false;            // a point of gravity the mouse steers pulls every flake
    bool useTransparentFlakes = false;  // overlapping flakes brighten each other
    int snowCountPerSecond = snowRateDefault;
};

// The fields every flake holds pointers to, and the flake prototype the emitter clones; made at
// set-up and kept until the scene is let go. gravity is null unless the settings ask for it.
struct SnowFields {
    SpinnerField* spinner = nullptr;
    DecelleratorField* decelerator = nullptr;
    GravityField* gravity = nullptr;
    Particle* prototype = nullptr;
};

// Sets OpenGL's state, makes the process's particle system (particleSystem), uploads and binds
// the flake texture, sets the projection for a picture of the given width-to-height shape and
// starts the endless emitter at the settings' rate. Needs a current OpenGL context; run once for
// each scene.
SnowFields setUpSnowScene(const SnowSettings& settings, const FlakePicture& picture,
                          double aspect);

// Lets the scene's particle system, flakes, prototype and fields go, for a program that snows
// more than once (the resident Wayland saver); what lived in the OpenGL context goes with the
// context. Another set-up may follow. fields is left empty.
void releaseSnowScene(SnowFields& fields);

// Remakes the projection for a picture of the given width-to-height shape, when what the snow is
// drawn in changes shape (a window resized, a desktop that changed). The snow goes on as it was;
// the host sets the viewport. Needs the scene's OpenGL context current.
void reshapeSnowScene(double aspect);

// One frame into the back buffer: clears, places the camera, advances the snow by seconds and
// draws it. The host swaps the buffers afterwards.
void drawSnowFrame(double seconds);

// The last frame's snow again, not advanced, into another drawable of the same context (the
// next output of one sky): an advance of no time is not the same, since the ground slows its
// flakes once for every advance, however short.
void drawSnowAgain();
