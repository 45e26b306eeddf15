// ParticleSystem: emitters, the slots of live particles and their retirement.
#include "particles/particle_system.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "fields/force_field.h"
#include "particles/particle.h"
#include "particles/quad_batch.h"
#include "particles/random.h"

ParticleSystem* particleSystem = nullptr;

namespace {

constexpr std::int32_t systemCapacity = 20000;
constexpr double endless = -1.0;

}

ParticleSystem::ParticleSystem()
{
    seedRandom(0);
    capacity = systemCapacity;
    liveCount = 0;
    const std::int32_t corners = capacity * QUAD_CORNERS;
    particles = new Particle*[static_cast<std::size_t>(capacity)]();
    vertexArray = new AttributeArray(3, corners);
    colorArray = new AttributeArray(4, corners);
    texCoordArray = new AttributeArray(2, corners);
    indexArray = new std::uint32_t[static_cast<std::size_t>(capacity) * QUAD_INDICES];
    fillBatch(*vertexArray, *colorArray, *texCoordArray, indexArray, capacity);
}

ParticleSystem::~ParticleSystem()
{
    for (std::int32_t i = 0; i < liveCount; ++i) {
        delete particles[i];
    }
    for (ParticleEmitter* emitter : emitters) {
        delete emitter;
    }
    delete[] indexArray;
    delete texCoordArray;
    delete colorArray;
    delete vertexArray;
    delete[] particles;
}

void ParticleSystem::addEmitter(Particle* prototype, double perSecond)
{
    ParticleEmitter* emitter = new ParticleEmitter;
    emitter->prototype = prototype;
    emitter->perSecond = perSecond;
    emitters.push_back(emitter);
}

void ParticleSystem::addParticle(Particle* particle)
{
    if (liveCount >= capacity) {
        // A full system drops new particles silently.
        delete particle;
        return;
    }
    ++liveCount;
    const std::int32_t slot = liveCount - 1;
    resetSlot(*vertexArray, *colorArray, slot);
    particles[slot] = particle;
}

void ParticleSystem::update(double seconds)
{
    for (ForceField* field : fields) {
        field->update(seconds);
    }
    runEmitters(seconds);
    advanceParticles(seconds);
}

void ParticleSystem::exchangeSlots(std::int32_t a, std::int32_t b)
{
    std::swap(particles[a], particles[b]);
    exchangeCorners(*vertexArray, *colorArray, a, b);
}

void ParticleSystem::runEmitters(double seconds)
{
    std::vector<ParticleEmitter*> finished;
    for (ParticleEmitter* emitter : emitters) {
        if (!(emitter->remaining > 0.0 || emitter->total == endless)) {
            emitter->remaining = 0.0;
            finished.push_back(emitter);
            continue;
        }
        emitter->accumulator = emitter->perSecond * seconds + emitter->accumulator;
        double count = 0.0;
        if (emitter->accumulator > 1.0) {
            count = std::trunc(emitter->accumulator);
            emitter->remaining -= count;
            emitter->accumulator -= count;
        }
        // Counted in doubles: the count is a whole double and need not fit an integer.
        for (double spawned = 0.0; spawned < count; spawned += 1.0) {
            addParticle(emitter->prototype->clone(vertexArray, colorArray));
        }
    }
    for (ParticleEmitter* emitter : finished) {
        emitters.erase(std::remove(emitters.begin(), emitters.end(), emitter), emitters.end());
        delete emitter;
    }
}

void ParticleSystem::advanceParticles(double seconds)
{
    std::int32_t i = 0;
    while (i < liveCount) {
        Particle* particle = particles[i];
        particle->update(seconds);
        if (particle->life <= 0.0) {
            // The last live particle takes the freed slot; it has not been advanced yet, so slot i
            // is examined again.
            exchangeSlots(liveCount - 1, i);
            --liveCount;
            delete particles[liveCount];
            particles[liveCount] = nullptr;
        } else {
            writeQuad(*vertexArray, *colorArray, i, *particle);
            ++i;
        }
    }
}
