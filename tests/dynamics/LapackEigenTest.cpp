// The LAPACK eigen-solution, the lowest modes of the band matrices and the Sturm-sequence
// check, each against a reference computed here by other means.
#include <lapacke.h>

#include <algorithm>
#include <cmath>

#include "DynamicsModels.h"
#include "TestSupport.h"
#include "dynamics/SymmetricBand.h"

namespace {

class LapackEigenTest : public ScratchDirTest {
protected:
    // Reduced dense stiffness and mass (full squares, row-major) of the solved model.
    void Reduced(std::vector<double>& K, std::vector<double>& M, int& m) {
        ASSERT_TRUE(frame->BuildDynamicMatrices());
        std::vector<int> free;
        for (int i = 0; i < frame->m_nDof; ++i)
            if (frame->m_dofStatus[i] == 0) free.push_back(i);
        m = static_cast<int>(free.size());
        const size_t n = static_cast<size_t>(frame->m_nDof), mm = static_cast<size_t>(m);
        K.assign(mm * mm, 0.0);
        M.assign(mm * mm, 0.0);
        for (size_t r = 0; r < mm; ++r)
            for (size_t c = 0; c <= r; ++c) {
                K[r * mm + c] = K[c * mm + r] = frame->m_fullK[free[r] * n + free[c]];
                M[r * mm + c] = M[c * mm + r] = frame->m_fullM[free[r] * n + free[c]];
            }
    }
    // Frequencies in display order.
    std::vector<double> Omegas() const {
        std::vector<double> w;
        for (int k = 0; k < frame->m_nModes; ++k)
            w.push_back(frame->m_omega[frame->m_modeOrder[k]]);
        return w;
    }
    std::unique_ptr<CPlaneFrame> frame;
    StopFlag keep{1};
};

// The lowest eigenvalue by inverse iteration with the Rayleigh quotient, from a Cholesky
// factor of K: the classical route, independent of any eigen-solver.
double LowestByInverseIteration(const std::vector<double>& K, const std::vector<double>& M, int m) {
    std::vector<double> L = K, x(m, 1.0), y(m);
    EXPECT_EQ(LAPACKE_dpotrf(LAPACK_ROW_MAJOR, 'L', m, L.data(), m), 0);
    auto mul = [&](const std::vector<double>& A, const std::vector<double>& v,
                   std::vector<double>& out) {
        for (int i = 0; i < m; ++i) {
            double s = 0;
            for (int j = 0; j < m; ++j) s += A[i * m + j] * v[j];
            out[i] = s;
        }
    };
    // The quotient x^T M x / x^T M K^-1 M x never forms K x, whose rounding would swamp the
    // small eigenvalue.
    double lambda = 0;
    for (int it = 0; it < 200; ++it) {
        std::vector<double> mx(m);
        mul(M, x, mx);
        y = mx;
        LAPACKE_dpotrs(LAPACK_ROW_MAJOR, 'L', m, 1, L.data(), m, y.data(), 1);
        double xmx = 0, ymx = 0, norm = 0;
        for (int i = 0; i < m; ++i) {
            xmx += x[i] * mx[i];
            ymx += y[i] * mx[i];
            norm = std::max(norm, std::fabs(y[i]));
        }
        lambda = xmx / ymx;
        for (int i = 0; i < m; ++i) x[i] = y[i] / norm;
    }
    return lambda;
}

}  // namespace

