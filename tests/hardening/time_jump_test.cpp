// Frames of unusual length reaching the snow engine: the machine resumes from sleep and the frame
// clock reports an hour, or the clock stands still. The engine must do work in proportion to the
// frame's length only through the emitter's clones, keep every slot sound, and fill the sky again
// on the normal frames that follow.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "tests/hardening/snow_engine.h"

namespace {

struct Jump {
    const char* name;
    double perSecond;
    bool useGravity;
    double seconds;
};

void expectSlotsSound(const ParticleSystem& system)
{
    ASSERT_GE(system.liveCount, 0);
    ASSERT_LE(system.liveCount, system.capacity);
    for (std::int32_t i = 0; i < system.liveCount; ++i) {
        ASSERT_NE(system.particles[i], nullptr) << "slot " << i;
        EXPECT_GT(system.particles[i]->life, 0.0) << "slot " << i;
    }
    if (system.liveCount < system.capacity) {
        EXPECT_EQ(system.particles[system.liveCount], nullptr);
    }
}

class TimeJumpTest : public testing::TestWithParam<Jump> {};

TEST_P(TimeJumpTest, FrameAfterAJumpStaysBoundedAndTheSnowReturns)
{
    const Jump& jump = GetParam();
    SnowEngine engine(jump.perSecond, jump.useGravity);
    engine.run(16.0);
    const std::int32_t steady = engine.system.liveCount;
    ASSERT_GT(steady, 0);

    const std::int64_t clonesBefore = engine.flake->clones;
    engine.system.update(jump.seconds);
    const std::int64_t clones = engine.flake->clones - clonesBefore;

    // The emitter owes rate x seconds plus what it carried (less than one flake); it clones no
    // more than that, however long the frame.
    const double owed = jump.perSecond * jump.seconds;
    EXPECT_LE(static_cast<double>(clones), owed + 1.0);
    EXPECT_GE(static_cast<double>(clones), owed - 1.0);
    expectSlotsSound(engine.system);
    if (jump.seconds > 15.0) {
        // Longer than a flake's life: every flake, old or newborn, has melted.
        EXPECT_EQ(engine.system.liveCount, 0);
    }

    engine.run(16.0);
    expectSlotsSound(engine.system);
    EXPECT_NEAR(engine.system.liveCount, steady, steady * 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, TimeJumpTest,
    testing::Values(Jump{"HourAtMostFlakes", 300.0, false, 3600.0},
                    Jump{"HourWithGravity", 300.0, true, 3600.0},
                    Jump{"HourAtFewestFlakes", 10.0, false, 3600.0},
                    Jump{"JustUnderALife", 300.0, true, 14.99},
                    Jump{"AMinute", 100.0, false, 60.0},
                    Jump{"ClockStoodStill", 300.0, false, 0.0}),
    [](const testing::TestParamInfo<Jump>& info) { return std::string(info.param.name); });

TEST(TimeJump, FramesOfZeroSpawnNothingAndMoveNothing)
{
    SnowEngine engine(300.0, false);
    engine.run(5.0);
    const std::int32_t live = engine.system.liveCount;
    const std::int64_t clones = engine.flake->clones;
    const Vector3 position = engine.system.particles[0]->position;
    for (int frame = 0; frame < 1000; ++frame)
        engine.system.update(0.0);
    EXPECT_EQ(engine.flake->clones, clones);
    EXPECT_EQ(engine.system.liveCount, live);
    EXPECT_EQ(engine.system.particles[0]->position.y, position.y);
}

} // namespace
