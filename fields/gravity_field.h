// GravityField: pulls particles towards a centre with an inverse-square law. Within 30 units of
// the centre it has no effect, so flakes gathering there are not flung about; a negative strength
// repels. The scene moves the centre with the mouse.
#pragma once

#include "fields/force_field.h"

class GravityField : public ForceField {
public:
    GravityField(double strength, const Vector3& center);

    void apply(double seconds, Particle& particle) override;

    Vector3 center;
    double strength;
};
