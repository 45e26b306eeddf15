// The snow's flakes without OpenGL: the ground zone, and the prototype every flake is cloned
// from with the fields it carries and its launch values. Portable: no operating-system header.
#pragma once

class DecelleratorField;
class FountainParticle;
class GravityField;
class SpinnerField;

// How strongly the mouse-steered point of gravity pulls the flakes.
constexpr double steeredGravityStrength = 80.5;

// Bounds the field to the ground zone: below height -15 flakes slow down and lie flat.
void makeGroundZone(DecelleratorField& decelerator);

// Gives the prototype the fields every flake carries, in the order they act (spinner, ground
// zone, then gravity when the mouse steers it; gravity may be null), and the launch values: a
// 15-second life, falling at 3 units a second with a little spread, from a random point of the
// spawn box above the view.
void shapeFlake(FountainParticle& flake, SpinnerField& spinner, DecelleratorField& decelerator,
                GravityField* gravity);
