// Color4: a red, green, blue, alpha colour in doubles. Components are never clamped: a young
// flake's alpha reaches 2.0 and the rendering pipeline does the clamping.
#pragma once

struct Color4 {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
    double a = 1.0;

    Color4() = default;
    Color4(double r, double g, double b, double a) : r(r), g(g), b(b), a(a) {}

    static const Color4 white;
};

inline const Color4 Color4::white{1.0, 1.0, 1.0, 1.0};
