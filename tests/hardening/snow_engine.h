// The snow scene's engine without its window: the particle system, the three fields and the
// flake prototype shaped by the scene's own code, so that the engine can be driven with any frame
// times. The prototype counts its clones, which is the work a frame does
// beyond advancing the live flakes.
#pragma once

#include <cstdint>
#include <memory>

#include "fields/decelerator_field.h"
#include "fields/gravity_field.h"
#include "fields/spinner_field.h"
#include "particles/fountain_particle.h"
#include "particles/particle_system.h"
#include "particles/vector3.h"
#include "scene/snow_flakes.h"

class CountingFlake : public FountainParticle {
public:
    Particle* clone(AttributeArray* vertexArray, AttributeArray* colorArray) const override
    {
        ++clones;
        return FountainParticle::clone(vertexArray, colorArray);
    }

    mutable std::int64_t clones = 0;
};

struct SnowEngine {
    SnowEngine(double perSecond, bool useGravity)
    {
        makeGroundZone(decelerator);
        shapeFlake(*flake, spinner, decelerator, useGravity ? &gravity : nullptr);
        system.addEmitter(flake.get(), perSecond);
    }

    // Frames of a steady 30 per second for the given time.
    void run(double seconds)
    {
        for (double t = 0.0; t < seconds; t += 1.0 / 30.0)
            system.update(1.0 / 30.0);
    }

    SpinnerField spinner;
    DecelleratorField decelerator;
    GravityField gravity{steeredGravityStrength, Vector3(0.0, 0.0, 0.0)};
    std::unique_ptr<CountingFlake> flake = std::make_unique<CountingFlake>();
    ParticleSystem system;
};
