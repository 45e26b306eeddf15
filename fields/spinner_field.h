// SpinnerField: advances the two rotation angles of each particle's quad at constant rates, so
// flakes tumble as they fall.
#pragma once

#include "fields/force_field.h"

class SpinnerField : public ForceField {
public:
    void apply(double seconds, Particle& particle) override;

    double angleRateY = 5.0;  // radians per second
    double angleRateX = 2.0;  // radians per second
};
