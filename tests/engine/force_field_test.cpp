// Force fields: the region test and what each kind does to a particle.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fields/decelerator_field.h"
#include "fields/gravity_field.h"
#include "fields/spinner_field.h"
#include "fields/swirl_field.h"
#include "particles/particle.h"

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();

struct RegionCase {
    const char* name;
    bool bounded;
    Vector3 point;
    bool inside;
};

class RegionTest : public ::testing::TestWithParam<RegionCase> {};

TEST_P(RegionTest, BoundsAreInclusiveAndNotANumberIsOutside)
{
    ForceField field;
    field.regionMin = Vector3(-400, -5430, -400);
    field.regionMax = Vector3(400, -15, 400);
    field.bounded = GetParam().bounded;
    EXPECT_EQ(field.inRegion(GetParam().point), GetParam().inside);
}

const double aboveTop = std::nextafter(-15.0, 0.0);
const double beyondSide = std::nextafter(400.0, 500.0);

INSTANTIATE_TEST_SUITE_P(
    Points, RegionTest,
    ::testing::Values(RegionCase{"on_upper_corner", true, {400, -15, 400}, true},
                      RegionCase{"on_lower_corner", true, {-400, -5430, -400}, true},
                      RegionCase{"just_outside_x", true, {beyondSide, -20, 0}, false},
                      RegionCase{"just_outside_y", true, {0, aboveTop, 0}, false},
                      RegionCase{"just_outside_z", true, {0, -20, -beyondSide}, false},
                      RegionCase{"nan_coordinate", true, {0, nan, 0}, false},
                      RegionCase{"unbounded_far_away", false, {1e9, 1e9, 1e9}, true},
                      RegionCase{"unbounded_nan", false, {nan, nan, nan}, true}),
    [](const auto& info) { return std::string(info.param.name); });

Particle particleAt(const Vector3& position, double mass = 1.0)
{
    Particle particle;
    particle.position = position;
    particle.mass = mass;
    return particle;
}

struct GravityCase {
    const char* name;
    Vector3 position;
    double mass;
    Vector3 expectedChange;
};

class GravityTest : public ::testing::TestWithParam<GravityCase> {};

TEST_P(GravityTest, PullsWithInverseSquareOutsideTheDeadZone)
{
    GravityField gravity(80.5, Vector3(0, 0, 0));
    Particle particle = particleAt(GetParam().position, GetParam().mass);
    particle.velocity = Vector3(1, 2, 3);
    gravity.apply(0.1, particle);
    EXPECT_DOUBLE_EQ(particle.velocity.x - 1, GetParam().expectedChange.x);
    EXPECT_DOUBLE_EQ(particle.velocity.y - 2, GetParam().expectedChange.y);
    EXPECT_DOUBLE_EQ(particle.velocity.z - 3, GetParam().expectedChange.z);
}

const double pullAtThirty = 500.0 * 80.5 / 900.0 * 0.1;

INSTANTIATE_TEST_SUITE_P(
    Positions, GravityTest,
    ::testing::Values(GravityCase{"sixty_above", {0, 60, 0}, 1.0, {0, -1.1180555555555556, 0}},
                      GravityCase{"twice_the_mass", {0, 60, 0}, 2.0, {0, -2.2361111111111112, 0}},
                      GravityCase{"no_mass", {0, 60, 0}, 0.0, {0, 0, 0}},
                      GravityCase{"edge_of_dead_zone", {30, 0, 0}, 1.0, {-pullAtThirty, 0, 0}},
                      GravityCase{"inside_dead_zone", {0, 0, 29.999}, 1.0, {0, 0, 0}},
                      GravityCase{"at_the_centre", {0, 0, 0}, 1.0, {0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GravityField, MovedCentreChangesThePull)
{
    GravityField gravity(80.5, Vector3(0, 0, 0));
    gravity.center = Vector3(0, 120, 0);
    Particle particle = particleAt(Vector3(0, 60, 0));
    gravity.apply(0.1, particle);
    EXPECT_DOUBLE_EQ(particle.velocity.y, 1.1180555555555556);
}

TEST(SwirlField, TurnsVelocityAboutXThenZByScaledSpeed)
{
    SwirlField swirl;
    Particle particle;
    particle.speed = 10.0;
    particle.velocity = Vector3(1, 0, 0);
    swirl.apply(1.0, particle);
    EXPECT_EQ(particle.velocity.x, std::cos(0.7));
    EXPECT_EQ(particle.velocity.y, std::sin(0.7));
    EXPECT_EQ(particle.velocity.z, 0.0);

    // About X first: (0, 1, 0) goes towards +z, then about Z.
    particle.velocity = Vector3(0, 1, 0);
    swirl.apply(1.0, particle);
    EXPECT_NEAR(particle.velocity.z, std::sin(0.7), 1e-15);

    particle.speed = 0.0;
    particle.velocity = Vector3(1, 2, 3);
    swirl.apply(1.0, particle);
    EXPECT_EQ(particle.velocity.y, 2.0);
}

TEST(SpinnerField, AdvancesBothAnglesAtTheirRates)
{
    SpinnerField spinner;
    Particle particle;
    particle.angleX = 0.25;
    spinner.apply(0.5, particle);
    EXPECT_EQ(particle.angleX, 1.25);
    EXPECT_EQ(particle.angleY, 2.5);
}

TEST(DecelleratorField, HalvesVelocityEachTimeAndLaysTheQuadFlat)
{
    DecelleratorField decelerator;
    Particle particle;
    particle.velocity = Vector3(4, -8, 2);
    particle.angleY = 3.0;
    decelerator.apply(0.01, particle);
    decelerator.apply(7.0, particle);
    EXPECT_EQ(particle.velocity.x, 1.0);
    EXPECT_EQ(particle.velocity.y, -2.0);
    EXPECT_EQ(particle.velocity.z, 0.5);
    EXPECT_EQ(particle.angleX, 1.57);
    EXPECT_EQ(particle.angleY, 0.0);
}

TEST(ForceField, OutsideTheRegionNoKindHasAnyEffect)
{
    GravityField gravity(80.5, Vector3(0, 0, 0));
    SwirlField swirl;
    SpinnerField spinner;
    DecelleratorField decelerator;
    ForceField base;
    for (ForceField* field : {static_cast<ForceField*>(&gravity), static_cast<ForceField*>(&swirl),
                              static_cast<ForceField*>(&spinner),
                              static_cast<ForceField*>(&decelerator), &base}) {
        field->regionMin = Vector3(-400, -5430, -400);
        field->regionMax = Vector3(400, -15, 400);
        field->bounded = true;
        Particle particle = particleAt(Vector3(0, 100, 0));
        particle.speed = 10.0;
        particle.velocity = Vector3(4, -8, 2);
        particle.angleX = 0.5;
        particle.angleY = 0.75;
        field->apply(0.5, particle);
        EXPECT_EQ(particle.velocity.x, 4.0);
        EXPECT_EQ(particle.velocity.y, -8.0);
        EXPECT_EQ(particle.velocity.z, 2.0);
        EXPECT_EQ(particle.angleX, 0.5);
        EXPECT_EQ(particle.angleY, 0.75);
        // The base field does nothing even when the particle is inside.
        field->bounded = false;
        if (field == &base) {
            field->apply(0.5, particle);
            EXPECT_EQ(particle.velocity.y, -8.0);
        }
    }
}

}
