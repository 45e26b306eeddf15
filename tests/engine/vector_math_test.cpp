// Vector3 rotations, normalising division and the degree-to-radian factor.
#include <gtest/gtest.h>

#include <cmath>

#include "particles/vector3.h"

namespace {

const double quarterTurn = std::acos(-1.0) / 2.0;

struct RotationCase {
    const char* name;
    char axis;
    Vector3 start;
    Vector3 expected;
};

class RotationTest : public ::testing::TestWithParam<RotationCase> {};

Vector3& rotateAbout(char axis, Vector3& v, double angle)
{
    return axis == 'x' ? v.rotateX(angle) : axis == 'y' ? v.rotateY(angle) : v.rotateZ(angle);
}

TEST_P(RotationTest, QuarterTurnTurnsTheFirstChangingAxisTowardsTheSecond)
{
    Vector3 v = GetParam().start;
    rotateAbout(GetParam().axis, v, quarterTurn);
    EXPECT_NEAR(v.x, GetParam().expected.x, 1e-15);
    EXPECT_NEAR(v.y, GetParam().expected.y, 1e-15);
    EXPECT_NEAR(v.z, GetParam().expected.z, 1e-15);
}

TEST_P(RotationTest, ZeroAngleLeavesTheVectorExactlyAsItWas)
{
    Vector3 v(1.5, -2.25, 3e10);
    rotateAbout(GetParam().axis, v, 0.0);
    EXPECT_EQ(v.x, 1.5);
    EXPECT_EQ(v.y, -2.25);
    EXPECT_EQ(v.z, 3e10);
}

INSTANTIATE_TEST_SUITE_P(
    Axes, RotationTest,
    ::testing::Values(RotationCase{"x_turns_y_to_z", 'x', {0, 1, 0}, {0, 0, 1}},
                      RotationCase{"x_keeps_x", 'x', {2, 0, 0}, {2, 0, 0}},
                      // Opposite to the right-hand sense about +y: +x goes to +z, not -z.
                      RotationCase{"y_turns_x_to_z", 'y', {1, 0, 0}, {0, 0, 1}},
                      RotationCase{"y_keeps_y", 'y', {0, 3, 0}, {0, 3, 0}},
                      RotationCase{"z_turns_x_to_y", 'z', {1, 0, 0}, {0, 1, 0}},
                      RotationCase{"z_turns_y_to_minus_x", 'z', {0, 1, 0}, {-1, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VectorMath, RotationReadsOldComponentsBeforeWritingAny)
{
    // Writing y first and reading it back for z would give z = sin(a) * cos(a), not 1 * sin(a).
    Vector3 v(0, 1, 0);
    v.rotateX(0.5);
    EXPECT_EQ(v.y, std::cos(0.5));
    EXPECT_EQ(v.z, std::sin(0.5));
}

TEST(VectorMath, DivisionByZeroLeavesTheVectorUnchanged)
{
    Vector3 v(3, 4, 0);
    v /= 0.0;
    EXPECT_EQ(v.x, 3.0);
    EXPECT_EQ(v.y, 4.0);
    EXPECT_EQ(v.z, 0.0);
    v /= 5.0;
    EXPECT_EQ(v.x, 0.6);
    EXPECT_EQ(v.y, 0.8);
    EXPECT_EQ(v.z, 0.0);
}

TEST(VectorMath, DegreeFactorIsTheRoundedPiOverOneEighty)
{
    EXPECT_EQ(DEG_TO_RAD, 3.14159265359 / 180.0);
    EXPECT_NE(DEG_TO_RAD * 180.0, std::acos(-1.0));
}

}
