// The engine's linear congruential random source.
#include "particles/random.h"

namespace {

std::uint32_t randomState = 0;

}

int nextRandom()
{
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

void seedRandom(std::uint32_t seed)
{
    randomState = seed;
}
