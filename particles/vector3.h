// Vector3: a point or direction in scene units, in double precision, with the three axis
// rotations that turn flake quads and scatter fountain launch directions.
#pragma once

#include <cmath>

// The one degree-to-radian factor of the engine: 3.14159265359 / 180, a little larger than the
// exact pi / 180. Launch directions depend on its last bits.
constexpr double DEG_TO_RAD = 0.017453292519944444;

struct Vector3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    Vector3() = default;
    Vector3(double x, double y, double z) : x(x), y(y), z(z) {}

    // Used to normalise by a length computed beforehand: a zero divisor leaves the vector as it
    // is, so a zero-length vector stays zero instead of becoming not-a-number.
    Vector3& operator/=(double d)
    {
        if (d != 0.0) {
            x /= d;
            y /= d;
            z /= d;
        }
        return *this;
    }

    // Rotations by an angle in radians. Of the two components that change, taken in x, y, z
    // order, a positive angle turns the first towards the second.
    Vector3& rotateX(double angle) { return turnX(std::cos(angle), std::sin(angle)); }
    Vector3& rotateY(double angle) { return turnY(std::cos(angle), std::sin(angle)); }
    Vector3& rotateZ(double angle) { return turnZ(std::cos(angle), std::sin(angle)); }

    // The same rotations given the cosine and sine of the angle, so that a caller turning many
    // vectors by one angle computes them once and gets the very same results.
    Vector3& turnX(double c, double s)
    {
        const double newY = c * y - s * z;
        const double newZ = c * z + s * y;
        y = newY;
        z = newZ;
        return *this;
    }
    Vector3& turnY(double c, double s)
    {
        const double newX = c * x - s * z;
        const double newZ = c * z + s * x;
        x = newX;
        z = newZ;
        return *this;
    }
    Vector3& turnZ(double c, double s)
    {
        const double newX = c * x - s * y;
        const double newY = c * y + s * x;
        x = newX;
        y = newY;
        return *this;
    }

    double length() const { return std::sqrt(x * x + y * y + z * z); }
};

inline Vector3 operator+(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x + b.x, a.y + b.y, a.z + b.z);
}

inline Vector3 operator-(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}

inline Vector3 operator*(const Vector3& v, double k)
{
    return Vector3(v.x * k, v.y * k, v.z * k);
}
