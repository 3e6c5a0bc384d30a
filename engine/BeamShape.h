// The mechanics along one element that the result view draws and the influence lines
// evaluate: the displaced shape between the nodes and the edge stress of the sections.
#pragma once

class CPlaneFrame;
struct Section;

// The global end values d = (ux_i, uy_i, rot_i, ux_j, uy_j, rot_j) of an element (0-based)
// in a state vector of the model's equations (displacements, an influence line, a mode).
void ElementEndValues(const CPlaneFrame& frame, int element, const double* state, double d[6]);

// The displacement at t (0 ... 1) along a straight element of direction (c, s) and length
// len with the global end displacements d: axially linear, transversely the cubic of the
// beam (Hermite) shape functions. BeamShapeY is the global y component alone, the ordinate
// of an influence line; BeamShapeOffset gives (dx, dy) with the same dy.
//
// BeamShapeY is split in two: the weights of the six end values at t (BeamShapeWeights) and
// their sum with d (WeightedShapeY). Weights prepared once give, with any d, the same value
// bit for bit: the lane-load search reads every line at fixed positions of the path that way.
inline void BeamShapeWeights(double c, double s, double len, double t, double w[6]) {
    const double t2 = t * t, t3 = t2 * t;
    const double N1 = 1 - 3 * t2 + 2 * t3, N2 = (t - 2 * t2 + t3) * len;
    const double N3 = 3 * t2 - 2 * t3, N4 = (t3 - t2) * len;
    w[0] = c * s * ((1 - t) - N1);
    w[1] = s * s * (1 - t) + c * c * N1;
    w[2] = c * N2;
    w[3] = c * s * (t - N3);
    w[4] = s * s * t + c * c * N3;
    w[5] = c * N4;
}

inline double WeightedShapeY(const double w[6], const double d[6]) {
    return w[1] * d[1] + w[0] * d[0] + w[2] * d[2] + w[4] * d[4] + w[3] * d[3] + w[5] * d[5];
}

inline double BeamShapeY(double c, double s, double len, const double d[6], double t) {
    double w[6];
    BeamShapeWeights(c, s, len, t, w);
    return WeightedShapeY(w, d);
}

inline void BeamShapeOffset(double c, double s, double len, const double d[6], double t,
                            double& dx, double& dy) {
    const double t2 = t * t, t3 = t2 * t;
    const double N1 = 1 - 3 * t2 + 2 * t3, N2 = (t - 2 * t2 + t3) * len;
    const double N3 = 3 * t2 - 2 * t3, N4 = (t3 - t2) * len;
    const double uxi = d[0], uyi = d[1], ri = d[2], uxj = d[3], uyj = d[4], rj = d[5];
    dx = (1 - t) * (c * c * uxi + c * s * uyi) + N1 * (s * s * uxi - c * s * uyi) - s * N2 * ri +
         t * (c * c * uxj + c * s * uyj) + N3 * (s * s * uxj - c * s * uyj) - s * N4 * rj;
    dy = BeamShapeY(c, s, len, d, t);
}

// The stress at the upper (or lower) edge of the section at h (0 ... 1) along an element
// from section si to section sj under N and M: ±M / W + N / A (upper: +, lower: -), with
// W = I / edge height and A each interpolated linearly between the ends. Not finite where the
// area is zero (or I and the edge height both are).
double EdgeStress(const Section& si, const Section& sj, bool upper, double h, double N, double M);
