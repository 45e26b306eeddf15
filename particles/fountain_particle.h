// FountainParticle: a particle launched along a given direction, scattered by random angles
// within a spread, instead of in a random direction. The snow prototype is one.
#pragma once

#include "particles/particle.h"

class FountainParticle : public Particle {
public:
    FountainParticle() = default;
    FountainParticle(AttributeArray* vertexArray, AttributeArray* colorArray);

    // Launches straight up with a spread of 30 degrees.
    void init(double life, double speed, const Color4& color, const Vector3& position,
              const Vector3& acceleration, double halfSize, double mass) override;
    Particle* clone(AttributeArray* vertexArray, AttributeArray* colorArray) const override;
    // Launches along direction (whose length scales the speed), turned about X, Y and Z by random
    // angles within [-spread / 2, +spread / 2] degrees.
    virtual void initDirected(double life, double speed, const Color4& color,
                              const Vector3& position, const Vector3& acceleration,
                              const Vector3& direction, double spread, double halfSize,
                              double mass);

    Vector3 direction;
    double spread = 0.0;
};
