// Mouse-steered gravity's arithmetic as both hosts run it: the centre follows each motion with y
// turned over, and the remembered position goes back to the middle at an edge.
#include "scene/gravity_steering.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

TEST(GravitySteering, CentreFollowsMotionAndRecentresAtEdges)
{
    struct Step {
        int x, y;
        double centreX, centreY;  // after the motion
        std::optional<int> lastX, lastY;  // after recentring in a 640x360 window
        bool recentred;
    };
    // 0.01 world units a pixel; the first event only sets the remembered position.
    const Step steps[] = {
        {320, 180, 0.0, 0.0, 320, 180, false},
        {330, 170, 0.1, 0.1, 330, 170, false},
        {300, 200, -0.2, -0.2, 300, 200, false},
        {0, 200, -3.2, -0.2, 320, 200, true},
        {320, 356, -3.2, -1.76, 320, 180, true},
        {330, 180, -3.1, -1.76, 330, 180, false},
    };
    Vector3 centre(0.0, 0.0, 0.0);
    std::optional<int> lastX;
    std::optional<int> lastY;
    for (const Step& step : steps) {
        followMouse(centre, lastX, lastY, step.x, step.y);
        EXPECT_NEAR(centre.x, step.centreX, 1e-12) << step.x << ", " << step.y;
        EXPECT_NEAR(centre.y, step.centreY, 1e-12) << step.x << ", " << step.y;
        const bool recentredX = recentreAtEdge(lastX, 640);
        const bool recentredY = recentreAtEdge(lastY, 360);
        EXPECT_EQ(recentredX || recentredY, step.recentred) << step.x << ", " << step.y;
        EXPECT_EQ(lastX, step.lastX) << step.x << ", " << step.y;
        EXPECT_EQ(lastY, step.lastY) << step.x << ", " << step.y;
    }
    std::optional<int> never;
    EXPECT_FALSE(recentreAtEdge(never, 640));
    EXPECT_FALSE(never);
}

} // namespace
