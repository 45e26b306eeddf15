// The camera's two matrices, built by the program itself: the perspective projection and the
// look-at view, each the exact matrix that the classic GLU call of the same name multiplies onto
// the current OpenGL matrix. Column-major, as glMultMatrixd and glLoadMatrixd take them, so one
// glMultMatrixd of either stands in for one GLU call. Portable: no operating-system or GL header.
#pragma once

#include <array>

// The projection of a viewing frustum that opens fovyDegrees vertically, is aspect (width over
// height) wide for each unit of height, and reaches from zNear to zFar in front of the eye.
std::array<double, 16> perspectiveMatrix(double fovyDegrees, double aspect, double zNear,
                                         double zFar);

// The view from the eye towards the centre, with up tilted into the plane the eye looks along:
// the rotation that takes the viewing direction to -z and up to +y, followed by the translation
// that takes the eye to the origin.
std::array<double, 16> lookAtMatrix(double eyeX, double eyeY, double eyeZ, double centerX,
                                    double centerY, double centerZ, double upX, double upY,
                                    double upZ);
