// The engine's one pseudo-random source. Every flake's launch draws from it in a fixed order, so
// a given seed always yields the same sequence of flakes.
#pragma once

#include <cstdint>

// The largest value nextRandom returns; ranges are scaled by dividing by it, so both ends occur.
constexpr int RANDOM_MAX = 32767;

// A number in 0..RANDOM_MAX: the state becomes state * 214013 + 2531011 (modulo 2^32) and the
// result is bits 16 to 30 of the new state.
int nextRandom();

void seedRandom(std::uint32_t seed);
