// The snow's flakes without OpenGL.
#include "scene/snow_flakes.h"

#include "fields/decelerator_field.h"
#include "fields/gravity_field.h"
#include "fields/spinner_field.h"
#include "particles/color4.h"
#include "particles/fountain_particle.h"
#include "particles/vector3.h"
#include "scene/snow_advance.h"

void makeGroundZone(DecelleratorField& decelerator)
{
    decelerator.regionMin = Vector3(-400.0, -5430.0, -400.0);
    decelerator.regionMax = Vector3(400.0, -15.0, 400.0);
    decelerator.bounded = true;
}

void shapeFlake(FountainParticle& flake, SpinnerField& spinner, DecelleratorField& decelerator,
                GravityField* gravity)
{
    flake.fields.push_back(&spinner);
    flake.fields.push_back(&decelerator);
    if (gravity != nullptr)
        flake.fields.push_back(gravity);
    flake.initDirected(flakeLifeSeconds, 3.0, Color4::white, Vector3(0.0, 0.0, 0.0),
                       Vector3(0.0, -5.0, 0.0), Vector3(0.0, -1.0, 0.0), 1.25, 2.0, 1.0);
    flake.setSpawnBox(Vector3(-300.0, 100.0, -300.0), Vector3(200.0, 110.0, 100.0));
}
