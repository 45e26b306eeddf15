// The quad batch: every live particle as one flat, textured square in the arrays OpenGL draws.
// Slot i owns corners 4i to 4i + 3 of the three attribute arrays and entries 6i to 6i + 5 of the
// index array. Corners, in the quad's own plane with half size h:
//   0 (-h, -h) texture (0, 0);  1 (-h, +h) (0, 1);  2 (+h, +h) (1, 1);  3 (+h, -h) (1, 0).
#pragma once

#include <cstdint>

#include "particles/attribute_array.h"

class Particle;

// Corners per quad and triangle indices per quad.
constexpr std::int32_t QUAD_CORNERS = 4;
constexpr std::int32_t QUAD_INDICES = 6;

// The contents for all slots at construction: the triangles (0, 1, 2) and (0, 2, 3) of every
// slot, the corner texture coordinates, positions 0.0 and colours 1.0.
void fillBatch(AttributeArray& vertexArray, AttributeArray& colorArray,
               AttributeArray& texCoordArray, std::uint32_t* indexArray, std::int32_t slots);

// The particle's four corner positions, turned by angleX and then angleY about its position,
// and its colour, unchanged, at every corner.
void writeQuad(AttributeArray& vertexArray, AttributeArray& colorArray, std::int32_t slot,
               const Particle& particle);

// A newly taken slot: opaque white and a placeholder square until the particle's quad is written.
void resetSlot(AttributeArray& vertexArray, AttributeArray& colorArray, std::int32_t slot);

// Exchanges two slots' positions and colours corner by corner.
void exchangeCorners(AttributeArray& vertexArray, AttributeArray& colorArray, std::int32_t a,
                     std::int32_t b);
