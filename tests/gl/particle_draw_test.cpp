// The quad batch drawn by Mesa into an offscreen buffer: quads land where the particles are, in
// their colours, and nothing is drawn beyond the live particles.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "particles/particle.h"
#include "particles/particle_system.h"
#include "particles/quad_batch.h"
#include "tests/gl/offscreen_context.h"

namespace {

constexpr int side = 64;

using Pixel = std::array<std::uint8_t, 4>;

class ParticleDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!gl.ready) {
            GTEST_SKIP() << "EGL offers no offscreen OpenGL context here";
        }
        // One scene unit per pixel, seen from +z; the client arrays enabled as the scene does.
        glViewport(0, 0, side, side);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, side, 0, side, -20, 20);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        particleSystem = &system;
    }

    void TearDown() override { particleSystem = nullptr; }

    void add(const Vector3& position, double halfSize, const Color4& color, double angleX = 0.0)
    {
        Particle* particle = new Particle;
        particle->init(100.0, 0.0, color, position, Vector3(), halfSize, 1.0);
        particle->angleX = angleX;
        system.addParticle(particle);
    }

    std::vector<Pixel> drawAndRead()
    {
        particleSystem->draw();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        std::vector<Pixel> pixels(side * side);
        glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static Pixel at(const std::vector<Pixel>& pixels, int x, int y) { return pixels[y * side + x]; }

    OffscreenContext gl{side, side};
    ParticleSystem system;
};

const Pixel clear = {0, 0, 0, 0};
const Pixel red = {255, 0, 0, 255};
const Pixel green = {0, 255, 0, 255};

TEST_F(ParticleDrawTest, QuadsCoverTheirSquaresInTheirColours)
{
    add(Vector3(16, 16, 0), 4.0, Color4(1, 0, 0, 1));
    // A young flake's alpha of 2 reaches the pipeline, which clamps it.
    add(Vector3(44, 40, 0), 6.0, Color4(0, 1, 0, 2.0));
    system.update(0.0);
    const std::vector<Pixel> pixels = drawAndRead();

    struct Probe {
        int x, y;
        Pixel expected;
    };
    const Probe probes[] = {
        {16, 16, red},   {12, 12, red},   {19, 19, red},   {11, 16, clear}, {20, 16, clear},
        {16, 11, clear}, {16, 20, clear}, {44, 40, green}, {38, 34, green}, {49, 45, green},
        {37, 40, clear}, {50, 40, clear}, {44, 46, clear}, {2, 60, clear},  {60, 2, clear},
    };
    for (const Probe& probe : probes) {
        EXPECT_EQ(at(pixels, probe.x, probe.y), probe.expected) << probe.x << ", " << probe.y;
    }
}

TEST_F(ParticleDrawTest, EdgeOnQuadCoversNothing)
{
    // Turned a quarter about X, the quad lies in the XZ plane and shows only its edge.
    add(Vector3(32, 32.5, 0), 8.0, Color4(1, 1, 1, 1), std::acos(-1.0) / 2.0);
    system.update(0.0);
    const std::vector<Pixel> pixels = drawAndRead();
    int covered = 0;
    for (const Pixel& pixel : pixels) {
        covered += pixel != clear;
    }
    EXPECT_LE(covered, side);  // at most the one row the edge runs along
    EXPECT_EQ(at(pixels, 32, 28), clear);
    EXPECT_EQ(at(pixels, 32, 37), clear);
}

TEST_F(ParticleDrawTest, OnlyLiveSlotsAreDrawn)
{
    add(Vector3(16, 16, 0), 4.0, Color4(1, 0, 0, 1));
    system.update(0.0);
    // A quad written beyond the live particles, as a retired flake leaves it behind.
    Particle leftover;
    leftover.halfSize = 4.0;
    leftover.position = Vector3(48, 48, 0);
    writeQuad(*system.vertexArray, *system.colorArray, 1, leftover);
    const std::vector<Pixel> pixels = drawAndRead();
    EXPECT_EQ(at(pixels, 16, 16), red);
    EXPECT_EQ(at(pixels, 48, 48), clear);
}

TEST_F(ParticleDrawTest, EmptySystemDrawsNothing)
{
    const std::vector<Pixel> pixels = drawAndRead();
    for (const Pixel& pixel : pixels) {
        ASSERT_EQ(pixel, clear);
    }
}

}
