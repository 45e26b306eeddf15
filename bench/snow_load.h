// A particle system loaded like the snow scene's, held at a chosen number of live flakes: the
// prototype, its fields and its spawn box as the scene sets them, with the emission rate that
// keeps the wanted number alive.
#pragma once

#include "fields/decelerator_field.h"
#include "fields/gravity_field.h"
#include "fields/spinner_field.h"
#include "particles/fountain_particle.h"
#include "particles/particle_system.h"

// The frame time of a 60 Hz display.
constexpr double FRAME_SECONDS = 1.0 / 60.0;

class SnowLoad {
public:
    explicit SnowLoad(int liveFlakes);

    SnowLoad(const SnowLoad&) = delete;
    SnowLoad& operator=(const SnowLoad&) = delete;

    // Runs one flake life in coarse steps, after which births and retirements balance.
    void warmUp();
    void frame() { system.update(FRAME_SECONDS); }

    ParticleSystem system;

private:
    SpinnerField spinner;
    DecelleratorField decelerator;
    GravityField gravity;
    FountainParticle prototype;
};
