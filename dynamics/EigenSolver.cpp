// Cholesky factor, inverse factor, standard form, Jacobi with tracked row maxima and the
// back-transformation of the natural-vibration eigen-solution.
#include "dynamics/EigenSolver.h"

#include <cblas.h>
#include <lapacke.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <new>
#include <vector>

namespace {

bool Stopped(const StopFlag& keep) {
    return keep.load(std::memory_order_relaxed) == 0;
}

// Column or row panels of the BLAS products, so that a stop request is seen between them.
constexpr int kPanel = 64;

}  // namespace

bool CholeskyLower(double* B, int m, int band, const StopFlag& keep) {
    const size_t M = static_cast<size_t>(m);
    for (int i = 0; i < m; ++i) {
        if (Stopped(keep)) return false;
        double* Li = B + i * M;
        const int lo = std::max(0, i - band);
        double d = Li[i];
        for (int k = lo; k < i; ++k) d -= Li[k] * Li[k];
        if (d <= 0) return false;
        Li[i] = std::sqrt(d);
        const int hi = std::min(m - 1, i + band);
        for (int r = i + 1; r <= hi; ++r) {
            double* Lr = B + r * M;
            const int from = std::max(0, r - band);
            double v = Lr[i];
            for (int k = from; k < i; ++k) v -= Lr[k] * Li[k];
            Lr[i] = v / Li[i];
        }
        // Beyond the band the factor is zero; the caller's matrix may hold anything there.
        for (int r = hi + 1; r < m; ++r) B[r * M + i] = 0;
    }
    return true;
}

bool InvertLower(const double* L, double* Li, int m, int band, const StopFlag& keep) {
    const size_t M = static_cast<size_t>(m);
    std::fill(Li, Li + M * M, 0.0);
    for (int i = 0; i < m; ++i) {
        if (Stopped(keep)) return false;
        const double b = L[i * M + i];
        if (std::fabs(b) <= 1e-20) return false;
        double* row = Li + i * M;
        // Row i of L^-1 is -(sum over k < i of L[i][k] * row k of L^-1) / L[i][i]; L[i][k]
        // vanishes outside the band.
        for (int k = std::max(0, i - band); k < i; ++k) {
            const double lik = L[i * M + k];
            const double* rk = Li + k * M;
            for (int j = 0; j <= k; ++j) row[j] += lik * rk[j];
        }
        for (int j = 0; j < i; ++j) row[j] = -row[j] / b;
        row[i] = 1 / b;
    }
    return true;
}

bool TransformToStandard(double* A, const double* Li, double* S, double* W, int m, int band,
                         const StopFlag& keep) {
    const size_t M = static_cast<size_t>(m);
    for (int k = 0; k < m; ++k)
        for (int l = k + 1; l < m; ++l) A[k * M + l] = A[l * M + k];
    // W = A Li^T: W[k][j] = sum over l <= j, |k - l| <= band of A[k][l] Li[j][l].
    for (int k = 0; k < m; ++k) {
        if (Stopped(keep)) return false;
        const double* ak = A + k * M;
        double* wk = W + k * M;
        const int lo = std::max(0, k - band), top = std::min(m - 1, k + band);
        for (int j = 0; j < lo; ++j) wk[j] = 0;
        for (int j = lo; j < m; ++j) {
            const double* lj = Li + j * M;
            const int hi = std::min(j, top);
            double s = 0;
            for (int l = lo; l <= hi; ++l) s += ak[l] * lj[l];
            wk[j] = s;
        }
    }
    // S = Li W, a triangular product, in column panels.
    for (int c = 0; c < m; c += kPanel) {
        if (Stopped(keep)) return false;
        const int w = std::min(kPanel, m - c);
        cblas_dtrmm(CblasRowMajor, CblasLeft, CblasLower, CblasNoTrans, CblasNonUnit, m, w, 1.0, Li,
                    m, W + c, m);
    }
    for (int d = 0; d < m; ++d)
        for (int j = 0; j <= d; ++j) S[d * M + j] = W[d * M + j];
    return true;
}

namespace {

// Largest |S[p][q]| over q < p, the first of equal ones; column -1 when all are zero.
struct RowMax {
    double value = 0;
    int column = -1;
};

RowMax ScanRow(const double* row, int p) {
    RowMax r;
    for (int q = 0; q < p; ++q) {
        const double v = std::fabs(row[q]);
        if (v > r.value) {
            r.value = v;
            r.column = q;
        }
    }
    return r;
}

// Entry c of row k changed to |v|; false when the row has to be scanned again.
bool UpdateRowMax(RowMax& r, int c, double v) {
    if (c == r.column) {
        if (!(v >= r.value)) return false;
        r.value = v;
        return true;
    }
    if (v > r.value || (v == r.value && r.value > 0 && c < r.column)) {
        r.value = v;
        r.column = c;
    }
    return true;
}

}  // namespace

