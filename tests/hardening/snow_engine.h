// The snow scene's engine without its window: the particle system, the three fields and the
// flake prototype with the very launch values the scene gives them, so that the engine can be
// driven with any frame times. The prototype counts its clones, which is the work a frame does
// beyond advancing the live flakes.
#pragma once

#include <cstdint>
#include <memory>

#include "fields/decelerator_field.h"
#include "fields/gravity_field.h"
#include "fields/spinner_field.h"
#include "particles/color4.h"
#include "particles/fountain_particle.h"
#include "particles/particle_system.h"
#include "particles/vector3.h"

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
        decelerator.regionMin = Vector3(-400.0, -5430.0, -400.0);
        decelerator.regionMax = Vector3(400.0, -15.0, 400.0);
        decelerator.bounded = true;
        flake->fields.push_back(&spinner);
        flake->fields.push_back(&decelerator);
        if (useGravity)
            flake->fields.push_back(&gravity);
        flake->initDirected(15.0, 3.0, Color4::white, Vector3(0.0, 0.0, 0.0),
                            Vector3(0.0, -5.0, 0.0), Vector3(0.0, -1.0, 0.0), 1.25, 2.0, 1.0);
        flake->setSpawnBox(Vector3(-300.0, 100.0, -300.0), Vector3(200.0, 110.0, 100.0));
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
    GravityField gravity{80.5, Vector3(0.0, 0.0, 0.0)};
    std::unique_ptr<CountingFlake> flake = std::make_unique<CountingFlake>();
    ParticleSystem system;
};
