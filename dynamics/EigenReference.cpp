// The straightforward eigen-solution: the loops exactly as the method states them, a
// quadruple sum for the standard form and a scan of the whole lower triangle for every
// Jacobi pivot. Tests and benchmarks hold the fast solution against it. And LAPACK's
// generalised driver in one call, the reference of its steps taken one by one.
#include <lapacke.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "dynamics/EigenSolver.h"

namespace {

bool Stopped(const StopFlag& keep) {
    return keep.load(std::memory_order_relaxed) == 0;
}

}  // namespace

bool JacobiDiagonalizeFullScan(double* S, double* Q, int m, const StopFlag& keep) {
    const size_t M = static_cast<size_t>(m);
    auto at = [&](int k, int l) -> double& { return k >= l ? S[k * M + l] : S[l * M + k]; };
    for (;;) {
        if (Stopped(keep)) return false;
        double largest = 0;
        int p = -1, q = -1;
        for (int r = 1; r < m; ++r)
            for (int c = 0; c < r; ++c)
                if (std::fabs(S[r * M + c]) > largest) {
                    largest = std::fabs(S[r * M + c]);
                    p = r;
                    q = c;
                }
        double diag = 0;
        for (int i = 0; i < m; ++i) diag = std::max(diag, std::fabs(S[i * M + i]));
        if (p < 0 || JacobiConverged(largest, diag)) return true;
        const JacobiRotation rot = MakeRotation(at(p, p), at(q, q), at(p, q));
        at(p, p) = rot.app;
        at(q, q) = rot.aqq;
        at(p, q) = 0;
        for (int k = 0; k < m; ++k) {
            if (k == p || k == q) continue;
            const double a = at(p, k), b = at(q, k);
            at(p, k) = a * rot.cs + b * rot.sn;
            at(q, k) = b * rot.cs - a * rot.sn;
        }
        for (int l = 0; l < m; ++l) {
            const double a = Q[p * M + l], b = Q[q * M + l];
            Q[p * M + l] = a * rot.cs + b * rot.sn;
            Q[q * M + l] = b * rot.cs - a * rot.sn;
        }
    }
}

bool SolveGeneralEigenPlain(double* A, double* B, int m, int band, const StopFlag& keep) {
    const size_t M = static_cast<size_t>(m);
    std::vector<double> Li, Q;
    try {
        Li.assign(M * M, 0.0);
        Q.assign(M * M, 0.0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int i = 0; i < m; ++i) {
        if (Stopped(keep)) return false;
        double d = B[i * M + i];
        for (int k = 0; k < i; ++k) d -= B[i * M + k] * B[i * M + k];
        if (d <= 0) return false;
        B[i * M + i] = std::sqrt(d);
        for (int r = i + 1; r < m; ++r) {
            double v = B[r * M + i];
            for (int k = 0; k < i; ++k) v -= B[r * M + k] * B[i * M + k];
            B[r * M + i] = v / B[i * M + i];
        }
    }
    for (int i = 0; i < m; ++i) {
        if (Stopped(keep)) return false;
        const double b = B[i * M + i];
        if (std::fabs(b) <= 1e-20) return false;
        for (int j = 0; j < i; ++j) {
            double s = 0;
            for (int k = j; k < i; ++k) s += Li[k * M + j] * B[i * M + k];
            Li[i * M + j] = -s / b;
        }
        Li[i * M + i] = 1 / b;
    }
    for (int d = 0; d < m; ++d) {
        if (Stopped(keep)) return false;
        for (int j = 0; j <= d; ++j) {
            double s = 0;
            for (int k = 0; k <= d; ++k)
                for (int l = 0; l <= j; ++l) {
                    if (std::abs(k - l) > band) continue;
                    s += Li[d * M + k] * A[std::max(k, l) * M + std::min(k, l)] * Li[j * M + l];
                }
            B[d * M + j] = s;
        }
    }
    for (int i = 0; i < m; ++i) Q[i * M + i] = 1;
    if (!JacobiDiagonalizeFullScan(B, Q.data(), m, keep)) return false;
    for (int i = 0; i < m; ++i) {
        if (Stopped(keep)) return false;
        for (int j = 0; j < m; ++j) {
            double s = 0;
            for (int k = j; k < m; ++k) s += Li[k * M + j] * Q[i * M + k];
            A[i * M + j] = s;
        }
    }
    return true;
}

bool SolveGeneralEigenLapackDriver(double* A, double* B, int m) {
    if (m == 0) return true;
    std::vector<double> w;
    try {
        w.resize(static_cast<size_t>(m));
    } catch (const std::bad_alloc&) {
        return false;
    }
    // A row-major lower triangle is LAPACK's column-major upper one, and the column-major
    // eigenvectors it returns are the rows of A: no transposed copies.
    if (LAPACKE_dsygvd(LAPACK_COL_MAJOR, 1, 'V', 'U', m, A, m, B, m, w.data()) != 0) return false;
    const size_t M = static_cast<size_t>(m);
    for (size_t i = 0; i < M; ++i) B[i * M + i] = w[i];
    return true;
}
