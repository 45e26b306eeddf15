// ForceField: something that changes a particle's motion or orientation every time the particle
// is updated, optionally only inside an axis-aligned box, its region. Fields are shared by
// pointer between a prototype and all its clones; they keep no reference to particles.
#pragma once

#include "particles/vector3.h"

class Particle;

class ForceField {
public:
    ForceField() = default;
    virtual ~ForceField() = default;

    // Acts on the particle; the base does nothing.
    virtual void apply(double seconds, Particle& particle);
    // The field's own per-frame step, run by the particle system; the base does nothing.
    virtual void update(double seconds);

    // True when the field is unbounded, or when every coordinate of point lies within the region,
    // both bounds included. A coordinate that is not a number is outside.
    bool inRegion(const Vector3& point) const { return !bounded || insideBounds(point); }

    Vector3 regionMin;
    Vector3 regionMax;
    bool bounded = false;

private:
    bool insideBounds(const Vector3& point) const;
};
