// Influence lines as cubic pieces along the loading path, integrated exactly over the parts
// where they have one sign: what a lane load (uniform load plus one concentrated load)
// needs instead of a walk of point loads.
#pragma once

#include <vector>

// A part of the loading path on which an influence line is one smooth function: path
// element `element` from abscissa x0 to x1 (x0 < x1), at relative positions t0 and t1.
struct PathPiece {
    int element = 0;
    double x0 = 0, x1 = 0, t0 = 0, t1 = 0;
};

// A line on a piece: p(u) = c[0] + c[1] u + c[2] u^2 + c[3] u^3 with u = (x - x0) / (x1 - x0).
struct PieceCubic {
    PathPiece piece;
    double c[4] = {0, 0, 0, 0};
};

// An interval of the path where a line has the sign asked for: abscissae x0 < x1 on path
// element `element`, at relative positions t0 and t1 on it.
struct LaneRegion {
    int element = 0;
    double x0 = 0, x1 = 0, t0 = 0, t1 = 0;
};

// The largest ordinate of one sign and where it is (element -1: the line never has it).
struct LaneOrdinate {
    double value = 0;
    int element = -1;
    double x = 0, t = 0;
};

// What a lane load needs of one line: the integrals of its positive and negative parts
// (in ordinate x m) and its largest and smallest ordinates.
struct LaneLineSummary {
    double positiveArea = 0, negativeArea = 0;
    LaneOrdinate largest, smallest;
};

// The weights of the six end displacements of a path piece's element at the piece's four
// fit positions and its check position (kCubicFitPoints, kCubicCheckPoint).
struct PieceWeights {
    double w[5][6];
};

// Value of a cubic piece at u.
inline double CubicAt(const double c[4], double u) {
    return c[0] + u * (c[1] + u * (c[2] + u * c[3]));
}

// Monomial coefficients of the cubic through four values at the fit positions
// kCubicFitPoints (all inside the piece, so the value on each side of a jump at a piece
// end is the limit from inside).
inline constexpr double kCubicFitPoints[4] = {0.03806023374435663, 0.3086582838174551,
                                              0.6913417161825449, 0.9619397662556434};
// A fifth position at which the fit is checked against the line.
inline constexpr double kCubicCheckPoint = 0.5;
void FitCubic(const double values[4], double c[4]);

// Areas and extreme ordinates of a line given as cubic pieces; with positive / negative
// not null, the intervals where the line is above / below zero are appended to them.
void SummariseLine(const std::vector<PieceCubic>& pieces, LaneLineSummary& out,
                   std::vector<LaneRegion>* positive = nullptr,
                   std::vector<LaneRegion>* negative = nullptr);

// Integral over the regions (in ordinate x m) of the line given by the same pieces: what a
// uniform load on those regions produces on another quantity at the same section.
double IntegrateOver(const std::vector<PieceCubic>& pieces, const std::vector<LaneRegion>& regions);
