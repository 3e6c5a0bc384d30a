// The LAPACK eigen-solution, the lowest modes of the band matrices and the Sturm-sequence
// check, each against a reference computed here by other means.
#include <lapacke.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "DynamicsModels.h"
#include "TestSupport.h"
#include "dynamics/EigenSolver.h"
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
    // The reduced stiffness assembled in extended precision from each element's cantilever
    // stiffness and its deformations (end j against a rigid motion of end i): free of the
    // rounding that breaks the elements' rigid-body motions in the assembled double matrix.
    std::vector<long double> ExactStiffness() const {
        using L = long double;
        const int n = frame->m_nDof;
        std::vector<int> reduced(static_cast<size_t>(n), -1);
        int m = 0;
        for (int i = 0; i < n; ++i)
            if (frame->m_dofStatus[i] == 0) reduced[i] = m++;
        std::vector<L> K(static_cast<size_t>(m) * m, 0.0L);
        for (int e = 0; e < frame->m_nElements; ++e) {
            const Element& el = frame->m_elements[e];
            const StiffnessTerms t = frame->ElementStiffnessTerms(e);
            const L c = el.cos, s = el.sin, len = el.length;
            // Rows: axial, transverse and rotational deformation; columns: the end equations.
            const L D[3][6] = {{-c, -s, 0, c, s, 0}, {s, -c, -len, -s, c, 0}, {0, 0, -1, 0, 0, 1}};
            const L Kc[3][3] = {{t.kN, 0, 0}, {0, t.kV, -t.kTj}, {0, -t.kTj, t.kjj}};
            const int g[6] = {frame->m_dofNum[el.iNode][0], frame->m_dofNum[el.iNode][1],
                              frame->m_dofNum[el.iNode][2], frame->m_dofNum[el.jNode][0],
                              frame->m_dofNum[el.jNode][1], frame->m_dofNum[el.jNode][2]};
            for (int a = 0; a < 6; ++a)
                for (int b = 0; b < 6; ++b) {
                    if (reduced[g[a]] < 0 || reduced[g[b]] < 0) continue;
                    L v = 0;
                    for (int p = 0; p < 3; ++p)
                        for (int q = 0; q < 3; ++q) v += D[p][a] * Kc[p][q] * D[q][b];
                    K[static_cast<size_t>(reduced[g[a]]) * m + reduced[g[b]]] += v;
                }
        }
        return K;
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

// The eigenvalue nearest sigma by Rayleigh-quotient iteration on the dense matrices in
// extended precision (Gaussian elimination with partial pivoting of K - sigma M), started
// from x: an independent reference that rounding in double does not reach.
double NearestByRqiExtended(const std::vector<long double>& K, const std::vector<double>& M, int m,
                            std::vector<long double> x, long double sigma) {
    using L = long double;
    for (int it = 0; it < 3; ++it) {
        std::vector<L> A(static_cast<size_t>(m) * m), b(m);
        for (int i = 0; i < m * m; ++i) A[i] = K[i] - sigma * L(M[i]);
        for (int i = 0; i < m; ++i) {
            L s = 0;
            for (int j = 0; j < m; ++j) s += L(M[i * m + j]) * x[j];
            b[i] = s;
        }
        const std::vector<L> mx = b;
        for (int c = 0; c < m; ++c) {
            int p = c;
            for (int r = c + 1; r < m; ++r)
                if (fabsl(A[r * m + c]) > fabsl(A[p * m + c])) p = r;
            if (p != c) {
                for (int j = 0; j < m; ++j) std::swap(A[c * m + j], A[p * m + j]);
                std::swap(b[c], b[p]);
            }
            for (int r = c + 1; r < m; ++r) {
                const L f = A[r * m + c] / A[c * m + c];
                if (f == 0) continue;
                for (int j = c; j < m; ++j) A[r * m + j] -= f * A[c * m + j];
                b[r] -= f * b[c];
            }
        }
        for (int r = m - 1; r >= 0; --r) {
            L s = b[r];
            for (int j = r + 1; j < m; ++j) s -= A[r * m + j] * b[j];
            b[r] = s / A[r * m + r];
        }
        L xmx = 0, ymx = 0, norm = 0;
        for (int i = 0; i < m; ++i) {
            xmx += x[i] * mx[i];
            ymx += b[i] * mx[i];
            norm = std::max(norm, fabsl(b[i]));
        }
        sigma += xmx / ymx;
        for (int i = 0; i < m; ++i) x[i] = b[i] / norm;
    }
    return static_cast<double>(sigma);
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
        // the program starts from) on a copy of the dense squares. Its rounding of K x
        // moves lambda_k by up to about eps lambda_max, so the agreement is bounded by that
        // for the lowest modes (lambda_max / lambda_1 ~ 3e9 here).
        std::vector<double> A = K, B = M, w(m);
        ASSERT_EQ(
            LAPACKE_dsygv(LAPACK_ROW_MAJOR, 1, 'V', 'L', m, A.data(), m, B.data(), m, w.data()), 0);
        const double eps = std::numeric_limits<double>::epsilon();
        for (int k = 0; k < m; ++k) {
            const double bound = std::max(1e-10, eps * w[m - 1] / w[k]);
            ASSERT_NEAR(omega[k], std::sqrt(w[k]), bound * std::sqrt(w[k])) << "mode " << k + 1;
        }
        // The lowest modes (where that bound is loose), some middle ones and the highest to
        // 1e-10 against Rayleigh-quotient iteration in extended precision, on the stiffness
        // assembled in extended precision, from QR's vectors.
        const std::vector<long double> exactK = ExactStiffness();
        for (int k : {0, 1, 2, 3, 4, 9, m / 2, m - 1}) {
            std::vector<long double> x(m);
            for (int i = 0; i < m; ++i) x[i] = A[i * m + k];
            const double exact = std::sqrt(NearestByRqiExtended(exactK, M, m, x, w[k]));
            EXPECT_NEAR(omega[k], exact, 1e-10 * exact) << "mode " << k + 1;
        }
        ASSERT_TRUE(frame->m_sturm.done);
        EXPECT_EQ(frame->m_sturm.below, m);
        EXPECT_EQ(frame->m_sturm.reported, m);
    }
}

