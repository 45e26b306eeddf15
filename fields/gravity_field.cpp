// GravityField: the pull towards the centre.
#include "fields/gravity_field.h"

#include "particles/particle.h"

namespace {

constexpr double deadZoneRadius = 30.0;
constexpr double pullScale = 500.0;

}

GravityField::GravityField(double strength, const Vector3& center)
    : center(center), strength(strength)
{
}

void GravityField::apply(double seconds, Particle& particle)
{
    if (!inRegion(particle.position)) {
        return;
    }
    Vector3 towardsCenter = center - particle.position;
    const double distance = towardsCenter.length();
    towardsCenter /= distance;
    if (distance < deadZoneRadius) {
        return;
    }
    const double pull = strength * particle.mass / (distance * distance) * pullScale;
    particle.velocity = particle.velocity + towardsCenter * pull * seconds;
}
