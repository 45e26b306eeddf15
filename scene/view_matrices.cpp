// The perspective and look-at matrices, after the formulas that GLU documents for gluPerspective
// and gluLookAt, computed in double precision.
#include "scene/view_matrices.h"

#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;

struct Direction {
    double x, y, z;
};

Direction normalized(Direction d)
{
    const double length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (length == 0.0)
        return d;
    return {d.x / length, d.y / length, d.z / length};
}

Direction cross(Direction a, Direction b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double dot(Direction a, Direction b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

} // namespace

std::array<double, 16> perspectiveMatrix(double fovyDegrees, double aspect, double zNear,
                                         double zFar)
{
    const double halfAngle = fovyDegrees / 2.0 * pi / 180.0;
    const double cotangent = std::cos(halfAngle) / std::sin(halfAngle);
    const double depth = zNear - zFar;
    std::array<double, 16> m{};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = (zFar + zNear) / depth;
    m[11] = -1.0;
    m[14] = 2.0 * zFar * zNear / depth;
    return m;
}

std::array<double, 16> lookAtMatrix(double eyeX, double eyeY, double eyeZ, double centerX,
                                    double centerY, double centerZ, double upX, double upY,
                                    double upZ)
{
    const Direction eye{eyeX, eyeY, eyeZ};
    const Direction forward = normalized({centerX - eyeX, centerY - eyeY, centerZ - eyeZ});
    const Direction side = normalized(cross(forward, {upX, upY, upZ}));
    const Direction up = cross(side, forward);
    // Rows side, up and -forward; the last column moves the eye to the origin in those axes.
    return {side.x, up.x, -forward.x, 0.0,
            side.y, up.y, -forward.y, 0.0,
            side.z, up.z, -forward.z, 0.0,
            -dot(side, eye), -dot(up, eye), dot(forward, eye), 1.0};
}
