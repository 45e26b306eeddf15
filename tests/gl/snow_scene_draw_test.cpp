// The Linux program's scene drawn by Mesa into an offscreen buffer with the depth and stencil
// buffers a saver's window gets: the frame's clear leaves the depth buffer alone without changing
// a pixel, and the projection takes the drawable's shape at set-up and on a resize. One test, as
// the scene is set up once a process.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "scene/tavrel_hack.h"
#include "tests/gl/offscreen_context.h"

namespace {

std::vector<std::uint8_t> drawAndRead(TavrelHack& scene, double seconds)
{
    scene.drawFrame(seconds);
    std::vector<std::uint8_t> pixels(160 * 120 * 4);
    glReadPixels(0, 0, 160, 120, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// A perspective matrix holds f / aspect and f.
double projectionAspect()
{
    GLdouble matrix[16];
    glGetDoublev(GL_PROJECTION_MATRIX, matrix);
    return matrix[5] / matrix[0];
}

TEST(SnowSceneDraw, SamePixelsWithoutDepthWritesAndTheDrawablesShape)
{
    OffscreenContext gl{160, 120, true};
    if (!gl.ready)
        GTEST_SKIP() << "EGL offers no offscreen OpenGL context here";
    TavrelHack scene{HackOptions{}, false};
    scene.setUp(1280, 720);
    EXPECT_NEAR(projectionAspect(), 1280.0 / 720.0, 1e-6);
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_FALSE);
    // Flakes fall into view; then the same flakes drawn as before the mask, clearing depth.
    for (int frame = 0; frame < 160; ++frame)
        scene.drawFrame(0.05);
    const std::vector<std::uint8_t> masked = drawAndRead(scene, 0.05);
    glDepthMask(GL_TRUE);
    EXPECT_EQ(masked, drawAndRead(scene, 0.0));
    EXPECT_NE(masked, std::vector<std::uint8_t>(masked.size(), 0));
    scene.resize(640, 720);
    EXPECT_NEAR(projectionAspect(), 640.0 / 720.0, 1e-6);
}

} // namespace
