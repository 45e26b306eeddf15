// Memory for particles. Thousands of flakes are born and retired every few seconds and all of
// them are visited every frame; taking them from large slabs and reusing a retired flake's block
// for the next newborn keeps them close together in memory and keeps the allocator out of the
// frame.
#pragma once

#include <cstddef>

// Blocks of this size come from the slabs; a larger particle kind falls back to the heap.
constexpr std::size_t PARTICLE_BLOCK_SIZE = 384;

void* allocateParticleMemory(std::size_t size);

// size is the one given to allocateParticleMemory for p; a null p is ignored.
void releaseParticleMemory(void* p, std::size_t size);
