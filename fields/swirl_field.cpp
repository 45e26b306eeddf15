// SwirlField: the turn of the velocity.
#include "fields/swirl_field.h"

#include "particles/particle.h"

void SwirlField::apply(double seconds, Particle& particle)
{
    if (!inRegion(particle.position)) {
        return;
    }
    const double angle = (particle.speed / 10.0) * (seconds * 0.7);
    particle.velocity.rotateX(angle).rotateZ(angle);
}
