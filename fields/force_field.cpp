// ForceField: the base behaviour and the region test.
#include "fields/force_field.h"

void ForceField::apply(double, Particle&)
{
}

void ForceField::update(double)
{
}

bool ForceField::insideBounds(const Vector3& point) const
{
    // Written as "min <= p && p <= max" so that not-a-number fails.
    return regionMin.x <= point.x && point.x <= regionMax.x &&
           regionMin.y <= point.y && point.y <= regionMax.y &&
           regionMin.z <= point.z && point.z <= regionMax.z;
}