TEST_F(LapackEigenTest, StepwiseSolutionIsTheDriversAndStopsBetweenSteps) {
    // A frame (axial and bending coupled) and the smallest sizes.
    frame = Load(PortalModel(8), true);
    ASSERT_TRUE(frame);
    std::vector<double> K, M;
    int m = 0;
    Reduced(K, M, m);
    for (int size : {1, 2, 5, m}) {
        std::vector<double> A(static_cast<size_t>(size) * size), B(A.size());
        for (int r = 0; r < size; ++r)
            for (int c = 0; c < size; ++c) {
                A[r * size + c] = K[r * m + c];
                B[r * size + c] = M[r * m + c];
            }
        std::vector<double> A2 = A, B2 = B, told;
        ASSERT_TRUE(SolveGeneralEigenLapack(A.data(), B.data(), size, keep,
                                            [&told](double f) { told.push_back(f); }));
        ASSERT_TRUE(SolveGeneralEigenLapackDriver(A2.data(), B2.data(), size));
        // Bit for bit: vectors, and the eigenvalues on the diagonal.
        EXPECT_EQ(0, std::memcmp(A.data(), A2.data(), A.size() * sizeof(double))) << size;
        for (int k = 0; k < size; ++k) EXPECT_EQ(B[k * size + k], B2[k * size + k]) << size;
        ASSERT_EQ(told.size(), 6u);
        EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
        EXPECT_NEAR(told.back(), 1.0, 1e-12);
    }
    // A stop asked for during a step ends the solution after it.
    std::vector<double> A = K, B = M;
    StopFlag stop{1};
    int steps = 0;
    EXPECT_FALSE(SolveGeneralEigenLapack(A.data(), B.data(), m, stop, [&](double) {
        if (++steps == 2) stop = 0;
    }));
    EXPECT_EQ(steps, 2);
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
        EXPECT_NEAR(low[k], all[k], 1e-10 * all[k]) << "mode " << k + 1;
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


// A fine mesh: the assembled stiffness of a 100 m beam in 3000 elements has rounded away enough
// of its elements' rigid-body motions to move the first frequency by 4e-4; the eigenvalues are
// those of the elements themselves, and where the rounding spoils the shapes the user is told.
TEST_F(LapackEigenTest, FineMeshFrequenciesAreThoseOfItsElements) {
    BeamData beam;
    beam.length = 100;
    struct Mesh {
        int elements;
        bool solved;
        const char* message;  // the last message, "" for none
        double tolerance;     // of the four lowest frequencies against the beam's
    };
    const Mesh meshes[] = {
        {3000, true, "", 1e-9},
        {10000, true, "警告：单元划分过细，舍入误差使低阶振型失准，频率的后几位可能不准，请加长单元!",
         5e-4},
        {33000, false, "单元划分过细，已超出双精度求解的精度，请加长单元!", 0},
    };
    for (const Mesh& mesh : meshes) {
        beam.elements = mesh.elements;
        frame.reset();
        host.messages.clear();
        frame = Load(BeamModel(beam), true);
        ASSERT_TRUE(frame) << LastMessage();
        frame->m_modeCount = 4;
        ASSERT_EQ(frame->NaturalVibration(), mesh.solved) << mesh.elements;
        EXPECT_EQ(LastMessage(), mesh.message) << mesh.elements;
        if (!mesh.solved) continue;
        const std::vector<double> omega = Omegas();
        for (int k = 0; k < 4; ++k) {
            const double exact = BeamOmega(beam, (k + 1) * M_PI);
            EXPECT_NEAR(omega[k], exact, mesh.tolerance * exact)
                << mesh.elements << " elements, mode " << k + 1;
        }
    }
}
