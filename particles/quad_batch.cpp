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

// The corners of a quad differ only in the signs of their offsets (x and y are each -h or +h, z
// is 0), so the turns share most of their products. Every value below is computed with the same
// operations on the same operands as rotateX and then rotateY applied to each corner on its own,
// so the results are identical to theirs, bit for bit; only repeated work is left out. One sine
// and cosine per angle serve all four corners.
void writeQuad(AttributeArray& vertexArray, AttributeArray& colorArray, std::int32_t slot,
               const Particle& particle)
{
    const double h = particle.halfSize;
    const double low = -h;
    // After the turn about X: y and z of the corners whose y offset is -h (0, 3) and +h (1, 2).
    double yLow = low;
    double yHigh = h;
    double zLow = 0.0;
    double zHigh = 0.0;
    if (particle.angleX != 0.0) {
        const double c = std::cos(particle.angleX);
        const double s = std::sin(particle.angleX);
        const double sz = s * 0.0;
        const double cz = c * 0.0;
        yLow = c * low - sz;
        zLow = cz + s * low;
        yHigh = c * h - sz;
        zHigh = cz + s * h;
    }
    // After the turn about Y: x and z of corners 0 to 3.
    double x0 = low, x1 = low, x2 = h, x3 = h;
    double z0 = zLow, z1 = zHigh, z2 = zHigh, z3 = zLow;
    if (particle.angleY != 0.0) {
        const double c = std::cos(particle.angleY);
        const double s = std::sin(particle.angleY);
        const double cxLow = c * low;
        const double cxHigh = c * h;
        const double sxLow = s * low;
        const double sxHigh = s * h;
        const double szLow = s * zLow;
        const double szHigh = s * zHigh;
        const double czLow = c * zLow;
        const double czHigh = c * zHigh;
        x0 = cxLow - szLow;
        z0 = czLow + sxLow;
        x1 = cxLow - szHigh;
        z1 = czHigh + sxLow;
        x2 = cxHigh - szHigh;
        z2 = czHigh + sxHigh;
        x3 = cxHigh - szLow;
        z3 = czLow + sxHigh;
    }
    // Copies: the arrays written below cannot then be taken to overlap the particle.
    const Vector3 at = particle.position;
    const Color4 color = particle.color;
    double* corner = cornerData(vertexArray, slot);
    const auto place = [&corner, &at](double x, double y, double z) {
        corner[0] = x + at.x;
        corner[1] = y + at.y;
        corner[2] = z + at.z;
        corner += 3;
    };
    place(x0, yLow, z0);
    place(x1, yHigh, z1);
    place(x2, yHigh, z2);
    place(x3, yLow, z3);
    double* cornerColor = cornerData(colorArray, slot);
    for (std::int32_t k = 0; k < QUAD_CORNERS; ++k) {
        cornerColor[0] = color.r;
        cornerColor[1] = color.g;
        cornerColor[2] = color.b;
        cornerColor[3] = color.a;
        cornerColor += 4;
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
