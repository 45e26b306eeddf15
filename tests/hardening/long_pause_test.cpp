// The scene's frame after a long pause: no more work than an ordinary frame, an empty sky that
// fills again, and exactly the engine's own numbers for every frame of up to a flake's life.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "scene/snow_advance.h"
#include "tests/hardening/snow_engine.h"

namespace {

struct Pause {
    const char* name;
    double seconds;
};

class LongPauseTest : public testing::TestWithParam<Pause> {};

TEST_P(LongPauseTest, MeltsTheSkyWithoutCloningAndTheSnowReturns)
{
    SnowEngine engine(300.0, true);
    engine.run(16.0);
    const std::int32_t steady = engine.system.liveCount;
    const std::int64_t clones = engine.flake->clones;

    advanceSnow(engine.system, GetParam().seconds);
    EXPECT_EQ(engine.flake->clones, clones);
    EXPECT_EQ(engine.system.liveCount, 0);

    engine.run(16.0);
    EXPECT_NEAR(engine.system.liveCount, steady, steady * 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    Pauses, LongPauseTest,
    testing::Values(Pause{"JustOverALife", 15.001}, Pause{"AnHour", 3600.0},
                    Pause{"AWeek", 7 * 86400.0}, Pause{"AYear", 365 * 86400.0},
                    Pause{"Endless", std::numeric_limits<double>::infinity()}),
    [](const testing::TestParamInfo<Pause>& info) { return std::string(info.param.name); });

// The random source is the process's one, so the two runs go one after the other, each on a
// fresh system, and leave behind everything a frame produces.
std::vector<std::vector<double>> framesOf(void (*advance)(ParticleSystem&, double))
{
    SnowEngine engine(300.0, true);
    std::vector<std::vector<double>> frames;
    for (double seconds : {1.0 / 60.0, 0.0, 2.5, 14.99, flakeLifeSeconds, 1.0 / 30.0}) {
        advance(engine.system, seconds);
        const double* vertices = engine.system.vertexArray->data;
        std::vector<double> frame(vertices, vertices + engine.system.vertexArray->length);
        frame.push_back(engine.system.liveCount);
        frame.push_back(static_cast<double>(engine.flake->clones));
        frames.push_back(frame);
    }
    return frames;
}

TEST(LongPause, FramesUpToALifeAreTheEnginesOwn)
{
    const auto scene = framesOf(advanceSnow);
    const auto engine = framesOf([](ParticleSystem& system, double seconds) {
        system.update(seconds);
    });
    ASSERT_EQ(scene.size(), engine.size());
    for (std::size_t i = 0; i < scene.size(); ++i)
        EXPECT_EQ(std::memcmp(scene[i].data(), engine[i].data(), sizeof(double) * scene[i].size()),
                  0) << "frame " << i;
}

} // namespace
