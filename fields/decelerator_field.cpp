// DecelleratorField: slowing and laying flakes flat.
#include "fields/decelerator_field.h"

#include "particles/particle.h"

void DecelleratorField::apply(double, Particle& particle)
{
    if (!inRegion(particle.position)) {
        return;
    }
    // Once per application, whatever the time step: the slowing is per frame.
    particle.velocity.x *= 0.5;
    particle.velocity.y *= 0.5;
    particle.velocity.z *= 0.5;
    // 1.57 rather than pi / 2: the flake lies almost, not exactly, flat.
    particle.angleY = 0.0;
    particle.angleX = 1.57;
}
