// Band storage of the free equations, the band LDL^T inertia count and the free-band builder.
#include "dynamics/SymmetricBand.h"

#include <cblas.h>
#include <lapacke.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "dynamics/DenseStorage.h"
#include "engine/PlaneFrame.h"
#include "engine/SolutionCheck.h"
#include "platform/Host.h"

bool SymmetricBand::Allocate(int size, int halfBand) {
    n = size;
    band = std::max(0, std::min(halfBand, size - 1));
    return AllocateZeroed(a, static_cast<double>(size) * (band + 1));
}

void SymmetricBand::Multiply(const double* x, double* y) const {
    if (n == 0) return;
    cblas_dsbmv(CblasColMajor, CblasUpper, n, band, 1.0, a.data(), band + 1, x, 1, 0.0, y, 1);
}

bool BuildFreeBands(CPlaneFrame& fr, SymmetricBand& K, SymmetricBand& M) {
    const int n = fr.m_nDof;
    if (n <= 0 || fr.m_diagAddr.size() != static_cast<size_t>(n) ||
        fr.m_dofStatus.size() != static_cast<size_t>(n))
        return false;
    std::vector<int> reduced(static_cast<size_t>(n), -1);
    int m = 0;
    for (int i = 0; i < n; ++i)
        if (fr.m_dofStatus[i] == 0) reduced[i] = m++;
    if (!K.Allocate(m, fr.m_nBand) || !M.Allocate(m, fr.m_nBand)) {
        ShowMessage("内存不够，固有振动分析无法进行!");
        return false;
    }
    for (int e = 0; e < fr.m_nElements; ++e) {
        const Element& el = fr.m_elements[e];
        const int g[6] = {fr.m_dofNum[el.iNode][0], fr.m_dofNum[el.iNode][1],
                          fr.m_dofNum[el.iNode][2], fr.m_dofNum[el.jNode][0],
                          fr.m_dofNum[el.jNode][1], fr.m_dofNum[el.jNode][2]};
        fr.ElementMass(e);
        for (int a = 0; a < 6; ++a)
            for (int b = a; b < 6; ++b) {
                const int ra = reduced[g[a]], rb = reduced[g[b]];
                if (ra < 0 || rb < 0) continue;
                M.At(std::max(ra, rb), std::min(ra, rb)) += fr.m_elemM[a][b];
            }
    }
    std::vector<double> stiffness;
    if (!ReadAssembledStiffness(fr, stiffness)) return false;
    for (int i = 0; i < n; ++i) {
        if (reduced[i] < 0) continue;
        const int hi = std::min(n - 1, i + fr.m_nBand);
        for (int j = i; j <= hi; ++j)
            if (reduced[j] >= 0)
                K.At(reduced[j], reduced[i]) =
                    stiffness[static_cast<size_t>(fr.m_diagAddr[i] + (j - i))];
    }
    return true;
}

int CountEigenvaluesBelow(const SymmetricBand& K, const SymmetricBand& M, double sigma,
                          const StopFlag& keep) {
    const int n = K.n, b = K.band;
    SymmetricBand L;
    if (!L.Allocate(n, b)) return -1;
    L.a = K.a;
    for (size_t k = 0; k < L.a.size(); ++k) L.a[k] -= sigma * M.a[k];
    // The size a pivot is compared with, so that an exact zero becomes a tiny positive one.
    double scale = 0;
    for (int i = 0; i < n; ++i) scale = std::max(scale, std::fabs(L.At(i, i)));
    const double tiny = scale * std::numeric_limits<double>::epsilon();
    std::vector<double> d(static_cast<size_t>(n));
    int negative = 0;
    // Row by row: L(i, j) d_j = A(i, j) - sum over k < j of L(i, k) d_k L(j, k).
    for (int i = 0; i < n; ++i) {
        if (keep.load(std::memory_order_relaxed) == 0) return -1;
        const int lo = std::max(0, i - b);
        for (int j = lo; j <= i; ++j) {
            double s = L.At(i, j);
            for (int k = std::max(lo, j - b); k < j; ++k) s -= L.At(i, k) * d[k] * L.At(j, k);
            if (j < i) {
                L.At(i, j) = s / d[j];
            } else {
                if (s == 0) s = tiny > 0 ? tiny : std::numeric_limits<double>::min();
                d[i] = s;
                if (s < 0) ++negative;
            }
        }
    }
    return negative;
}

