// The Linux program's scene drawn by Mesa into an offscreen buffer with the depth and stencil
// buffers a saver's window gets: the frame's clear leaves the depth buffer alone without changing
// a pixel, and the projection takes the drawable's shape at set-up and on a resize.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "scene/tavrel_x11.h"
#include "tests/gl/offscreen_context.h"

namespace {

constexpr int width = 160;
constexpr int height = 120;

// The scene is set up once a process: it makes the process's particle system.
struct SetUpScene {
    SetUpScene()
    {
        if (gl.ready)
            scene.setUp(1280, 720);
    }
    OffscreenContext gl{width, height, true};
    TavrelHack scene{HackOptions{}, false};
};

SetUpScene& shared()
{
    static SetUpScene set;
    return set;
}

std::vector<std::uint8_t> drawAndRead(TavrelHack& scene, double seconds)
{
    scene.drawFrame(seconds);
    std::vector<std::uint8_t> pixels(width * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The projection's width-to-height shape: a perspective matrix holds f / aspect and f.
double projectionAspect()
{
    GLdouble matrix[16];
    glGetDoublev(GL_PROJECTION_MATRIX, matrix);
    return matrix[5] / matrix[0];
}

TEST(SnowSceneDraw, MaskedDepthWritesDrawTheSamePixels)
{
    SetUpScene& set = shared();
    if (!set.gl.ready)
        GTEST_SKIP() << "EGL offers no offscreen OpenGL context here";
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_FALSE);
    // Long enough for flakes to fall into view; then the same flakes again, drawn as before the
    // mask, clearing depth every frame.
    for (int frame = 0; frame < 160; ++frame)
        set.scene.drawFrame(0.05);
    const std::vector<std::uint8_t> masked = drawAndRead(set.scene, 0.05);
    glDepthMask(GL_TRUE);
    const std::vector<std::uint8_t> unmasked = drawAndRead(set.scene, 0.0);
    glDepthMask(GL_FALSE);
    EXPECT_EQ(masked, unmasked);
    EXPECT_NE(masked, std::vector<std::uint8_t>(masked.size(), 0));
}

TEST(SnowSceneDraw, ProjectionTakesTheDrawablesShape)
{
    SetUpScene& set = shared();
    if (!set.gl.ready)
        GTEST_SKIP() << "EGL offers no offscreen OpenGL context here";
    EXPECT_NEAR(projectionAspect(), 1280.0 / 720.0, 1e-6);
    set.scene.resize(640, 720);
    EXPECT_NEAR(projectionAspect(), 640.0 / 720.0, 1e-6);
    set.scene.resize(1280, 720);
}

} // namespace
