// The fast eigen-solution against the plain loops it replaces.
#include <cmath>
#include <cstring>
#include <random>

#include "DynamicsModels.h"
#include "TestSupport.h"
#include "dynamics/EigenSolver.h"

namespace {

class EigenSolverTest : public ScratchDirTest {
protected:
    // Reduced stiffness and mass (lower triangles) of a solved beam model.
    bool Reduced(const BeamData& b, std::vector<double>& K, std::vector<double>& M, int& m,
                 int& band) {
        frame.reset();  // its destructor removes the B.stf of the same name
        frame = Load(BeamModel(b), true);
        if (!frame || !frame->BuildDynamicMatrices()) return false;
        std::vector<int> free;
        for (int i = 0; i < frame->m_nDof; ++i)
            if (frame->m_dofStatus[i] == 0) free.push_back(i);
        m = static_cast<int>(free.size());
        band = std::min(frame->m_nBand, m - 1);
        const size_t n = static_cast<size_t>(frame->m_nDof), M_ = static_cast<size_t>(m);
        K.assign(M_ * M_, 0.0);
        M.assign(M_ * M_, 0.0);
        for (size_t r = 0; r < M_; ++r)
            for (size_t c = 0; c <= r; ++c) {
                K[r * M_ + c] = frame->m_fullK[free[r] * n + free[c]];
                M[r * M_ + c] = frame->m_fullM[free[r] * n + free[c]];
            }
        return true;
    }
    std::unique_ptr<CPlaneFrame> frame;
    StopFlag keep{1};
};

// Symmetric matrix with random entries; ties when asked (every off-diagonal 1 or -1).
std::vector<double> RandomSymmetric(int m, unsigned seed, bool ties) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<double> S(static_cast<size_t>(m) * m, 0.0);
    for (int r = 0; r < m; ++r)
        for (int c = 0; c <= r; ++c)
            S[r * m + c] = r == c ? 10 * u(gen) : ties ? (u(gen) < 0 ? -1.0 : 1.0) : u(gen);
    return S;
}

std::vector<double> Identity(int m) {
    std::vector<double> Q(static_cast<size_t>(m) * m, 0.0);
    for (int i = 0; i < m; ++i) Q[i * m + i] = 1;
    return Q;
}

}  // namespace

TEST_F(EigenSolverTest, JacobiWithRowMaximaIsBitIdenticalToTheFullScan) {
    for (int m : {1, 2, 3, 17, 60})
        for (bool ties : {false, true}) {
            std::vector<double> S1 = RandomSymmetric(m, 7u + m, ties), S2 = S1;
            std::vector<double> Q1 = Identity(m), Q2 = Q1;
            ASSERT_TRUE(JacobiDiagonalize(S1.data(), Q1.data(), m, keep));
            ASSERT_TRUE(JacobiDiagonalizeFullScan(S2.data(), Q2.data(), m, keep));
            for (int r = 0; r < m; ++r)
                for (int c = 0; c <= r; ++c)
                    ASSERT_EQ(std::memcmp(&S1[r * m + c], &S2[r * m + c], 8), 0)
                        << "m " << m << " ties " << ties << " S(" << r << "," << c << ")";
            ASSERT_EQ(std::memcmp(Q1.data(), Q2.data(), 8 * Q1.size()), 0) << "m " << m;
        }
}

TEST_F(EigenSolverTest, FastSolutionEqualsThePlainOneOnFrames) {
    for (int elements : {3, 10, 16}) {
        BeamData b;
        b.elements = elements;
        b.angle = 0.2;
        std::vector<double> K, M;
        int m = 0, band = 0;
        ASSERT_TRUE(Reduced(b, K, M, m, band));
        std::vector<double> K2 = K, M2 = M;
        frame->m_eigenMethod = EigenMethod::kJacobi;
        ASSERT_TRUE(frame->SolveGeneralEigen(K.data(), M.data(), m));
        ASSERT_TRUE(SolveGeneralEigenPlain(K2.data(), M2.data(), m, band, keep));
        double top = 0;
        for (int i = 0; i < m; ++i) top = std::max(top, M2[i * m + i]);
        for (int i = 0; i < m; ++i) {
            // The standard form rounds at about 1e-11 of the largest eigenvalue, and the two
            // transformations sum in different orders.
            EXPECT_NEAR(M[i * m + i], M2[i * m + i], 1e-10 * top) << elements << " mode " << i;
        }
    }
}
