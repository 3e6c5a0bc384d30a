// The integrator's inverse, transition matrices and BLAS products against closed forms and
// the plain loops.
#include <cmath>
#include <random>

#include "TestSupport.h"
#include "dynamics/PreciseIntegrator.h"

namespace {

// A symmetric positive definite matrix, diagonally dominant.
std::vector<double> SpdMatrix(int m, unsigned seed, double scale) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    std::vector<double> A(static_cast<size_t>(m) * m);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j <= i; ++j) A[i * m + j] = A[j * m + i] = i == j ? m + u(gen) : u(gen);
    for (double& a : A) a *= scale;
    return A;
}

}  // namespace

TEST(PreciseIntegratorTest, CyclicInverseTimesTheMatrixIsTheIdentity) {
    for (int m : {1, 2, 5, 40}) {
        const std::vector<double> M = SpdMatrix(m, 3u + m, 0.01);
        std::vector<double> inv = M;
        ASSERT_TRUE(CPreciseIntegrator::InvertSymmetric(inv.data(), m));
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < m; ++j) {
                double s = 0;
                for (int k = 0; k < m; ++k) s += inv[i * m + k] * M[k * m + j];
                EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-12) << m << ": " << i << "," << j;
            }
    }
    std::vector<double> tiny = {1e-17};
    EXPECT_FALSE(CPreciseIntegrator::InvertSymmetric(tiny.data(), 1));
}

TEST(PreciseIntegratorTest, TransitionMatrixOfAnOscillatorIsExact) {
    // m u'' + c u' + k u = 0 with m = 2, k = 50, c = 0.4.
    double M = 2, K = 50, C = 0.4;
    CPreciseIntegrator pim(&M, &K, &C, 1, 0.3);
    ASSERT_TRUE(pim.Prepare());
    const double w = 5, zeta = 0.4 / (2 * 2 * w), wd = w * std::sqrt(1 - zeta * zeta);
    const double t = 0.3, e = std::exp(-zeta * w * t), c = std::cos(wd * t), s = std::sin(wd * t);
    const double exact[4] = {e * (c + zeta * w / wd * s), e * s / wd, -e * w * w / wd * s,
                             e * (c - zeta * w / wd * s)};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(pim.Phi()[i], exact[i], 1e-13) << i;
    // Phi B: the response to a unit impulse of force, B = [0; 1/m].
    EXPECT_NEAR(pim.PhiB()[0], exact[1] / 2, 1e-13);
    EXPECT_NEAR(pim.PhiB()[1], exact[3] / 2, 1e-13);
}

TEST(PreciseIntegratorTest, BlasProductsEqualThePlainLoops) {
    const int m = 12;
    std::vector<double> M1 = SpdMatrix(m, 1, 10), K = SpdMatrix(m, 2, 1e5), C = SpdMatrix(m, 3, 1);
    std::vector<double> M2 = M1;
    CPreciseIntegrator fast(M1.data(), K.data(), C.data(), m, 0.01);
    CPreciseIntegrator plain(M2.data(), K.data(), C.data(), m, 0.01);
    plain.m_plainProducts = true;
    ASSERT_TRUE(fast.Prepare());
    ASSERT_TRUE(plain.Prepare());
    EXPECT_EQ(M1, M2);  // the inverse does not use BLAS
    auto close = [](const std::vector<double>& a, const std::vector<double>& b) {
        double top = 0, diff = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            top = std::max(top, std::fabs(b[i]));
            diff = std::max(diff, std::fabs(a[i] - b[i]));
        }
        return diff <= 1e-12 * top;
    };
    EXPECT_TRUE(close(fast.Phi(), plain.Phi()));
    EXPECT_TRUE(close(fast.PhiB(), plain.PhiB()));
    EXPECT_TRUE(close(fast.PhiHalfB(), plain.PhiHalfB()));
}

TEST(PreciseIntegratorTest, FullStepByDoublingEqualsTheDirectExponential) {
    const int m = 6, s = 2 * m;
    std::vector<double> M = SpdMatrix(m, 4, 3), K = SpdMatrix(m, 5, 1e6), C = SpdMatrix(m, 6, 2);
    std::vector<double> minv = M;
    ASSERT_TRUE(CPreciseIntegrator::InvertSymmetric(minv.data(), m));
    std::vector<double> H(static_cast<size_t>(s) * s, 0.0);
    for (int i = 0; i < m; ++i) {
        H[i * s + m + i] = 1;
        for (int j = 0; j < m; ++j)
            for (int k = 0; k < m; ++k) {
                H[(m + i) * s + j] -= minv[i * m + k] * K[k * m + j];
                H[(m + i) * s + m + j] -= minv[i * m + k] * C[k * m + j];
            }
    }
    CPreciseIntegrator pim(M.data(), K.data(), C.data(), m, 0.004);
    ASSERT_TRUE(pim.Prepare());
    std::vector<double> direct(H.size());
    ASSERT_TRUE(pim.MatrixExponential(H.data(), 0.004, direct.data()));
    double top = 0;
    for (double v : direct) top = std::max(top, std::fabs(v));
    for (size_t i = 0; i < H.size(); ++i) EXPECT_NEAR(pim.Phi()[i], direct[i], 1e-12 * top) << i;
}
