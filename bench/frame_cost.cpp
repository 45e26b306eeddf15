// frame_cost N F: F snow frames at N live flakes, for counting instructions under callgrind.
// Run it with two frame counts and take the difference to leave the set-up out.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "bench/snow_load.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: frame_cost <live flakes> <frames>\n");
        return 2;
    }
    const int flakes = std::atoi(argv[1]);
    const int frames = std::atoi(argv[2]);
    if (flakes <= 0 || frames <= 0) {
        std::fprintf(stderr, "frame_cost: both numbers must be positive\n");
        return 2;
    }
    SnowLoad load(flakes);
    load.warmUp();
    double flakeFrames = 0.0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        load.frame();
        flakeFrames += load.system.liveCount;
    }
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    std::printf("%.1f ns per flake per frame (%.0f live on average)\n", spent.count() / flakeFrames,
                flakeFrames / frames);
    return 0;
}