namespace {

// K y from the band as stored, each product and sum in extended precision.
void BandProduct(const SymmetricBand& K, const double* y, long double* ky) {
    const int n = K.n, w = K.band;
    for (int i = 0; i < n; ++i) {
        long double s = 0;
        const int lo = std::max(0, i - w), hi = std::min(n - 1, i + w);
        for (int j = lo; j <= i; ++j) s += static_cast<long double>(K.At(i, j)) * y[j];
        for (int j = i + 1; j <= hi; ++j) s += static_cast<long double>(K.At(j, i)) * y[j];
        ky[i] = s;
    }
}

constexpr int kRefinementRounds = 8;

}  // namespace

bool RefineEigenvalues(const SymmetricBand& K, const SymmetricBand& M,
                       const StiffnessProduct& product, const double* vectors, int count,
                       double* values, const StopFlag& keep) {
    const int n = K.n, ldab = K.band + 1;
    if (n == 0 || count <= 0) return true;
    std::vector<double> factor, mx, y, r, refined;
    std::vector<long double> ky;
    try {
        factor = K.a;
        mx.resize(static_cast<size_t>(n));
        y.resize(static_cast<size_t>(n));
        r.resize(static_cast<size_t>(n));
        ky.resize(static_cast<size_t>(n));
        refined.resize(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (LAPACKE_dpbtrf(LAPACK_COL_MAJOR, 'U', n, K.band, factor.data(), ldab) != 0) return false;
    auto solve = [&](double* x) {
        return LAPACKE_dpbtrs(LAPACK_COL_MAJOR, 'U', n, K.band, 1, factor.data(), ldab, x, n) == 0;
    };
    const double eps = std::numeric_limits<double>::epsilon();
    for (int k = 0; k < count; ++k) {
        if (keep.load(std::memory_order_relaxed) == 0) return false;
        const double* x = vectors + static_cast<size_t>(k) * n;
        M.Multiply(x, mx.data());
        y = mx;
        if (!solve(y.data())) return false;
        double lastChange = std::numeric_limits<double>::infinity();
        for (int round = 0; round < kRefinementRounds; ++round) {
            if (product)
                product(y.data(), ky.data());
            else
                BandProduct(K, y.data(), ky.data());
            for (int i = 0; i < n; ++i) r[i] = static_cast<double>(mx[i] - ky[i]);
            if (!solve(r.data())) return false;
            double change = 0, largest = 0;
            for (int i = 0; i < n; ++i) {
                y[i] += r[i];
                change = std::max(change, std::fabs(r[i]));
                largest = std::max(largest, std::fabs(y[i]));
            }
            if (!(change > 4 * eps * largest) || !(change < 0.5 * lastChange)) break;
            lastChange = change;
        }
        long double xmx = 0, ymx = 0;
        for (int i = 0; i < n; ++i) {
            xmx += static_cast<long double>(x[i]) * mx[i];
            ymx += static_cast<long double>(y[i]) * mx[i];
        }
        if (!(ymx > 0) || !(xmx > 0)) return false;
        refined[k] = static_cast<double>(xmx / ymx);
    }
    std::copy(refined.begin(), refined.end(), values);
    return true;
}

StiffnessProduct ElementStiffnessProduct(const CPlaneFrame& fr, const std::vector<int>& reduced) {
    const size_t n = static_cast<size_t>(fr.m_nDof);
    // The supported (and driven) equations of u stay zero from call to call.
    return [&fr, &reduced, u = std::vector<double>(n, 0.0),
            forces = std::vector<long double>(n)](const double* y, long double* ky) mutable {
        for (size_t i = 0; i < reduced.size(); ++i) u[reduced[i]] = y[i];
        ElementInternalForces(fr, u.data(), forces);
        for (size_t i = 0; i < reduced.size(); ++i) ky[i] = forces[reduced[i]];
    };
}
