// SwirlField: turns each particle's velocity about X and then Z by an angle that grows with the
// particle's launch speed. Available to scenes; the snow does not use it.
#pragma once

#include "fields/force_field.h"

class SwirlField : public ForceField {
public:
    void apply(double seconds, Particle& particle) override;
};
