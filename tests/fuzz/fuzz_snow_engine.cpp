// Fuzzes the snow engine with the frames the saver can really give it: any flake rate the
// settings allow, gravity steering on or off, frame times from none at all through normal frames
// and stalls to an hour after the machine resumes from sleep (the frame clock counts real time,
// so it never runs backwards), and the gravity centre dragged anywhere between frames. After every
// frame the slots and the batch stay sound, and the emitter has made exactly the flakes the
// elapsed time owes.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include <fuzzer/FuzzedDataProvider.h>

#include "particles/quad_batch.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/hardening/snow_engine.h"

namespace {

constexpr int mostFrames = 300;
// An hour's frame clones up to a million flakes; one per input keeps the fuzzer quick.
constexpr int mostSleeps = 1;

void checkSlots(const ParticleSystem& system)
{
    FUZZ_CHECK(system.liveCount >= 0 && system.liveCount <= system.capacity);
    for (std::int32_t i = 0; i < system.liveCount; ++i) {
        const Particle* flake = system.particles[i];
        FUZZ_CHECK(flake != nullptr);
        FUZZ_CHECK(flake->life > 0.0 && flake->life <= flake->initialLife);
        FUZZ_CHECK(std::isfinite(flake->position.x) && std::isfinite(flake->position.y) &&
                   std::isfinite(flake->position.z));
        FUZZ_CHECK(flake->color.a >= 0.0 && flake->color.a <= 2.0);
        const std::int32_t components = system.vertexArray->components;
        const double* corners = system.vertexArray->data + i * QUAD_CORNERS * components;
        for (std::int32_t c = 0; c < QUAD_CORNERS * components; ++c)
            FUZZ_CHECK(std::isfinite(corners[c]));
    }
    if (system.liveCount < system.capacity)
        FUZZ_CHECK(system.particles[system.liveCount] == nullptr);
}

double nextFrameSeconds(FuzzedDataProvider& input, int& sleeps)
{
    switch (input.ConsumeIntegralInRange(0, 7)) {
    case 0:
        return 0.0;
    case 5:
        return input.ConsumeFloatingPointInRange(0.0, 20.0);
    case 6:
        if (sleeps < mostSleeps) {
            ++sleeps;
            return input.ConsumeProbability<double>() * 3600.0;
        }
        return 1.0 / 60.0;
    default:
        return input.ConsumeFloatingPointInRange(0.0, 0.1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const double perSecond = input.ConsumeIntegralInRange(10, 300);
    const bool useGravity = input.ConsumeBool();
    SnowEngine engine(perSecond, useGravity);

    double elapsed = 0.0;
    int sleeps = 0;
    for (int frame = 0; frame < mostFrames && input.remaining_bytes() > 0; ++frame) {
        if (useGravity && input.ConsumeBool()) {
            // Steering moves the centre by 0.01 per pixel of 16-bit mouse motion, without bound.
            engine.gravity.center.x += 0.01 * input.ConsumeIntegral<std::int16_t>() * 100.0;
            engine.gravity.center.y += 0.01 * input.ConsumeIntegral<std::int16_t>() * 100.0;
        }
        const double seconds = nextFrameSeconds(input, sleeps);
        engine.system.update(seconds);
        elapsed += seconds;
        checkSlots(engine.system);

        // What the frames owe, less the fraction (at most one flake) the emitter still carries.
        const double owed = perSecond * elapsed;
        const double made = static_cast<double>(engine.flake->clones);
        FUZZ_CHECK(made <= owed + 1e-6 * owed + 1e-9);
        FUZZ_CHECK(made >= owed - 1.0 - 1e-6 * owed);
    }
    return 0;
}
