// Particle: launch, cloning and the per-frame step of a flake.
#include "particles/particle.h"

#include "fields/force_field.h"
#include "particles/particle_pool.h"
#include "particles/random.h"

namespace {

// A draw turned into a launch fraction in [-0.5, 0.4999].
double launchFraction(int draw)
{
    return (draw % 10000 - 5000) / 10000.0;
}

}

Particle::Particle() = default;

Particle::Particle(AttributeArray* vertexArray, AttributeArray* colorArray)
    : vertexArray(vertexArray), colorArray(colorArray), mass(0.0), halfSize(0.0),
      color(0.0, 0.0, 0.0, 1.0)
{
}

void Particle::init(double life, double speed, const Color4& color, const Vector3& position,
                    const Vector3& acceleration, double halfSize, double mass)
{
    setLaunchParameters(life, speed, color, position, acceleration, halfSize, mass);
    // Separate statements: the draws belong to x, y and z in that order.
    const double ux = launchFraction(nextRandom());
    const double uy = launchFraction(nextRandom());
    const double uz = launchFraction(nextRandom());
    velocity = Vector3(speed * ux, speed * uy, speed * uz);
    angleX = 0.0;
    angleY = 0.0;
}

Particle* Particle::clone(AttributeArray* vertexArray, AttributeArray* colorArray) const
{
    Particle* particle = new Particle(vertexArray, colorArray);
    particle->init(initialLife, speed, color, position, acceleration, halfSize, mass);
    finishClone(*particle);
    return particle;
}

void Particle::setLaunchParameters(double life, double speed, const Color4& color,
                                   const Vector3& position, const Vector3& acceleration,
                                   double halfSize, double mass)
{
    this->life = life;
    this->initialLife = life;
    this->color = color;
    this->position = position;
    this->acceleration = acceleration;
    this->speed = speed;
    this->mass = mass;
    this->halfSize = halfSize;
}

// The clone's random place replaces the copied position; scattering stays a property of the
// prototype, so the clone's own spawn box stays empty.
void Particle::finishClone(Particle& clone) const
{
    if (randomSpawn) {
        randomizePosition(clone, spawnBoxMin, spawnBoxMax);
    }
    for (ForceField* field : fields) {
        clone.fields.push_back(field);
    }
}

Particle* Particle::spawn() const
{
    return clone(vertexArray, colorArray);
}

void Particle::update(double seconds)
{
    life -= seconds;
    if (life < 0.0) {
        // The frame overshot the end of the life: the particle retires where it is.
        life = 0.0;
        return;
    }
    velocity = velocity + acceleration * seconds;
    position = position + velocity * seconds;
    // Starts near 2 and reaches 0 at the end; the pipeline clamps it to 1, so the flake fades
    // only over the second half of its life.
    color.a = 2.0 * life / initialLife;
    for (ForceField* field : fields) {
        field->apply(seconds, *this);
    }
}

void Particle::setSpawnBox(const Vector3& min, const Vector3& max)
{
    spawnBoxMin = min;
    spawnBoxMax = max;
    randomSpawn = true;
}

void* Particle::operator new(std::size_t size)
{
    return allocateParticleMemory(size);
}

void Particle::operator delete(void* p, std::size_t size)
{
    releaseParticleMemory(p, size);
}

void randomizePosition(Particle& particle, const Vector3& min, const Vector3& max)
{
    const Vector3 d = max - min;
    int n = nextRandom();
    particle.position.x = static_cast<float>(n / static_cast<double>(RANDOM_MAX) * d.x + min.x);
    n = nextRandom();
    particle.position.y = static_cast<float>(n / static_cast<double>(RANDOM_MAX) * d.y + min.y);
    n = nextRandom();
    particle.position.z = static_cast<float>(n / static_cast<double>(RANDOM_MAX) * d.z + min.z);
}
