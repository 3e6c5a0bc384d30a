// Small data files for the dynamics tests: straight beams of equal elements.
#pragma once

#include <cmath>
#include <string>

#include "platform/Format.h"

struct BeamData {
    double length = 10;
    int elements = 8;
    double E = 2e11, A = 1, I = 0.01;
    double weight = 9800;          // per unit length: 1000 kg/m
    double angle = 0;              // of the beam axis, radians
    const char* leftCode = "110";  // support codes of the end nodes ("" for none)
    const char* rightCode = "10";
    bool loadingPath = false;  // every element on the live-load path
};

inline std::string BeamModel(const BeamData& b) {
    const int nodes = b.elements + 1;
    const int supports = (*b.leftCode ? 1 : 0) + (*b.rightCode ? 1 : 0);
    std::string t = FormatString("%d %d 0 1 1 0 %d %d\n", nodes, b.elements, supports,
                                 b.loadingPath ? b.elements : 0);
    for (int k = 0; k < nodes; ++k) {
        const double s = b.length * k / b.elements;
        t += FormatString("%d %.17g %.17g 0 0\n", k + 1, s * std::cos(b.angle),
                          s * std::sin(b.angle));
    }
    t += FormatString("1 %.17g 1e-5\n", b.E);
    t += FormatString("1 %.17g %.17g %.17g 0 0.5 0.5\n", b.A, b.I, b.weight / b.A);
    for (int e = 1; e <= b.elements; ++e) t += FormatString("%d %d %d 1 1 1 0\n", e, e, e + 1);
    if (*b.leftCode) t += FormatString("1 %s 0 0 0\n", b.leftCode);
    if (*b.rightCode) t += FormatString("%d %s 0 0 0\n", nodes, b.rightCode);
    if (b.loadingPath) {
        for (int e = 1; e <= b.elements; ++e) t += FormatString("%d ", e);
        t += "\n0\n";
    }
    return t;
}

// Circular frequency of a uniform beam: (beta L)^2 / L^2 * sqrt(E I / m).
inline double BeamOmega(const BeamData& b, double betaL) {
    const double m = b.weight / 9.8;
    return betaL * betaL / (b.length * b.length) * std::sqrt(b.E * b.I / m);
}

// A portal frame: two fixed columns of height h and a beam of span L, each in `per` equal
// elements, numbered up the left column, along the beam and down the right column.
inline std::string PortalModel(int per, double h = 6, double L = 10) {
    const int nodes = 3 * per + 1, elements = 3 * per;
    std::string t = FormatString("%d %d 0 1 1 0 2 0\n", nodes, elements);
    int k = 1;
    for (int i = 0; i <= per; ++i) t += FormatString("%d 0 %.17g 0 0\n", k++, h * i / per);
    for (int i = 1; i <= per; ++i) t += FormatString("%d %.17g %.17g 0 0\n", k++, L * i / per, h);
    for (int i = 1; i <= per; ++i)
        t += FormatString("%d %.17g %.17g 0 0\n", k++, L, h - h * i / per);
    t += "1 2e11 1e-5\n1 0.5 0.02 19600 0 0.5 0.5\n";
    for (int e = 1; e <= elements; ++e) t += FormatString("%d %d %d 1 1 1 0\n", e, e, e + 1);
    t += FormatString("1 111 0 0 0\n%d 111 0 0 0\n", nodes);
    return t;
}
