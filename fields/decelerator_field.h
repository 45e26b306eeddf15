// DecelleratorField: halves the velocity of every particle inside its region on each application
// and lays the quad flat. The snow scene bounds it to the ground zone, where flakes settle.
#pragma once

#include "fields/force_field.h"

class DecelleratorField : public ForceField {
public:
    void apply(double seconds, Particle& particle) override;
};
