// The cost of one particle-system frame per live flake, at the snow scene's load, next to a plain
// copy of the bytes the frame writes (a quad's 12 position and 16 colour doubles, 224 bytes), so
// that the ratio between the two is known.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/snow_load.h"
#include "scene/snow_advance.h"

namespace {

constexpr std::size_t bytesPerFlake = (12 + 16) * sizeof(double);

void perFlakeCounters(benchmark::State& state, double flakeFrames)
{
    state.counters["per_flake"] =
        benchmark::Counter(flakeFrames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_SnowFrame(benchmark::State& state)
{
    SnowLoad load(static_cast<int>(state.range(0)));
    load.warmUp();
    double flakeFrames = 0.0;
    for (auto _ : state) {
        load.frame();
        flakeFrames += load.system.liveCount;
    }
    perFlakeCounters(state, flakeFrames);
    state.counters["live"] = benchmark::Counter(flakeFrames, benchmark::Counter::kAvgIterations);
}

void BM_PlainCopy(benchmark::State& state)
{
    const std::size_t bytes = static_cast<std::size_t>(state.range(0)) * bytesPerFlake;
    std::vector<char> from(bytes, 1);
    std::vector<char> to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    perFlakeCounters(state, static_cast<double>(state.range(0)) * state.iterations());
}

// The first frame after the machine slept for range(0) seconds, at the scene's busiest rate (4,500
// flakes alive): the scene's step, which melts the sky, next to the engine's own update, which
// clones every flake owed for the pause.
template <bool ThroughScene>
void BM_PauseFrame(benchmark::State& state)
{
    const double pause = static_cast<double>(state.range(0));
    std::unique_ptr<SnowLoad> load;
    for (auto _ : state) {
        state.PauseTiming();
        load.reset();
        load = std::make_unique<SnowLoad>(4500);
        load->warmUp();
        state.ResumeTiming();
        if (ThroughScene)
            advanceSnow(load->system, pause);
        else
            load->system.update(pause);
    }
}

BENCHMARK_TEMPLATE(BM_PauseFrame, true)->Arg(3600)->Arg(604800)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_PauseFrame, false)->Arg(3600)->Unit(benchmark::kMicrosecond)->Iterations(3);
BENCHMARK(BM_SnowFrame)->Arg(1500)->Arg(4500)->Arg(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainCopy)->Arg(1500)->Arg(4500)->Arg(20000)->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
