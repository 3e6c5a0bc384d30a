// The lowest natural modes of large models: ARPACK's implicitly restarted Lanczos on the
// shift-inverted problem (K - sigma M)^-1 M x = x / (lambda - sigma), with the band factor of
// K from LAPACK.
#include <lapacke.h>

#include <algorithm>
#include <new>
#include <numeric>

#include "dynamics/SymmetricBand.h"

extern "C" {
// ARPACK's C entry points (arpack-ng), declared here because its header needs C99 complex.
void dsaupd_c(int* ido, const char* bmat, int n, const char* which, int nev, double tol,
              double* resid, int ncv, double* v, int ldv, int* iparam, int* ipntr, double* workd,
              double* workl, int lworkl, int* info);
void dseupd_c(int rvec, const char* howmny, const int* select, double* d, double* z, int ldz,
              double sigma, const char* bmat, int n, const char* which, int nev, double tol,
              double* resid, int ncv, double* v, int ldv, int* iparam, int* ipntr, double* workd,
              double* workl, int lworkl, int* info);
}

bool LowestEigenpairs(const SymmetricBand& K, const SymmetricBand& M, int count,
                      std::vector<double>& values, std::vector<double>& vectors,
                      const StopFlag& keep) {
    const int n = K.n;
    if (count <= 0 || count >= n) return false;
    // The shift 0 keeps K - sigma M positive definite for a supported frame, so the plain band
    // Cholesky factor serves the solves; the lowest modes are then the largest of the operator.
    const double sigma = 0;
    const int ldab = K.band + 1;
    std::vector<double> factor, resid, v, workd, workl, d, z;
    std::vector<int> select;
    const int ncv = std::min(n, std::max(2 * count + 1, count + 20));
    const int lworkl = ncv * (ncv + 8);
    try {
        factor = K.a;
        resid.assign(static_cast<size_t>(n), 0.0);
        v.assign(static_cast<size_t>(n) * ncv, 0.0);
        workd.assign(3 * static_cast<size_t>(n), 0.0);
        workl.assign(static_cast<size_t>(lworkl), 0.0);
        d.assign(static_cast<size_t>(count), 0.0);
        z.assign(static_cast<size_t>(n) * count, 0.0);
        select.assign(static_cast<size_t>(ncv), 1);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (LAPACKE_dpbtrf(LAPACK_COL_MAJOR, 'U', n, K.band, factor.data(), ldab) != 0) return false;
    auto solve = [&](double* x) {
        return LAPACKE_dpbtrs(LAPACK_COL_MAJOR, 'U', n, K.band, 1, factor.data(), ldab, x, n) == 0;
    };
    int iparam[11] = {}, ipntr[11] = {};
    iparam[0] = 1;    // exact shifts
    iparam[2] = 500;  // restarts at most
    iparam[6] = 3;    // shift-invert mode with B = M
    int ido = 0, info = 0;
    for (;;) {
        if (keep.load(std::memory_order_relaxed) == 0) return false;
        dsaupd_c(&ido, "G", n, "LM", count, 0.0, resid.data(), ncv, v.data(), n, iparam, ipntr,
                 workd.data(), workl.data(), lworkl, &info);
        double* x = workd.data() + ipntr[0] - 1;
        double* y = workd.data() + ipntr[1] - 1;
        if (ido == -1) {
            M.Multiply(x, y);
            if (!solve(y)) return false;
        } else if (ido == 1) {
            const double* mx = workd.data() + ipntr[2] - 1;
            std::copy(mx, mx + n, y);
            if (!solve(y)) return false;
        } else if (ido == 2) {
            M.Multiply(x, y);
        } else {
            break;
        }
    }
    if (info < 0 || iparam[4] < count) return false;
    dseupd_c(1, "A", select.data(), d.data(), z.data(), n, sigma, "G", n, "LM", count, 0.0,
             resid.data(), ncv, v.data(), n, iparam, ipntr, workd.data(), workl.data(), lworkl,
             &info);
    if (info != 0) return false;
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return d[a] < d[b]; });
    try {
        values.resize(static_cast<size_t>(count));
        vectors.resize(static_cast<size_t>(n) * count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int k = 0; k < count; ++k) {
        values[k] = d[order[k]];
        const double* col = z.data() + static_cast<size_t>(order[k]) * n;
        std::copy(col, col + n, vectors.begin() + static_cast<size_t>(k) * n);
    }
    return true;
}
