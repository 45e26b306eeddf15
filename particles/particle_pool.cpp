// Particle memory: fixed-size blocks carved from slabs, with a last-in first-out free list so the
// most recently retired block, still warm in the cache, is the next one handed out. Slabs are
// kept for the whole run, like the particle system that uses them.
#include "particles/particle_pool.h"

#include <new>
#include <vector>

namespace {

constexpr std::size_t blocksPerSlab = 512;
// Blocks start on cache-line boundaries, so the part of a flake that every frame reads spans as
// few lines as it can.
constexpr std::align_val_t slabAlignment{64};

struct FreeBlock {
    FreeBlock* next;
};

FreeBlock* freeBlocks = nullptr;

std::vector<void*>& slabs()
{
    static std::vector<void*> all;
    return all;
}

void addSlab()
{
    char* slab = static_cast<char*>(::operator new(PARTICLE_BLOCK_SIZE * blocksPerSlab, slabAlignment));
    slabs().push_back(slab);
    // Thread the blocks so that they are handed out in address order.
    for (std::size_t i = blocksPerSlab; i-- > 0;) {
        FreeBlock* block = reinterpret_cast<FreeBlock*>(slab + i * PARTICLE_BLOCK_SIZE);
        block->next = freeBlocks;
        freeBlocks = block;
    }
}

}

void* allocateParticleMemory(std::size_t size)
{
    if (size > PARTICLE_BLOCK_SIZE) {
        return ::operator new(size);
    }
    if (freeBlocks == nullptr) {
        addSlab();
    }
    FreeBlock* block = freeBlocks;
    freeBlocks = block->next;
    return block;
}

void releaseParticleMemory(void* p, std::size_t size)
{
    if (p == nullptr) {
        return;
    }
    if (size > PARTICLE_BLOCK_SIZE) {
        ::operator delete(p);
        return;
    }
    FreeBlock* block = static_cast<FreeBlock*>(p);
    block->next = freeBlocks;
    freeBlocks = block;
}
