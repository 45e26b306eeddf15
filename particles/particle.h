// Particle: one snowflake, a square textured quad that moves under its own constant
// acceleration, fades over its life and is pushed by its force fields. The particle system
// handles every kind of particle through this class and its virtual operations.
#pragma once

#include <cstddef>

#include "particles/attribute_array.h"
#include "particles/color4.h"
#include "particles/field_list.h"
#include "particles/vector3.h"

class Particle {
public:
    // The prototype's construction: white, unit mass and half size, no arrays.
    Particle();
    // A clone's construction: black, zero mass and size until init sets them.
    Particle(AttributeArray* vertexArray, AttributeArray* colorArray);
    virtual ~Particle() = default;

    // Sets the launch parameters and draws a random launch velocity of up to speed / 2 along
    // each axis. Fields, spawn box and randomSpawn are left as they are.
    virtual void init(double life, double speed, const Color4& color, const Vector3& position,
                      const Vector3& acceleration, double halfSize, double mass);
    // A new particle of the same kind with this one's launch parameters, a fresh launch, a random
    // position in the spawn box when randomSpawn is set, and the same force fields. The caller
    // owns it.
    virtual Particle* clone(AttributeArray* vertexArray, AttributeArray* colorArray) const;
    Particle* spawn() const;
    // Ages the particle by seconds; unless that ends its life, moves it, fades it and lets its
    // fields act on it in list order.
    virtual void update(double seconds);

    void setSpawnBox(const Vector3& min, const Vector3& max);

    // Particles come from the particle memory slabs (particle_pool.h).
    static void* operator new(std::size_t size);
    static void operator delete(void* p, std::size_t size);

    AttributeArray* vertexArray = nullptr;
    AttributeArray* colorArray = nullptr;
    double mass = 1.0;
    double life = 0.0;
    double initialLife = 0.0;
    double speed = 0.0;
    double halfSize = 1.0;
    Vector3 position;
    Vector3 velocity;
    Vector3 acceleration;
    Color4 color = Color4::white;
    double angleX = 0.0;
    double angleY = 0.0;
    FieldList fields;
    Vector3 spawnBoxMin;
    Vector3 spawnBoxMax;
    bool randomSpawn = false;

protected:
    // Steps shared by every kind's launch and clone.
    void setLaunchParameters(double life, double speed, const Color4& color,
                             const Vector3& position, const Vector3& acceleration,
                             double halfSize, double mass);
    void finishClone(Particle& clone) const;
};

// Places the particle at a random point of the box from min to max, each coordinate rounded to
// single precision. Draws x, then y, then z.
void randomizePosition(Particle& particle, const Vector3& min, const Vector3& max);
