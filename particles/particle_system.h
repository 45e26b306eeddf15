// ParticleSystem: owns every live particle, the emitters that create them and the quad batch
// that OpenGL draws. Once per frame the scene calls update with the frame's seconds, then draw.
#pragma once

#include <cstdint>
#include <vector>

#include "particles/attribute_array.h"

class ForceField;
class Particle;

// Turns a rate in particles per second into whole particles per frame, carrying the fraction.
struct ParticleEmitter {
    Particle* prototype = nullptr;  // cloned for every spawn; not owned
    double accumulator = 0.0;       // particles owed but not yet spawned
    double remaining = -1.0;        // particles still to emit; each batch subtracts its count
    double total = -1.0;            // -1.0: endless; otherwise finishes once remaining <= 0
    double perSecond = 0.0;
};

class ParticleSystem {
public:
    // Empty, with the batch filled and the random source seeded with 0.
    ParticleSystem();
    ~ParticleSystem();

    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // Adds an endless emitter of clones of prototype; the prototype stays the caller's.
    void addEmitter(Particle* prototype, double perSecond);
    // Takes the particle into the next free slot, or destroys it when every slot is taken.
    void addParticle(Particle* particle);
    // One frame: the system's fields, the emitters' spawns, then every particle advanced,
    // retired when its life is over or written into the batch.
    void update(double seconds);
    // One indexed draw of the live quads; needs a current OpenGL context with the vertex,
    // colour and texture-coordinate client arrays enabled.
    void draw();
    // Swaps two slots and their corner positions and colours.
    void exchangeSlots(std::int32_t a, std::int32_t b);

    Particle** particles;
    AttributeArray* vertexArray;
    AttributeArray* colorArray;
    AttributeArray* texCoordArray;
    std::uint32_t* indexArray;
    std::int32_t liveCount;
    std::int32_t capacity;
    std::vector<ParticleEmitter*> emitters;
    std::vector<ForceField*> fields;

private:
    void runEmitters(double seconds);
    void advanceParticles(double seconds);
};

// The one particle system of the process; set by the scene, never cleared.
extern ParticleSystem* particleSystem;
