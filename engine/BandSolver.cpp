// Supports on the band matrix, band Cholesky factorisation, substitution and reactions.
#include <algorithm>
#include <cmath>

#include "engine/PlaneFrame.h"
#include "engine/SolutionCheck.h"
#include "platform/Format.h"
#include "platform/Host.h"

namespace {

// A pivot below this share of the diagonal it started from has lost every significant digit:
// the stiffness has a mechanism even though rounding kept the pivot far above 1e-18.
constexpr double kRelativePivot = 1e-12;

}  // namespace

void CPlaneFrame::ApplySupports() {
    const int n = m_nDof, b = m_nBand;
    for (int i = 0; i < n; ++i) {
        if (m_dofStatus[i] != 0) continue;
        for (int j = std::max(0, i - b); j <= std::min(n - 1, i + b); ++j) {
            if (m_dofStatus[j] != 1) continue;
            const double k = i <= j ? BandAt(i, j) : BandAt(j, i);
            m_supportLoad[i] -= k * m_prescribed[j];
        }
    }
    for (int i = 0; i < n; ++i) {
        if (m_dofStatus[i] != 1) continue;
        for (int j = std::max(0, i - b); j < i; ++j) BandAt(j, i) = 0;
        for (int j = i + 1; j <= std::min(n - 1, i + b); ++j) BandAt(i, j) = 0;
        BandAt(i, i) = 1;
        m_supportLoad[i] = m_prescribed[i];
    }
}

// Right-looking band Cholesky: row i is finished, then its outer product is subtracted from
// the rows below. Each entry receives its subtractions in ascending row order, so the result
// is the same, bit for bit, as summing the products first row by row.
bool CPlaneFrame::Factorize() {
    const int n = m_nDof, b = m_nBand;
    std::vector<double> diag(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) diag[i] = BandAt(i, i);
    for (int i = 0; i < n; ++i) {
        // A stop asked for ends the factorisation quietly; the caller sees StopRequested.
        if ((i & 4095) == 4095) {
            if (StopRequested()) return false;
            ReportProgress(RunStage::kFactorising, static_cast<double>(i) / n);
        }
        double* row = &m_bandK[static_cast<size_t>(m_diagAddr[i])];
        const double d = row[0];
        if (!(d >= 1e-18) || d < kRelativePivot * std::fabs(diag[i])) {
            static const char* const kDir[3] = {"x方向", "y方向", "转角"};
            // On a very fine mesh the pivots are lost to rounding, not to a mechanism.
            const char* text = MeshTooFine(*this)
                                   ? "刚度阵奇异!\n单元划分过细，已超出双精度求解的精度，请加长单元!"
                                   : "刚度阵奇异!\n检查刚体约束!";
            ShowMessage(text,
                        FormatString("出错位置：节点%d %s（方程%d）", i / 3 + 1, kDir[i % 3], i + 1));
            return false;
        }
        const double u = std::sqrt(d);
        row[0] = u;
        const int last = std::min(n - 1, i + b);
        for (int j = i + 1; j <= last; ++j) row[j - i] /= u;
        for (int j = i + 1; j <= last; ++j) {
            const double uij = row[j - i];
            if (uij == 0) continue;
            double* rj = &m_bandK[static_cast<size_t>(m_diagAddr[j])];
            for (int l = j; l <= last; ++l) rj[l - j] -= uij * row[l - i];
        }
    }
    return true;
}

void CPlaneFrame::Substitute(double* vectors, int count) const {
    const int n = m_nDof, b = m_nBand;
    for (int v = 0; v < count; ++v) {
        double* x = vectors + static_cast<size_t>(v) * n;
        // Forward: U^T y = b, column by column so that U is read along its rows.
        for (int j = 0; j < n; ++j) {
            const double* row = &m_bandK[static_cast<size_t>(m_diagAddr[j])];
            const double y = x[j] / row[0];
            x[j] = y;
            if (y == 0) continue;
            const int last = std::min(n - 1, j + b);
            for (int l = j + 1; l <= last; ++l) x[l] -= row[l - j] * y;
        }
        // Backward: U x = y.
        for (int j = n - 1; j >= 0; --j) {
            const double* row = &m_bandK[static_cast<size_t>(m_diagAddr[j])];
            double s = x[j];
            const int last = std::min(n - 1, j + b);
            for (int k = j + 1; k <= last; ++k) s -= row[k - j] * x[k];
            x[j] = s / row[0];
        }
    }
}

void CPlaneFrame::SubstituteInterleaved(double* x, int count, int first) const {
    const int n = m_nDof, b = m_nBand;
    const size_t c = static_cast<size_t>(count);
    // Forward, as Substitute: each entry divided by the pivot, then subtracted from the
    // entries below. Substitute skips a zero; here a zero is subtracted as well (a loop the
    // compiler vectorises), which changes nothing: r times a zero is a zero, and x less a
    // zero is x unless x is -0, which no entry still to be reduced ever is (none is at the
    // start, and a difference is -0 only when its first operand is). Rows before `first`
    // hold +0, which the division leaves as it is and which subtracts nothing.
    for (int j = std::max(first, 0); j < n; ++j) {
        const double* row = &m_bandK[static_cast<size_t>(m_diagAddr[j])];
        double* xj = x + j * c;
        const double d = row[0];
        for (size_t v = 0; v < c; ++v) xj[v] = xj[v] / d;
        const int last = std::min(n - 1, j + b);
        for (int l = j + 1; l <= last; ++l) {
            const double r = row[l - j];
            double* xl = x + l * c;
            for (size_t v = 0; v < c; ++v) xl[v] -= r * xj[v];
        }
    }
    // Backward: each entry less the products with the entries after it in ascending order,
    // then divided by the pivot.
    for (int j = n - 1; j >= 0; --j) {
        const double* row = &m_bandK[static_cast<size_t>(m_diagAddr[j])];
        double* xj = x + j * c;
        const int last = std::min(n - 1, j + b);
        for (int k = j + 1; k <= last; ++k) {
            const double r = row[k - j];
            const double* xk = x + k * c;
            for (size_t v = 0; v < c; ++v) xj[v] -= r * xk[v];
        }
        const double d = row[0];
        for (size_t v = 0; v < c; ++v) xj[v] = xj[v] / d;
    }
}

double CPlaneFrame::Reaction(int loadCase, int g) const {
    if (m_dofStatus[g] == 0 || m_bandK0.empty()) return 0;
    const int n = m_nDof, b = m_nBand;
    const double* u = &m_disp[static_cast<size_t>(loadCase) * n];
    double r = -m_loadOrig[static_cast<size_t>(loadCase) * n + g];
    for (int j = std::max(0, g - b); j <= std::min(n - 1, g + b); ++j) {
        const int lo = std::min(g, j), hi = std::max(g, j);
        r += m_bandK0[static_cast<size_t>(m_diagAddr[lo] + (hi - lo))] * u[j];
    }
    return r;
}
