// The camera's matrices against GLU: entry for entry what Mesa's gluPerspective and gluLookAt
// leave on the matrix stack, and, for the snow's own camera, the values GLU's documented formulas
// give in double precision.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cfloat>
#include <cmath>

#include "scene/view_matrices.h"
#include "tests/gl/offscreen_context.h"

namespace {

using Matrix = std::array<double, 16>;

// Mesa keeps its matrix stack in single precision, and its gluLookAt computes in single
// precision too, so the two can only agree to a few units of float's last place, scaled by the
// size of the numbers that went in.
void expectNear(const Matrix& actual, const Matrix& expected, double scale)
{
    const double tolerance = 8.0 * FLT_EPSILON * scale;
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "entry " << i;
}

Matrix stackAfter(GLenum mode, void (*multiply)(const double*), const double* arguments)
{
    glMatrixMode(mode);
    glLoadIdentity();
    multiply(arguments);
    Matrix m{};
    glGetDoublev(mode == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX, m.data());
    return m;
}

class ViewMatrices : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.ready) << "EGL offers no offscreen OpenGL context"; }

    OffscreenContext gl{8, 8};
};

TEST_F(ViewMatrices, PerspectiveIsWhatGluPerspectiveMultipliesIn)
{
    const double cases[][4] = {
        {46.0, 1280.0 / 720.0, 0.1, 1000.0}, // the snow's projection on a 16:9 desktop
        {46.0, 3840.0 / 1080.0, 0.1, 1000.0}, // two monitors side by side
        {46.0, 0.75, 0.1, 1000.0},
        {90.0, 1.0, 1.0, 10.0},
        {10.0, 2.5, 0.5, 50.0},
        {170.0, 0.2, 2.0, 3.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << " degrees, aspect " << c[1]);
        const Matrix fromGlu = stackAfter(GL_PROJECTION, [](const double* a) {
            gluPerspective(a[0], a[1], a[2], a[3]);
        }, c);
        const Matrix ours = stackAfter(GL_PROJECTION, [](const double* a) {
            glMultMatrixd(perspectiveMatrix(a[0], a[1], a[2], a[3]).data());
        }, c);
        expectNear(ours, fromGlu, 1.0 + std::fabs(fromGlu[10]) + std::fabs(fromGlu[14]));
    }
}

TEST_F(ViewMatrices, LookAtIsWhatGluLookAtMultipliesIn)
{
    const double cases[][9] = {
        {0.0, 35.0, 75.0, 0.0, 20.0, 0.0, 0.0, 1.0, 0.0}, // the snow's camera
        {10.0, -4.0, 3.0, -2.0, 5.0, 7.0, 0.0, 0.0, 1.0},
        {0.0, 0.0, 0.0, 1.0, 2.0, 3.0, 0.3, 2.0, 0.1},     // up neither unit nor square to the view
        {-120.0, 40.0, 900.0, 5.0, -5.0, 0.0, -1.0, 0.0, 0.0},
        {0.0, 0.0, 5.0, 0.0, 0.0, 0.0, 0.0, -3.0, 0.0},    // upside down
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "eye " << c[0] << ", " << c[1] << ", " << c[2]);
        const Matrix fromGlu = stackAfter(GL_MODELVIEW, [](const double* a) {
            gluLookAt(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
        }, c);
        const Matrix ours = stackAfter(GL_MODELVIEW, [](const double* a) {
            glMultMatrixd(lookAtMatrix(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]).data());
        }, c);
        const double eyeDistance = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
        expectNear(ours, fromGlu, 1.0 + eyeDistance);
    }
}

TEST(SnowCamera, HasTheDocumentedMatricesInDoublePrecision)
{
    // Eye (0, 35, 75) looking at (0, 20, 0): the view runs along (0, -1, -5) / sqrt(26), so the
    // camera's up is (0, 5, -1) / sqrt(26) and the eye lies -100 / sqrt(26) along it and
    // 410 / sqrt(26) in front of the origin.
    const double r = 1.0 / std::sqrt(26.0);
    const Matrix lookAt = {1.0, 0.0, 0.0, 0.0,
                           0.0, 5.0 * r, r, 0.0,
                           0.0, -r, 5.0 * r, 0.0,
                           0.0, -100.0 * r, -410.0 * r, 1.0};
    const Matrix ourLookAt = lookAtMatrix(0.0, 35.0, 75.0, 0.0, 20.0, 0.0, 0.0, 1.0, 0.0);
    // 46 degrees from 0.1 to 1000 on a 16:9 desktop: f = cot(23 degrees).
    const double f = 1.0 / std::tan(23.0 * 3.14159265358979323846 / 180.0);
    const Matrix perspective = {f * 9.0 / 16.0, 0.0, 0.0, 0.0,
                                0.0, f, 0.0, 0.0,
                                0.0, 0.0, -1000.1 / 999.9, -1.0,
                                0.0, 0.0, -200.0 / 999.9, 0.0};
    const Matrix ourPerspective = perspectiveMatrix(46.0, 16.0 / 9.0, 0.1, 1000.0);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(ourLookAt[i], lookAt[i], 1e-13) << "look-at entry " << i;
        EXPECT_NEAR(ourPerspective[i], perspective[i], 1e-13) << "perspective entry " << i;
    }
}

} // namespace
