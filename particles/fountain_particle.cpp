// FountainParticle: the directed launch of a flake.
#include "particles/fountain_particle.h"

#include "particles/particle_pool.h"
#include "particles/random.h"

static_assert(sizeof(FountainParticle) <= PARTICLE_BLOCK_SIZE,
              "flakes must fit the particle memory blocks");

namespace {

// A draw turned into a scatter angle in radians. The three roundings to single precision are
// part of the launch: without them every flake's direction changes in its last bits.
double scatterAngle(int draw, double spread, double half)
{
    const float scaled = static_cast<float>(draw / static_cast<double>(RANDOM_MAX) * spread);
    const float centred = static_cast<float>(scaled - half);
    return static_cast<float>(centred * DEG_TO_RAD);
}

}

FountainParticle::FountainParticle(AttributeArray* vertexArray, AttributeArray* colorArray)
    : Particle(vertexArray, colorArray)
{
}

void FountainParticle::init(double life, double speed, const Color4& color,
                            const Vector3& position, const Vector3& acceleration,
                            double halfSize, double mass)
{
    initDirected(life, speed, color, position, acceleration, Vector3(0.0, 1.0, 0.0), 30.0,
                 halfSize, mass);
}

Particle* FountainParticle::clone(AttributeArray* vertexArray, AttributeArray* colorArray) const
{
    FountainParticle* particle = new FountainParticle(vertexArray, colorArray);
    particle->initDirected(initialLife, speed, color, position, acceleration, direction, spread,
                           halfSize, mass);
    finishClone(*particle);
    return particle;
}

void FountainParticle::initDirected(double life, double speed, const Color4& color,
                                    const Vector3& position, const Vector3& acceleration,
                                    const Vector3& direction, double spread, double halfSize,
                                    double mass)
{
    setLaunchParameters(life, speed, color, position, acceleration, halfSize, mass);
    this->direction = direction;
    this->spread = spread;
    const double half = spread * 0.5;
    const double angleAboutX = scatterAngle(nextRandom(), spread, half);
    const double angleAboutY = scatterAngle(nextRandom(), spread, half);
    const double angleAboutZ = scatterAngle(nextRandom(), spread, half);
    velocity = direction;
    velocity.rotateX(angleAboutX).rotateY(angleAboutY).rotateZ(angleAboutZ);
    velocity.x *= speed;
    velocity.y *= speed;
    velocity.z *= speed;
}
