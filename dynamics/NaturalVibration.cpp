// Natural vibration: reduction to the free equations, the generalised eigen-solution (every
// mode densely, or the lowest ones from the band matrices), normalised mode shapes over all
// equations, the frequencies in ascending order and the Sturm-sequence check.
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "dynamics/DenseStorage.h"
#include "dynamics/EigenSolver.h"
#include "dynamics/SymmetricBand.h"
#include "engine/PlaneFrame.h"
#include "engine/SolutionCheck.h"
#include "platform/Format.h"
#include "platform/Host.h"

namespace {

// Relative shifts of a frequency between the assembled stiffness and the refinement beyond
// which the shapes are unreliable (a warning) or meaningless (the solution is refused).
constexpr double kRoundedShift = 1e-3;
constexpr double kUntrustedShift = 0.05;

// Scales the row so that its largest magnitude is exactly 1 (the first of equal ones keeps
// its sign) and spreads it over all n equations of the shape.
void NormaliseShape(double* row, int m, const std::vector<int>& reduced, double* shape) {
    double c = 0;
    for (int k = 0; k < m; ++k)
        if (std::fabs(row[k]) > c) c = std::fabs(row[k]);
    for (int k = 0; k < m; ++k) row[k] /= c;
    for (int k = 0; k < m; ++k) shape[reduced[k]] = row[k];
}

// Counts the eigenvalues below one just above the highest mode found, from the band
// matrices of the free equations. The margin of 1e-3 stays clear of the rounding of the
// factor of K - shift M, which in a large fine mesh reaches far beyond 1e-6 of the shift.
void CheckNoModeMissed(CPlaneFrame& fr, const SymmetricBand& K, const SymmetricBand& M) {
    if (fr.m_nModes == 0) return;
    const double top = fr.m_omega[fr.m_modeOrder[fr.m_nModes - 1]];
    SturmCheck check;
    check.shift = top * top * (1 + 1e-3);
    check.below = CountEigenvaluesBelow(K, M, check.shift, fr.m_keepRunning);
    check.reported = fr.m_nModes;
    check.done = check.below >= 0;
    fr.m_sturm = check;
}

// Replaces the eigenvalues by their refined quotients (see RefineEigenvalues) and judges the
// mesh by how far they moved: the assembled stiffness of a fine mesh rounds away part of its
// elements' rigid-body motions, which shifts the low eigenvalues and, by about that shift over
// the gap to the next mode, the shapes; the refined value is then right only to about the
// square of it. False (after a message) when the shapes cannot be trusted at all, or when
// stopped; a model whose refinement could not run keeps the solver's values.
bool RefineAndJudge(CPlaneFrame& fr, const std::vector<int>& reduced, const SymmetricBand& K,
                    const SymmetricBand& M, const double* vectors, int count, double* values) {
    std::vector<double> refined(values, values + count);
    if (!RefineEigenvalues(K, M, ElementStiffnessProduct(fr, reduced), vectors, count, refined.data(),
                           fr.m_keepRunning))
        return fr.m_keepRunning != 0;
    double moved = 0;
    for (int k = 0; k < count; ++k) {
        const double ratio = values[k] / refined[k];
        moved = ratio > 0 ? std::max(moved, std::fabs(std::sqrt(ratio) - 1))
                          : std::numeric_limits<double>::infinity();
    }
    std::copy(refined.begin(), refined.end(), values);
    if (moved > kUntrustedShift) {
        ShowMessage("单元划分过细，已超出双精度求解的精度，请加长单元!");
        return false;
    }
    if (moved > kRoundedShift)
        ShowMessage("警告：单元划分过细，舍入误差使低阶振型失准，频率的后几位可能不准，请加长单元!");
    return true;
}

bool LowestModes(CPlaneFrame& fr, const std::vector<int>& reduced, const SymmetricBand& K,
                 const SymmetricBand& M) {
    const int count = fr.m_modeCount, m = K.n, n = fr.m_nDof;
    std::vector<double> values, vectors, shapes;
    if (!LowestEigenpairs(K, M, count, values, vectors, fr.m_keepRunning)) {
        // The static solution factorised this stiffness, so a factor that fails here has lost
        // its last pivots to rounding.
        if (fr.m_keepRunning != 0 && MeshTooFine(fr))
            ShowMessage("单元划分过细，已超出双精度求解的精度，请加长单元!");
        return false;
    }
    if (!RefineAndJudge(fr, reduced, K, M, vectors.data(), count, values.data())) return false;
    if (!AllocateZeroed(shapes, static_cast<double>(count) * n)) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    for (int r = 0; r < count; ++r)
        NormaliseShape(&vectors[static_cast<size_t>(r) * m], m, reduced,
                       &shapes[static_cast<size_t>(r) * n]);
    fr.m_modeShapes.swap(shapes);
    fr.m_omega.swap(values);
    if (!fr.SortModes(fr.m_omega.data(), count)) return false;
    fr.m_nModes = count;
    return true;
}

}  // namespace

