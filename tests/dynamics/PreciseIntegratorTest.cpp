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

TEST(PreciseIntegratorTest, OscillatorStepsAreExactForEitherMethod) {
    // m u'' + c u' + k u = f with m = 2, k = 50, c = 0.4, and a unit force constant over the
    // step (the end and start parts of the linear load summed) from rest.
    double M = 2, K = 50, C = 0.4;
    const double w = 5, zeta = 0.4 / (2 * 2 * w), wd = w * std::sqrt(1 - zeta * zeta);
    const double t = 0.3, e = std::exp(-zeta * w * t), c = std::cos(wd * t), s = std::sin(wd * t);
    const double exact[4] = {e * (c + zeta * w / wd * s), e * s / wd, -e * w * w / wd * s,
                             e * (c - zeta * w / wd * s)};
    const double step[2] = {(1 - exact[0]) / K, -exact[2] / K};
    double Mr = M;
    CPreciseIntegrator full(&Mr, &K, &C, 1, t);
    full.m_method = ResponseMethod::kFull;
    ASSERT_TRUE(full.Prepare());
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(full.Phi()[i], exact[i], 1e-13) << i;
    for (int i = 0; i < 2; ++i)
        EXPECT_NEAR(full.GammaEnd()[i] + full.GammaStart()[i], step[i], 1e-13) << i;
    const ModalStep mode = CPreciseIntegrator::MakeModalStep(K / M, C / M, t);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(mode.e[i / 2][i % 2], exact[i], 1e-13) << i;
    for (int i = 0; i < 2; ++i) EXPECT_NEAR(mode.gEnd[i] + mode.gStart[i], M * step[i], 1e-13);
}

TEST(PreciseIntegratorTest, ModalStepIsExactForStiffOverdampedAndRampLoads) {
    // Closed forms for q'' + c q' + lambda q = f from rest, by the roots r1, r2 of
    // r^2 + c r + lambda (real here: overdamped), for f = 1 and for the ramp f = u / h.
    auto check = [](double lambda, double c, double h) {
        const double disc = std::sqrt(c * c / 4 - lambda);
        const double r1 = -c / 2 + disc, r2 = -c / 2 - disc;
        const double e1 = std::exp(r1 * h), e2 = std::exp(r2 * h);
        // Unit step: q = 1/lambda + (r2 e1 - r1 e2) / (lambda (r1 - r2)).
        const double qs = 1 / lambda + (r2 * e1 - r1 * e2) / (lambda * (r1 - r2));
        const double vs = r1 * r2 * (e1 - e2) / (lambda * (r1 - r2));
        // Ramp u / h: q = (u - c / lambda) / (lambda h) + A e^(r1 u) + B e^(r2 u).
        const double A = (-1 / (lambda * h) - r2 * c / (lambda * lambda * h)) / (r1 - r2);
        const double B = c / (lambda * lambda * h) - A;
        const double qr = (h - c / lambda) / (lambda * h) + A * e1 + B * e2;
        const double vr = 1 / (lambda * h) + A * r1 * e1 + B * r2 * e2;
        const ModalStep st = CPreciseIntegrator::MakeModalStep(lambda, c, h);
        const double scale = std::fabs(qs) + std::fabs(vs) * h;
        EXPECT_NEAR(st.gEnd[0] + st.gStart[0], qs, 1e-11 * scale) << lambda << " " << c;
        EXPECT_NEAR(st.gEnd[1] + st.gStart[1], vs, 1e-11 * scale / h) << lambda << " " << c;
        EXPECT_NEAR(st.gEnd[0], qr, 1e-11 * scale) << lambda << " " << c;
        EXPECT_NEAR(st.gEnd[1], vr, 1e-11 * scale / h) << lambda << " " << c;
    };
    check(4.0, 10.0, 0.7);   // ordinary overdamped mode
    check(1e10, 1e6, 0.01);  // a stiff mode with stiffness-proportional damping, omega dt = 1e3
    check(0.5, 3.0, 0.05);   // a slow mode over a short step
    // Undamped and very stiff: the step stays a rotation to rounding (det 1, bounded).
    const double w = 3e4;
    const ModalStep st = CPreciseIntegrator::MakeModalStep(w * w, 0, 0.01);
    EXPECT_NEAR(st.e[0][0], std::cos(w * 0.01), 1e-9);
    EXPECT_NEAR(st.e[0][1] * w, std::sin(w * 0.01), 1e-9);
    EXPECT_NEAR(st.e[0][0] * st.e[1][1] - st.e[0][1] * st.e[1][0], 1.0, 1e-9);
}

TEST(PreciseIntegratorTest, BlasProductsEqualThePlainLoops) {
    const int m = 12;
    std::vector<double> M1 = SpdMatrix(m, 1, 10), K = SpdMatrix(m, 2, 1e5), C = SpdMatrix(m, 3, 1);
    std::vector<double> M2 = M1;
    CPreciseIntegrator fast(M1.data(), K.data(), C.data(), m, 0.01);
    CPreciseIntegrator plain(M2.data(), K.data(), C.data(), m, 0.01);
    fast.m_method = plain.m_method = ResponseMethod::kFull;
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
    EXPECT_TRUE(close(fast.GammaEnd(), plain.GammaEnd()));
    EXPECT_TRUE(close(fast.GammaStart(), plain.GammaStart()));
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
    pim.m_method = ResponseMethod::kFull;
    ASSERT_TRUE(pim.Prepare());
    std::vector<double> direct(H.size());
    ASSERT_TRUE(pim.MatrixExponential(H.data(), 0.004, direct.data()));
    double top = 0;
    for (double v : direct) top = std::max(top, std::fabs(v));
    for (size_t i = 0; i < H.size(); ++i) EXPECT_NEAR(pim.Phi()[i], direct[i], 1e-12 * top) << i;
}
