// SnowLoad: the snow scene's flakes without a window.
#include "bench/snow_load.h"

#include "scene/snow_advance.h"
#include "scene/snow_flakes.h"

SnowLoad::SnowLoad(int liveFlakes) : gravity(steeredGravityStrength, Vector3(0, 0, 0))
{
    makeGroundZone(decelerator);
    shapeFlake(prototype, spinner, decelerator, &gravity);
    system.addEmitter(&prototype, liveFlakes / flakeLifeSeconds);
}

void SnowLoad::warmUp()
{
    constexpr double step = 0.1;
    for (double age = 0.0; age < flakeLifeSeconds + step; age += step) {
        system.update(step);
    }
}
