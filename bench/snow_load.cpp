// SnowLoad: the snow scene's flakes without a window.
#include "bench/snow_load.h"

namespace {

constexpr double flakeLife = 15.0;

}

SnowLoad::SnowLoad(int liveFlakes) : gravity(80.5, Vector3(0, 0, 0))
{
    decelerator.regionMin = Vector3(-400, -5430, -400);
    decelerator.regionMax = Vector3(400, -15, 400);
    decelerator.bounded = true;
    prototype.fields.push_back(&spinner);
    prototype.fields.push_back(&decelerator);
    prototype.fields.push_back(&gravity);
    prototype.initDirected(flakeLife, 3.0, Color4::white, Vector3(), Vector3(0, -5, 0),
                           Vector3(0, -1, 0), 1.25, 2.0, 1.0);
    prototype.setSpawnBox(Vector3(-300, 100, -300), Vector3(200, 110, 100));
    system.addEmitter(&prototype, liveFlakes / flakeLife);
}

void SnowLoad::warmUp()
{
    constexpr double step = 0.1;
    for (double age = 0.0; age < flakeLife + step; age += step) {
        system.update(step);
    }
}
