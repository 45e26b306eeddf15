// The particle system: construction, emitters, slots and retirement.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine_test_helpers.h"
#include "particles/particle_system.h"
#include "particles/random.h"

namespace {

// A prototype whose clones live long enough never to retire in these tests.
std::unique_ptr<Particle> longLivedPrototype()
{
    auto prototype = std::make_unique<Particle>();
    prototype->init(1000.0, 1.0, Color4::white, Vector3(), Vector3(), 1.0, 1.0);
    return prototype;
}

TEST(ParticleSystem, ConstructionSeedsTheRandomSourceAndStartsEmpty)
{
    seedRandom(99);
    ParticleSystem system;
    EXPECT_EQ(nextRandom(), 38);
    EXPECT_EQ(system.capacity, 20000);
    EXPECT_EQ(system.liveCount, 0);
    EXPECT_EQ(system.vertexArray->length, 240000);
    EXPECT_EQ(system.colorArray->length, 320000);
    EXPECT_EQ(system.texCoordArray->length, 160000);
    EXPECT_EQ(system.particles[19999], nullptr);
}

struct EmitterCase {
    const char* name;
    double perSecond;
    std::vector<double> frames;
    int expectedSpawned;
    double expectedAccumulator;
};

class EmitterTest : public ::testing::TestWithParam<EmitterCase> {};

TEST_P(EmitterTest, SpawnsTheWholePartAndCarriesTheFraction)
{
    ParticleSystem system;
    auto prototype = longLivedPrototype();
    system.addEmitter(prototype.get(), GetParam().perSecond);
    for (double seconds : GetParam().frames) {
        system.update(seconds);
    }
    EXPECT_EQ(system.liveCount, GetParam().expectedSpawned);
    ASSERT_EQ(system.emitters.size(), 1u);
    EXPECT_EQ(system.emitters[0]->accumulator, GetParam().expectedAccumulator);
    EXPECT_EQ(system.emitters[0]->remaining, -1.0 - GetParam().expectedSpawned);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, EmitterTest,
    ::testing::Values(EmitterCase{"exactly_one_owed_waits", 1.0, {1.0}, 0, 1.0},
                      EmitterCase{"spawns_on_the_next_frame", 1.0, {1.0, 0.001}, 1, 0.0009999999999998899},
                      EmitterCase{"keeps_the_fraction", 2.7, {1.0}, 2, 0.7000000000000002},
                      EmitterCase{"fractions_add_up", 100.0, {0.004, 0.004, 0.004}, 1, 0.20000000000000018},
                      EmitterCase{"zero_rate", 0.0, {1.0, 1.0}, 0, 0.0},
                      EmitterCase{"zero_seconds", 100.0, {0.0, 0.0}, 0, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParticleSystem, NewbornsAreAdvancedAndDrawnInTheirFirstFrame)
{
    ParticleSystem system;
    auto prototype = longLivedPrototype();
    prototype->position = Vector3(10, 20, 30);
    system.addEmitter(prototype.get(), 1.0);
    system.update(1.5);
    ASSERT_EQ(system.liveCount, 1);
    EXPECT_EQ(system.particles[0]->life, 998.5);
    EXPECT_EQ(system.particles[0]->vertexArray, system.vertexArray);
    EXPECT_EQ(system.particles[0]->colorArray, system.colorArray);
    // The quad was written over the placeholder: corner 3 is (+h, -h) about the new position.
    const Vector3& at = system.particles[0]->position;
    EXPECT_EQ(system.vertexArray->data[9], at.x + 1.0);
    EXPECT_EQ(system.vertexArray->data[10], at.y - 1.0);
}

TEST(ParticleSystem, FinishedEmitterIsRemovedOnTheNextUpdate)
{
    ParticleSystem system;
    auto prototype = longLivedPrototype();
    system.addEmitter(prototype.get(), 3.5);
    system.addEmitter(prototype.get(), 0.0);
    ParticleEmitter* limited = system.emitters[0];
    limited->total = 5.0;
    limited->remaining = 2.0;

    system.update(1.0);
    EXPECT_EQ(system.liveCount, 3);  // the batch overshoots the budget
    EXPECT_EQ(limited->remaining, -1.0);
    ASSERT_EQ(system.emitters.size(), 2u);

    system.update(1.0);
    EXPECT_EQ(system.liveCount, 3);
    ASSERT_EQ(system.emitters.size(), 1u);
    EXPECT_EQ(system.emitters[0]->perSecond, 0.0);
}

// Ten particles at distinct heights; the ones named in dying retire in the next frame.
std::vector<Particle*> fillTen(ParticleSystem& system, std::vector<int> dying)
{
    std::vector<Particle*> added;
    for (int i = 0; i < 10; ++i) {
        bool dies = std::find(dying.begin(), dying.end(), i) != dying.end();
        added.push_back(new CountedParticle(dies ? 0.05 : 10.0, Vector3(0, i * 10.0, 0)));
        system.addParticle(added.back());
    }
    return added;
}

TEST(ParticleSystem, RetiredSlotsTakeTheLastLiveParticles)
{
    ParticleSystem system;
    const int destroyedBefore = CountedParticle::destroyed;
    std::vector<Particle*> added = fillTen(system, {3, 7});
    system.update(0.1);
    EXPECT_EQ(system.liveCount, 8);
    EXPECT_EQ(CountedParticle::destroyed - destroyedBefore, 2);
    EXPECT_EQ(system.particles[3], added[9]);
    EXPECT_EQ(system.particles[7], added[8]);
    EXPECT_EQ(system.particles[8], nullptr);
    EXPECT_EQ(system.particles[9], nullptr);
    // Each slot's corners belong to the particle now in it: corner 0 is at y - h.
    EXPECT_EQ(system.vertexArray->data[3 * 12 + 1], 89.0);
    EXPECT_EQ(system.vertexArray->data[7 * 12 + 1], 79.0);
}

TEST(ParticleSystem, RunsOfDeadParticlesAllRetireInOnePass)
{
    ParticleSystem system;
    fillTen(system, {0, 1, 2, 7, 8, 9});
    system.update(0.1);
    EXPECT_EQ(system.liveCount, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(system.particles[i]->life, 9.9);  // every survivor advanced exactly once
    }
}

TEST(ParticleSystem, FullSystemDestroysNewParticles)
{
    ParticleSystem system;
    for (int i = 0; i < system.capacity; ++i) {
        system.addParticle(new Particle);
    }
    const int destroyedBefore = CountedParticle::destroyed;
    system.addParticle(new CountedParticle(1.0));
    EXPECT_EQ(system.liveCount, 20000);
    EXPECT_EQ(CountedParticle::destroyed - destroyedBefore, 1);
}

TEST(ParticleSystem, NewSlotIsResetToAWhitePlaceholder)
{
    ParticleSystem system;
    std::fill(system.colorArray->data, system.colorArray->data + 16, 0.25);
    system.vertexArray->data[0] = 42.0;
    system.addParticle(new Particle);
    const double placeholder[12] = {1, 1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0};
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(system.vertexArray->data[k], placeholder[k]) << k;
    }
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(system.colorArray->data[k], 1.0) << k;
    }
}

TEST(ParticleSystem, ExchangingASlotWithItselfChangesNothing)
{
    ParticleSystem system;
    Particle* only = new Particle;
    system.addParticle(only);
    system.vertexArray->data[5] = 7.0;
    system.exchangeSlots(0, 0);
    EXPECT_EQ(system.particles[0], only);
    EXPECT_EQ(system.vertexArray->data[5], 7.0);
}

}