TEST_F(LapackEigenTest, FrequenciesOfBeamAndFrameMatchIndependentSolutions) {
    BeamData beam;
    beam.elements = 100;
    beam.length = 40;
    for (const std::string& model : {BeamModel(beam), PortalModel(20)}) {
        frame.reset();
        frame = Load(model, true);
        ASSERT_TRUE(frame);
        ASSERT_TRUE(frame->NaturalVibration());
        const std::vector<double> omega = Omegas();
        std::vector<double> K, M;
        int m = 0;
        Reduced(K, M, m);
        ASSERT_EQ(frame->m_nModes, m);
        // Every mode against LAPACK's QR-iteration driver (not the divide-and-conquer one
        // the program uses) on a copy of the dense squares.
        std::vector<double> A = K, B = M, w(m);
        ASSERT_EQ(
            LAPACKE_dsygv(LAPACK_ROW_MAJOR, 1, 'N', 'L', m, A.data(), m, B.data(), m, w.data()), 0);
        // Rounding bounds the agreement: a backward-stable solution of the pencil is exact
        // for matrices within eps |K| of the model's, which moves lambda_k by up to about
        // eps lambda_max / lambda_k relatively; here (lambda_max / lambda_1 ~ 3e9) a few 1e-8.
        for (int k = 0; k < m; ++k)
            ASSERT_NEAR(omega[k], std::sqrt(w[k]), 5e-8 * std::sqrt(w[k])) << "mode " << k + 1;
        // The first mode once more, by inverse iteration.
        const double first = std::sqrt(LowestByInverseIteration(K, M, m));
        EXPECT_NEAR(omega[0], first, 5e-8 * first);
        ASSERT_TRUE(frame->m_sturm.done);
        EXPECT_EQ(frame->m_sturm.below, m);
        EXPECT_EQ(frame->m_sturm.reported, m);
    }
}

TEST_F(LapackEigenTest, LowestModesEqualTheFirstOfEveryMode) {
    BeamData beam;
    beam.elements = 60;
    beam.angle = 0.3;  // axial and bending coupled
    frame = Load(BeamModel(beam), true);
    ASSERT_TRUE(frame);
    ASSERT_TRUE(frame->NaturalVibration());
    const std::vector<double> all = Omegas();
    const int n = frame->m_nDof;
    const std::vector<double> shapes = frame->m_modeShapes;
    const std::vector<int> order = frame->m_modeOrder;
    frame->m_modeCount = 7;
    ASSERT_TRUE(frame->NaturalVibration());
    ASSERT_EQ(frame->m_nModes, 7);
    const std::vector<double> low = Omegas();
    for (int k = 0; k < 7; ++k) {
        EXPECT_NEAR(low[k], all[k], 1e-8 * all[k]) << "mode " << k + 1;
        const double* a = &shapes[static_cast<size_t>(order[k]) * n];
        const double* b = &frame->m_modeShapes[static_cast<size_t>(frame->m_modeOrder[k]) * n];
        double big = 0;
        int at = 0;
        for (int i = 0; i < n; ++i)
            if (std::fabs(b[i]) > big) big = std::fabs(b[i]), at = i;
        EXPECT_EQ(big, 1.0);
        const double sign = (a[at] > 0) == (b[at] > 0) ? 1 : -1;
        for (int i = 0; i < n; ++i) ASSERT_NEAR(b[i], sign * a[i], 1e-7) << "mode " << k + 1;
    }
    ASSERT_TRUE(frame->m_sturm.done);
    EXPECT_EQ(frame->m_sturm.below, 7);
}

TEST_F(LapackEigenTest, SturmCountIsTheNumberOfEigenvaluesBelowTheShift) {
    frame = Load(PortalModel(4), true);
    ASSERT_TRUE(frame);
    ASSERT_TRUE(frame->NaturalVibration());
    SymmetricBand K, M;
    ASSERT_TRUE(BuildFreeBands(*frame, K, M));
    const std::vector<double> omega = Omegas();
    const int m = frame->m_nModes;
    ASSERT_EQ(K.n, m);
    EXPECT_EQ(CountEigenvaluesBelow(K, M, 0.5 * omega[0] * omega[0], keep), 0);
    for (int k = 1; k < m; ++k) {
        const double mid = 0.5 * (omega[k - 1] * omega[k - 1] + omega[k] * omega[k]);
        if (omega[k] - omega[k - 1] < 1e-6 * omega[k]) continue;
        EXPECT_EQ(CountEigenvaluesBelow(K, M, mid, keep), k) << "between modes " << k;
    }
    EXPECT_EQ(CountEigenvaluesBelow(K, M, 2 * omega[m - 1] * omega[m - 1], keep), m);
}
