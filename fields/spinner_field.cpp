// SpinnerField: the tumble.
#include "fields/spinner_field.h"

#include "particles/particle.h"

void SpinnerField::apply(double seconds, Particle& particle)
{
    if (!inRegion(particle.position)) {
        return;
    }
    // The angles grow without bound; they are only ever used through sine and cosine.
    particle.angleX += angleRateX * seconds;
    particle.angleY += angleRateY * seconds;
}
