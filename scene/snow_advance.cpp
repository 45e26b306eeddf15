// One frame of the snow, with a long pause taken as a melt of everything on screen.
#include "scene/snow_advance.h"

#include <cstddef>
#include <vector>

#include "particles/particle_system.h"

void advanceSnow(ParticleSystem& system, double seconds)
{
    if (!(seconds > flakeLifeSeconds)) {
        system.update(seconds);
        return;
    }
    // A finite step just past every flake's life, whatever the pause: an endless pause must not
    // reach the fields and emitters as an infinite time.
    constexpr double meltSeconds = flakeLifeSeconds + 1.0;
    std::vector<double> rates;
    rates.reserve(system.emitters.size());
    for (ParticleEmitter* emitter : system.emitters) {
        rates.push_back(emitter->perSecond);
        emitter->perSecond = 0.0;
    }
    system.update(meltSeconds);
    for (std::size_t i = 0; i < rates.size() && i < system.emitters.size(); ++i)
        system.emitters[i]->perSecond = rates[i];
}
