// The quad batch: construction fill, quad writing, slot reset and corner exchange.
#include "particles/quad_batch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "particles/color4.h"
#include "particles/particle.h"
#include "particles/vector3.h"

namespace {

double* cornerData(AttributeArray& array, std::int32_t slot)
{
    return array.data + static_cast<std::ptrdiff_t>(slot) * QUAD_CORNERS * array.components;
}

}

void fillBatch(AttributeArray& vertexArray, AttributeArray& colorArray,
               AttributeArray& texCoordArray, std::uint32_t* indexArray, std::int32_t slots)
{
    static const std::uint32_t cornerOrder[QUAD_INDICES] = {0, 1, 2, 0, 2, 3};
    static const double texCoords[QUAD_CORNERS * 2] = {0, 0, 0, 1, 1, 1, 1, 0};
    for (std::int32_t slot = 0; slot < slots; ++slot) {
        const std::uint32_t first = static_cast<std::uint32_t>(slot) * QUAD_CORNERS;
        for (std::int32_t k = 0; k < QUAD_INDICES; ++k) {
            indexArray[static_cast<std::ptrdiff_t>(slot) * QUAD_INDICES + k] = first + cornerOrder[k];
        }
        std::copy(texCoords, texCoords + QUAD_CORNERS * 2, cornerData(texCoordArray, slot));
    }
    std::fill(vertexArray.data, vertexArray.data + vertexArray.length, 0.0);
    std::fill(colorArray.data, colorArray.data + colorArray.length, 1.0);
}

void writeQuad(AttributeArray& vertexArray, AttributeArray& colorArray, std::int32_t slot,
               const Particle& particle)
{
    const double h = particle.halfSize;
    Vector3 corners[QUAD_CORNERS] = {{-h, -h, 0.0}, {-h, h, 0.0}, {h, h, 0.0}, {h, -h, 0.0}};
    // One sine and cosine per angle serve all four corners, with the very results rotateX and
    // rotateY would give corner by corner.
    if (particle.angleX != 0.0) {
        const double c = std::cos(particle.angleX);
        const double s = std::sin(particle.angleX);
        for (Vector3& corner : corners) {
            corner.turnX(c, s);
        }
    }
    if (particle.angleY != 0.0) {
        const double c = std::cos(particle.angleY);
        const double s = std::sin(particle.angleY);
        for (Vector3& corner : corners) {
            corner.turnY(c, s);
        }
    }
    double* position = cornerData(vertexArray, slot);
    double* color = cornerData(colorArray, slot);
    const Color4& c = particle.color;
    for (const Vector3& corner : corners) {
        const Vector3 at = corner + particle.position;
        position[0] = at.x;
        position[1] = at.y;
        position[2] = at.z;
        position += 3;
        color[0] = c.r;
        color[1] = c.g;
        color[2] = c.b;
        color[3] = c.a;
        color += 4;
    }
}

void resetSlot(AttributeArray& vertexArray, AttributeArray& colorArray, std::int32_t slot)
{
    static const double placeholder[QUAD_CORNERS * 3] = {1, 1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0};
    std::copy(placeholder, placeholder + QUAD_CORNERS * 3, cornerData(vertexArray, slot));
    double* color = cornerData(colorArray, slot);
    for (std::int32_t k = 0; k < QUAD_CORNERS; ++k) {
        const Color4& white = Color4::white;
        color[0] = white.r;
        color[1] = white.g;
        color[2] = white.b;
        color[3] = white.a;
        color += 4;
    }
}

void exchangeCorners(AttributeArray& vertexArray, AttributeArray& colorArray, std::int32_t a,
                     std::int32_t b)
{
    for (AttributeArray* array : {&vertexArray, &colorArray}) {
        const std::ptrdiff_t count = static_cast<std::ptrdiff_t>(QUAD_CORNERS) * array->components;
        std::swap_ranges(cornerData(*array, a), cornerData(*array, a) + count,
                         cornerData(*array, b));
    }
}