bool CPlaneFrame::SolveGeneralEigen(double* A, double* B, int m) {
    if (m == 0) return true;
    if (m_eigenMethod == EigenMethod::kLapack) {
        // The solution is nearly all of the analysis: its steps move the percentage to 95.
        int shown = -1;
        const auto progress = [&shown](double done) {
            const int percent = static_cast<int>(95 * done);
            if (percent == shown) return;
            shown = percent;
            ShowStatus(FormatString("固有振动分析进行中...(%d%%)", percent));
        };
        return SolveGeneralEigenLapack(A, B, m, m_keepRunning, progress) && m_keepRunning != 0;
    }
    const double count = static_cast<double>(m) * m;
    std::vector<double> Li, Q;
    if (!AllocateZeroed(Li, count) || !AllocateZeroed(Q, count)) return false;
    const int band = std::min(m_nBand, m - 1);
    if (!CholeskyLower(B, m, band, m_keepRunning)) return false;
    if (!InvertLower(B, Li.data(), m, band, m_keepRunning)) return false;
    if (!TransformToStandard(A, Li.data(), B, Q.data(), m, band, m_keepRunning)) return false;
    const size_t M = static_cast<size_t>(m);
    std::fill(Q.begin(), Q.end(), 0.0);
    for (size_t i = 0; i < M; ++i) Q[i * M + i] = 1;
    if (!JacobiDiagonalize(B, Q.data(), m, m_keepRunning)) return false;
    if (!BackTransform(Q.data(), Li.data(), m, m_keepRunning)) return false;
    std::copy(Q.begin(), Q.end(), A);
    return true;
}

bool CPlaneFrame::NaturalVibration() {
    m_nModes = 0;
    m_sturm = SturmCheck();
    const int n = m_nDof;
    const size_t N = static_cast<size_t>(n);
    std::vector<int> reduced;  // free equations in ascending order
    for (int i = 0; i < n && static_cast<size_t>(i) < m_dofStatus.size(); ++i)
        if (m_dofStatus[i] == 0) reduced.push_back(i);
    const int m = static_cast<int>(reduced.size());
    // The band matrices serve the lowest modes of a large model, which never sees a dense
    // square, and the check of every result.
    SymmetricBand bandK, bandM;
    if (m > 0 && !BuildFreeBands(*this, bandK, bandM)) return false;
    if (m_eigenMethod == EigenMethod::kLapack && m_modeCount > 0 && m_modeCount < m) {
        if (!LowestModes(*this, reduced, bandK, bandM)) return false;
        CheckNoModeMissed(*this, bandK, bandM);
        return true;
    }
    if (!BuildDynamicMatrices()) return false;
    const size_t M = static_cast<size_t>(m);
    std::vector<double> Kr, Mr;
    if (!AllocateZeroed(Kr, static_cast<double>(m) * m) ||
        !AllocateZeroed(Mr, static_cast<double>(m) * m)) {
        ShowMessage("内存不够，固有振动分析无法进行!");
        return false;
    }
    for (int r = 0; r < m; ++r) {
        if (m_keepRunning == 0) return false;
        const size_t i = static_cast<size_t>(reduced[r]);
        for (int c = 0; c <= r; ++c) {
            const size_t j = static_cast<size_t>(reduced[c]);
            Kr[r * M + c] = m_fullK[i * N + j];
            Mr[r * M + c] = m_fullM[i * N + j];
        }
    }
    if (!SolveGeneralEigen(Kr.data(), Mr.data(), m)) return false;
    if (m_eigenMethod == EigenMethod::kLapack) {
        // The dense solution's small eigenvalues carry its rounding of K x and that of the
        // assembled stiffness; the quotient of the inverted pencil with the elements' own
        // forces gives them to nearly full precision. (The Jacobi stays as it is: it is the
        // reference.)
        std::vector<double> values(M);
        for (size_t r = 0; r < M; ++r) values[r] = Mr[r * M + r];
        if (!RefineAndJudge(*this, reduced, bandK, bandM, Kr.data(), m, values.data()))
            return false;
        for (size_t r = 0; r < M; ++r) Mr[r * M + r] = values[r];
    }

    std::vector<double> shapes, omega;
    if (!AllocateZeroed(shapes, static_cast<double>(m) * n) || !AllocateZeroed(omega, m)) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    for (int r = 0; r < m; ++r) {
        if (m_keepRunning == 0) return false;
        NormaliseShape(&Kr[r * M], m, reduced, &shapes[r * N]);
        omega[r] = Mr[r * M + r];
    }
    m_modeShapes.swap(shapes);
    m_omega.swap(omega);
    if (!SortModes(m_omega.data(), m)) return false;
    m_nModes = m;
    if (m > 0) CheckNoModeMissed(*this, bandK, bandM);
    return m_keepRunning != 0;
}

bool CPlaneFrame::SortModes(double* values, int m) {
    try {
        m_modeOrder.assign(static_cast<size_t>(m), 0);
    } catch (const std::bad_alloc&) {
        ShowMessage("错误：内存不够!");
        return false;
    }
    for (int j = 0; j < m; ++j) m_modeOrder[j] = j;
    // Shell sort with the gaps 2^K - 1, ..., 3, 1.
    const int K = m >= 1 ? static_cast<int>(std::log(static_cast<double>(m)) / std::log(2.0)) : 0;
    for (int k = K; k >= 1; --k) {
        const int gap = (1 << k) - 1;
        for (int j = gap; j < m; ++j) {
            if (m_keepRunning == 0) return false;
            const int taken = m_modeOrder[j];
            int i = j;
            while (i >= gap && values[m_modeOrder[i - gap]] > values[taken]) {
                m_modeOrder[i] = m_modeOrder[i - gap];
                i -= gap;
            }
            m_modeOrder[i] = taken;
        }
    }
    for (int j = 0; j < m; ++j) values[j] = std::sqrt(values[j]);
    return true;
}