bool JacobiDiagonalize(double* S, double* Q, int m, const StopFlag& keep) {
    const size_t M = static_cast<size_t>(m);
    // Work on the full symmetric square so that rows p and q are contiguous.
    for (int k = 0; k < m; ++k)
        for (int l = k + 1; l < m; ++l) S[k * M + l] = S[l * M + k];
    std::vector<RowMax> rows(M);
    for (int p = 1; p < m; ++p) rows[p] = ScanRow(S + p * M, p);
    for (;;) {
        if (Stopped(keep)) return false;
        double largest = 0;
        int p = -1;
        for (int r = 1; r < m; ++r)
            if (rows[r].value > largest) {
                largest = rows[r].value;
                p = r;
            }
        double diag = 0;
        for (int i = 0; i < m; ++i) diag = std::max(diag, std::fabs(S[i * M + i]));
        if (p < 0 || JacobiConverged(largest, diag)) return true;
        const int q = rows[p].column;
        double* Sp = S + p * M;
        double* Sq = S + q * M;
        const JacobiRotation rot = MakeRotation(Sp[p], Sq[q], Sp[q]);
        const double cs = rot.cs, sn = rot.sn;
        Sp[p] = rot.app;
        Sq[q] = rot.aqq;
        Sp[q] = Sq[p] = 0;
        for (int k = 0; k < m; ++k) {
            if (k == p || k == q) continue;
            const double a = Sp[k], b = Sq[k];
            const double na = a * cs + b * sn, nb = b * cs - a * sn;
            Sp[k] = na;
            Sq[k] = nb;
            S[k * M + p] = na;
            S[k * M + q] = nb;
        }
        double* Qp = Q + p * M;
        double* Qq = Q + q * M;
        for (int l = 0; l < m; ++l) {
            const double a = Qp[l], b = Qq[l];
            Qp[l] = a * cs + b * sn;
            Qq[l] = b * cs - a * sn;
        }
        // Rows below q see their column q change, rows below p their column p as well.
        for (int k = q + 1; k < m; ++k) {
            if (k == p) continue;
            bool ok = UpdateRowMax(rows[k], q, std::fabs(Sq[k]));
            if (k > p) ok = UpdateRowMax(rows[k], p, std::fabs(Sp[k])) && ok;
            if (!ok) rows[k] = ScanRow(S + k * M, k);
        }
        rows[p] = ScanRow(Sp, p);
        if (q > 0) rows[q] = ScanRow(Sq, q);
    }
}

bool BackTransform(double* Q, const double* Li, int m, const StopFlag& keep) {
    for (int r = 0; r < m; r += kPanel) {
        if (Stopped(keep)) return false;
        const int h = std::min(kPanel, m - r);
        cblas_dtrmm(CblasRowMajor, CblasRight, CblasLower, CblasNoTrans, CblasNonUnit, h, m, 1.0,
                    Li, m, Q + static_cast<size_t>(r) * m, m);
    }
    return true;
}

bool SolveGeneralEigenLapack(double* A, double* B, int m, const StopFlag& keep,
                             const std::function<void(double)>& progress) {
    if (m == 0) return true;
    // LAPACK's dsygvd (itype 1, upper triangle of the column-major matrices: the lower
    // triangle of ours) taken apart into the routines it calls, in its order and with its
    // work-space layout, so that the results are its own bit for bit; between them the stop
    // flag is read and the progress told. Each share is the part of the time the step took
    // for m = 3000.
    const lapack_int n = m;
    const size_t N = static_cast<size_t>(m);
    std::vector<double> w, work;
    std::vector<lapack_int> iwork;
    const size_t lwork = 1 + 6 * N + 2 * N * N;
    try {
        w.resize(N);
        work.resize(lwork);
        iwork.resize(3 + 5 * N);
    } catch (const std::bad_alloc&) {
        return false;
    }
    double done = 0;
    auto step = [&](double share) {
        if (Stopped(keep)) return false;
        done += share;
        if (progress) progress(std::min(done, 1.0));
        return true;
    };
    constexpr int C = LAPACK_COL_MAJOR;
    // B = U^T U, then A <- U^-T A U^-1.
    if (LAPACKE_dpotrf_work(C, 'U', n, B, n) != 0 || !step(0.06)) return false;
    if (LAPACKE_dsygst_work(C, 1, 'U', n, A, n, B, n) != 0 || !step(0.13)) return false;
    // dsyevd: scaled into the safe range if need be, tridiagonal form, divide and conquer,
    // back to the eigenvectors of A.
    const double safmin = LAPACKE_dlamch('S'), eps = LAPACKE_dlamch('P');
    const double smlnum = safmin / eps, bignum = 1 / smlnum;
    const double rmin = std::sqrt(smlnum), rmax = std::sqrt(bignum);
    const double anrm = LAPACKE_dlansy_work(C, 'M', 'U', n, A, n, work.data());
    double sigma = 1;
    const bool scaled = (anrm > 0 && anrm < rmin) || anrm > rmax;
    if (scaled) {
        sigma = anrm < rmin ? rmin / anrm : rmax / anrm;
        if (LAPACKE_dlascl_work(C, 'U', 0, 0, 1.0, sigma, n, n, A, n) != 0) return false;
    }
    double* const e = work.data();
    double* const tau = e + N;
    double* const z = tau + N;
    double* const rest = z + N * N;
    const lapack_int llwork = static_cast<lapack_int>(lwork - 2 * N);
    const lapack_int llwrk2 = static_cast<lapack_int>(lwork - 2 * N - N * N);
    if (LAPACKE_dsytrd_work(C, 'U', n, A, n, w.data(), e, tau, z, llwork) != 0 || !step(0.27))
        return false;
    if (LAPACKE_dstedc_work(C, 'I', n, w.data(), e, z, n, rest, llwrk2, iwork.data(),
                            static_cast<lapack_int>(iwork.size())) != 0 ||
        !step(0.17))
        return false;
    if (LAPACKE_dormtr_work(C, 'L', 'U', 'N', n, n, A, n, tau, z, n, rest, llwrk2) != 0 ||
        !step(0.28))
        return false;
    LAPACKE_dlacpy_work(C, 'A', n, n, z, n, A, n);
    if (scaled) cblas_dscal(n, 1 / sigma, w.data(), 1);
    // The eigenvectors of the pencil: x = U^-1 y.
    cblas_dtrsm(CblasColMajor, CblasLeft, CblasUpper, CblasNoTrans, CblasNonUnit, n, n, 1.0, B,
                n, A, n);
    if (!step(0.09)) return false;
    for (size_t i = 0; i < N; ++i) B[i * N + i] = w[i];
    return true;
}
