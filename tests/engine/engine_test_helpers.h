// Helpers shared by the engine tests: a field that records when it acts, and a particle kind
// that counts its destructions.
#pragma once

#include <string>

#include "fields/force_field.h"
#include "particles/particle.h"

// Appends its name to a shared log each time it acts, so tests see which fields ran, in order.
class RecordingField : public ForceField {
public:
    RecordingField(char name, std::string& log) : name(name), log(log) {}
    void apply(double, Particle&) override { log += name; }

private:
    char name;
    std::string& log;
};

// A plain particle that counts how many of its kind were destroyed.
class CountedParticle : public Particle {
public:
    explicit CountedParticle(double life, const Vector3& position = Vector3())
    {
        this->life = life;
        initialLife = life;
        this->position = position;
    }
    ~CountedParticle() override { ++destroyed; }

    static inline int destroyed = 0;
};
