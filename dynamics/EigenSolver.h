// The steps of the generalised symmetric eigen-solution K x = lambda M x: Cholesky factor of
// the mass, its inverse, the standard form, classical Jacobi and the back-transformation.
// Matrices are m x m, row-major. Every loop honours the stop flag: a step that reads 0
// there returns false at once.
#pragma once

#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>

using StopFlag = std::atomic<std::uint8_t>;

// Cholesky factor B = L L^T in place (lower triangle); entries farther than band from the
// diagonal are known to be zero. False for a pivot d <= 0.
bool CholeskyLower(double* B, int m, int band, const StopFlag& keep);
// Li = L^-1 (lower, dense). False when a diagonal of L has magnitude <= 1e-20.
bool InvertLower(const double* L, double* Li, int m, int band, const StopFlag& keep);
// The lower triangle of S = Li A Li^T from the banded symmetric A (lower triangle given;
// its upper triangle is overwritten with the mirror). W is m x m work space.
bool TransformToStandard(double* A, const double* Li, double* S, double* W, int m, int band,
                         const StopFlag& keep);
// Classical Jacobi on the lower triangle of S, accumulating the rotations in the rows of Q
// (identity on entry). Each pivot is the largest off-diagonal entry, the first of equal
// ones row by row, found from per-row maxima kept up to date. The upper triangle of S is
// used as work space. False when stopped.
bool JacobiDiagonalize(double* S, double* Q, int m, const StopFlag& keep);
// The same iteration with a scan of the whole lower triangle for every pivot; it gives
// bit-identical results and serves as the reference for the one above.
bool JacobiDiagonalizeFullScan(double* S, double* Q, int m, const StopFlag& keep);
// X = Q Li: row i becomes the generalised eigenvector Li^T q_i.
bool BackTransform(double* Q, const double* Li, int m, const StopFlag& keep);
// The whole solution with the plain loops (quadruple-sum transformation, full-scan
// Jacobi), the straightforward reference for tests and benchmarks.
bool SolveGeneralEigenPlain(double* A, double* B, int m, int band, const StopFlag& keep);

// The whole solution by LAPACK's divide-and-conquer method for the generalised
// symmetric-definite problem (dsygvd): on success row i of A is eigenvector i
// (M-orthonormal) and B[i][i] its eigenvalue, ascending. Only the lower triangles are read.
// False when B is not positive definite or memory runs out. The driver's six steps are
// called one by one: between them the stop flag is read (false when stopped) and progress
// is told the share done (0 ... 1). The results are those of the driver in one call
// (SolveGeneralEigenLapackDriver) bit for bit.
bool SolveGeneralEigenLapack(double* A, double* B, int m, const StopFlag& keep,
                             const std::function<void(double)>& progress);
bool SolveGeneralEigenLapackDriver(double* A, double* B, int m);

// The iteration ends when the largest off-diagonal entry is below this absolute bound, or
// when it is negligible against the largest diagonal magnitude (rounding alone would keep
// it above the absolute bound once the eigenvalues are large).
inline constexpr double kJacobiTolerance = 1e-8;
inline constexpr double kJacobiRelative = 8 * 2.220446049250313e-16;

inline bool JacobiConverged(double largestOff, double largestDiag) {
    return !(largestOff >= kJacobiTolerance) || largestOff <= kJacobiRelative * largestDiag;
}

// The plane rotation that zeroes S(p, q), and the new diagonal entries; shared by both
// iterations so that their arithmetic is the same.
struct JacobiRotation {
    double cs, sn, app, aqq;
};

inline JacobiRotation MakeRotation(double app, double aqq, double apq) {
    const double g = aqq - app;
    const double h = 2 * apq;
    double w = -h / std::sqrt(g * g + h * h);
    if (g < 0) w = -w;
    JacobiRotation r;
    r.sn = w / std::sqrt(2 * (1 + std::sqrt(1 - w * w)));
    r.cs = std::sqrt(1 - r.sn * r.sn);
    r.app = app * r.cs * r.cs + aqq * r.sn * r.sn + apq * w;
    r.aqq = app * r.sn * r.sn + aqq * r.cs * r.cs - apq * w;
    return r;
}
