// The quad batch: its construction contents and the quads written for particles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "particles/particle.h"
#include "particles/particle_system.h"
#include "particles/quad_batch.h"

namespace {

struct Batch {
    explicit Batch(std::int32_t slots)
        : vertices(3, slots * 4), colors(4, slots * 4), texCoords(2, slots * 4),
          indices(static_cast<std::size_t>(slots) * 6)
    {
        fillBatch(vertices, colors, texCoords, indices.data(), slots);
    }
    AttributeArray vertices;
    AttributeArray colors;
    AttributeArray texCoords;
    std::vector<std::uint32_t> indices;
};

TEST(QuadBatch, ConstructionFillsIndicesTextureCoordinatesAndColours)
{
    ParticleSystem system;
    const std::uint32_t slot0[6] = {0, 1, 2, 0, 2, 3};
    const std::uint32_t slot2[6] = {8, 9, 10, 8, 10, 11};
    const std::uint32_t lastSlot[6] = {79996, 79997, 79998, 79996, 79998, 79999};
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(system.indexArray[k], slot0[k]);
        EXPECT_EQ(system.indexArray[12 + k], slot2[k]);
        EXPECT_EQ(system.indexArray[119994 + k], lastSlot[k]);
    }
    const double corners[8] = {0, 0, 0, 1, 1, 1, 1, 0};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(system.texCoordArray->data[k], corners[k]);
        EXPECT_EQ(system.texCoordArray->data[159992 + k], corners[k]);
    }
    EXPECT_EQ(system.colorArray->data[319999], 1.0);
    EXPECT_EQ(system.vertexArray->data[239999], 0.0);
}

Particle quadParticle(double halfSize, double angleX, double angleY)
{
    Particle particle;
    particle.halfSize = halfSize;
    particle.angleX = angleX;
    particle.angleY = angleY;
    return particle;
}

const double quarterTurn = std::acos(-1.0) / 2.0;

struct QuadCase {
    const char* name;
    double halfSize, angleX, angleY;
    int corner;
    Vector3 expected;
};

class QuadTest : public ::testing::TestWithParam<QuadCase> {};

TEST_P(QuadTest, CornerLandsWhereTheAnglesTurnIt)
{
    Batch batch(3);
    const QuadCase& c = GetParam();
    writeQuad(batch.vertices, batch.colors, 2, quadParticle(c.halfSize, c.angleX, c.angleY));
    const double* at = batch.vertices.data + 2 * 12 + c.corner * 3;
    EXPECT_NEAR(at[0], c.expected.x, 1e-12);
    EXPECT_NEAR(at[1], c.expected.y, 1e-12);
    EXPECT_NEAR(at[2], c.expected.z, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Corners, QuadTest,
    ::testing::Values(QuadCase{"flat_corner_0", 1, 0, 0, 0, {-1, -1, 0}},
                      QuadCase{"flat_corner_1", 1, 0, 0, 1, {-1, 1, 0}},
                      QuadCase{"flat_corner_2", 1, 0, 0, 2, {1, 1, 0}},
                      QuadCase{"flat_corner_3", 1, 0, 0, 3, {1, -1, 0}},
                      QuadCase{"about_x_lies_in_xz", 2, quarterTurn, 0, 0, {-2, 0, -2}},
                      QuadCase{"about_y_stands_in_yz", 2, 0, quarterTurn, 2, {0, 2, 2}},
                      // X first: the corner's y goes to z, then the y turn moves x towards z.
                      QuadCase{"x_then_y", 1, quarterTurn, quarterTurn, 1, {-1, 0, -1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QuadBatch, QuadIsCentredOnThePositionAndCarriesTheColourUnclamped)
{
    Batch batch(1);
    Particle particle = quadParticle(0.5, 0, 0);
    particle.position = Vector3(10, 20, 30);
    particle.color = Color4(0.25, 0.5, 0.75, 1.6);
    writeQuad(batch.vertices, batch.colors, 0, particle);
    const double expected[12] = {9.5, 19.5, 30, 9.5, 20.5, 30, 10.5, 20.5, 30, 10.5, 19.5, 30};
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(batch.vertices.data[k], expected[k]) << k;
    }
    for (int corner = 0; corner < 4; ++corner) {
        EXPECT_EQ(batch.colors.data[corner * 4 + 0], 0.25);
        EXPECT_EQ(batch.colors.data[corner * 4 + 3], 1.6);
    }
}

std::uint64_t bitsOf(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void expectCornersAsRotatedOneByOne(const Vector3& position, double h, double angleX, double angleY)
{
    Batch batch(1);
    Particle particle = quadParticle(h, angleX, angleY);
    particle.position = position;
    writeQuad(batch.vertices, batch.colors, 0, particle);
    const Vector3 offsets[4] = {{-h, -h, 0}, {-h, h, 0}, {h, h, 0}, {h, -h, 0}};
    for (int corner = 0; corner < 4; ++corner) {
        Vector3 v = offsets[corner];
        if (angleX != 0.0) {
            v.rotateX(angleX);
        }
        if (angleY != 0.0) {
            v.rotateY(angleY);
        }
        v = v + position;
        const double* written = batch.vertices.data + corner * 3;
        EXPECT_EQ(bitsOf(written[0]), bitsOf(v.x)) << angleX << " " << angleY << " " << corner;
        EXPECT_EQ(bitsOf(written[1]), bitsOf(v.y)) << angleX << " " << angleY << " " << corner;
        EXPECT_EQ(bitsOf(written[2]), bitsOf(v.z)) << angleX << " " << angleY << " " << corner;
    }
}

TEST(QuadBatch, CornersAreBitForBitThoseOfRotatingEachCornerOnItsOwn)
{
    // halfSize, angleX, angleY; a zero half size brings signed zeros into play.
    const double quads[][3] = {{2, 0.3, 0},      {2, 0, -2.1},   {2, 1.57, 0},  {2, 75.25, 31.5},
                               {2, -1e3, 4e5},   {0, -0.5, 0.7}, {0, 0.5, -0.7}, {1e-300, 3, 3},
                               {0.7, -4, -1e-9}, {2, 0, 0}};
    // A position of negative zeros keeps the sign of every zero offset.
    const Vector3 positions[] = {{-262.8132019042969, 102.7024154663086, -155.9892578125},
                                 {-0.0, -0.0, -0.0}};
    for (const Vector3& position : positions) {
        for (const auto& quad : quads) {
            expectCornersAsRotatedOneByOne(position, quad[0], quad[1], quad[2]);
        }
    }
}

TEST(QuadBatch, ExchangeSwapsPositionsAndColoursCornerByCorner)
{
    Batch batch(2);
    for (int k = 0; k < 24; ++k) {
        batch.vertices.data[k] = k;
    }
    for (int k = 0; k < 32; ++k) {
        batch.colors.data[k] = 100 + k;
    }
    exchangeCorners(batch.vertices, batch.colors, 0, 1);
    EXPECT_EQ(batch.vertices.data[0], 12.0);
    EXPECT_EQ(batch.vertices.data[23], 11.0);
    EXPECT_EQ(batch.colors.data[0], 116.0);
    EXPECT_EQ(batch.colors.data[31], 115.0);
    EXPECT_EQ(batch.texCoords.data[8], 0.0);  // texture coordinates stay
}

}
