// The dynamic response by precise integration against exact modal solutions.
#include <cmath>

#include "DynamicsModels.h"
#include "DynamicsRun.h"
#include "dynamics/PreciseIntegrator.h"

namespace {

class DynamicResponseTest : public ScratchDirTest {
protected:
    // A cantilever of one element whose tip deflection is its only free equation (number 4):
    // stiffness 12 E I / L^3, consistent mass 156 m L / 420.
    void SingleMode() {
        BeamData b;
        b.elements = 1;
        b.length = 2;
        b.leftCode = "111";
        b.rightCode = "101";
        frame = Load(BeamModel(b), true, "single");
        ASSERT_TRUE(frame) << LastMessage();
        k = 12 * b.E * b.I / (b.length * b.length * b.length);
        mass = 156 * 1000 * b.length / 420;
        omega = std::sqrt(k / mass);
    }
    void Run(const std::string& loadText, bool expectOk = true) {
        WriteFile(kDynamicLoadFile, loadText);
        EXPECT_EQ(frame->DynamicResponse(), expectOk) << LastMessage();
    }
    std::unique_ptr<CPlaneFrame> frame;
    double k = 0, mass = 0, omega = 0;
};

}  // namespace

TEST_F(DynamicResponseTest, RecordCountsFollowTheDurationAndStep) {
    EXPECT_EQ(CPreciseIntegrator::RecordCount(0.5, 0.5), 2);
    EXPECT_EQ(CPreciseIntegrator::RecordCount(1.25, 0.125), 11);
    EXPECT_EQ(CPreciseIntegrator::RecordCount(1.3125, 0.125), 12);
    SingleMode();
    Run("0 0\n1.3125 0.125\n0 0 0\n0\n");
    const auto rec = ReadResponse(*frame);
    ASSERT_EQ(rec.size(), 12u);
    EXPECT_EQ(rec.back().t, 11 * 0.125);
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(frame->ResponsePath(), bytes));
    EXPECT_EQ(bytes.size(), 12u * (16 * 6 + 8));
    // No loads and no initial state: everything stays zero.
    for (const auto& r : rec)
        for (int e = 0; e < 6; ++e) EXPECT_EQ(r.d[e], 0.0);
}

TEST_F(DynamicResponseTest, UndampedFreeVibrationIsExactAndKeepsItsEnergy) {
    SingleMode();
    const double u0 = 0.01, v0 = -0.3, dt = 0.37 / omega;
    Run(FormatString("0 0\n%.17g %.17g\n0 0 0\n1\n2 2 %.17g %.17g\n", 2000 * dt, dt, u0, v0));
    const auto rec = ReadResponse(*frame);
    ASSERT_EQ(rec.size(), 2001u);
    EXPECT_EQ(rec[0].t, 0.0);
    EXPECT_EQ(rec[0].d[4], u0);
    EXPECT_EQ(rec[0].v[4], v0);
    const double energy0 = 0.5 * (k * u0 * u0 + mass * v0 * v0);
    for (const auto& r : rec) {
        const double wt = omega * r.t;
        const double exact = u0 * std::cos(wt) + v0 / omega * std::sin(wt);
        EXPECT_NEAR(r.d[4], exact, 1e-9 * std::fabs(u0)) << r.t;
        const double energy = 0.5 * (k * r.d[4] * r.d[4] + mass * r.v[4] * r.v[4]);
        EXPECT_NEAR(energy, energy0, 1e-9 * energy0) << r.t;
        for (int e : {0, 1, 2, 3, 5}) EXPECT_EQ(r.d[e], 0.0);
    }
}

TEST_F(DynamicResponseTest, RayleighDampingDecaysLikeTheDampedOscillator) {
    SingleMode();
    const double zeta = 0.04, alpha = zeta * omega, beta = zeta / omega;  // zeta = a/2w + bw/2
    const double u0 = 0.02, dt = 0.2 / omega;
    Run(FormatString("%.17g %.17g\n%.17g %.17g\n0 0 0\n1\n2 2 %.17g 0\n", alpha, beta, 300 * dt, dt,
                     u0));
    const auto rec = ReadResponse(*frame);
    ASSERT_EQ(rec.size(), 301u);
    const double wd = omega * std::sqrt(1 - zeta * zeta);
    for (const auto& r : rec) {
        const double exact =
            u0 * std::exp(-zeta * omega * r.t) *
            (std::cos(wd * r.t) + zeta / std::sqrt(1 - zeta * zeta) * std::sin(wd * r.t));
        EXPECT_NEAR(r.d[4], exact, 1e-9 * u0) << r.t;
    }
    EXPECT_LT(std::fabs(rec.back().d[4]), u0 * std::exp(-zeta * omega * rec.back().t) * 1.1);
}

TEST_F(DynamicResponseTest, EnergyOfAFrameIsKeptWithoutDampingAndLostWithIt) {
    BeamData b;
    b.elements = 5;
    b.angle = 0.25;
    frame = Load(BeamModel(b), true, "frame");
    ASSERT_TRUE(frame);
    auto energies = [&](const std::string& damping) {
        Run(damping + "\n0.3 0.001\n0 0 0\n2\n3 2 0.001 0.5\n4 3 0 -0.2\n");
        std::vector<double> out;
        for (const auto& r : ReadResponse(*frame))
            out.push_back(
                0.5 * (LowerForm(frame->m_fullK, r.d, r.d) + LowerForm(frame->m_fullM, r.v, r.v)));
        return out;
    };
    const auto kept = energies("0 0");
    ASSERT_EQ(kept.size(), 301u);
    for (double e : kept) EXPECT_NEAR(e, kept[0], 1e-8 * kept[0]);
    const auto lost = energies("0.5 1e-4");
    ASSERT_EQ(lost.size(), 301u);
    EXPECT_EQ(lost[0], kept[0]);
    for (size_t i = 1; i < lost.size(); ++i) EXPECT_LE(lost[i], lost[i - 1] * (1 + 1e-12));
    EXPECT_LT(lost.back(), 0.8 * lost[0]);
}

TEST_F(DynamicResponseTest, SupportsStayAtRestAndPrescribedMotionsAreFollowed) {
    BeamData b;
    b.elements = 4;
    frame = Load(BeamModel(b), true, "pres");
    ASSERT_TRUE(frame);
    // Right support (equation 13, y of node 5) moves harmonically; node 3 x (equation 6, free
    // in the model) is held at a constant step.
    Run("0.1 0\n0.2 0.01\n0 0 2\n5 2 0.003 1 40 0.5\n3 1 0.001 0\n0\n");
    const auto rec = ReadResponse(*frame);
    ASSERT_EQ(rec.size(), 21u);
    for (const auto& r : rec) {
        const double d = 0.003 * std::sin(40 * r.t + 0.5);
        const double v = 40 * 0.003 * std::cos(40 * r.t + 0.5);
        EXPECT_EQ(r.d[13], d);
        EXPECT_EQ(r.v[13], v);
        EXPECT_EQ(r.d[6], 0.001);
        EXPECT_EQ(r.v[6], 0.0);
        EXPECT_EQ(r.d[0], 0.0);  // left support x, y
        EXPECT_EQ(r.d[1], 0.0);
        EXPECT_EQ(r.v[1], 0.0);
    }
    EXPECT_NE(rec.back().d[7], 0.0);  // the span follows the support
    // The model itself keeps its free set.
    EXPECT_EQ(frame->m_dofStatus[6], 0);
    EXPECT_EQ(frame->m_dofStatus[13], 1);
}

TEST_F(DynamicResponseTest, HarmonicLoadReachesTheSteadyStateAmplitude) {
    SingleMode();
    const double zeta = 0.05, r = 0.8, P = 1000;
    const double Omega = r * omega, period = 2 * 3.141592653589793 / Omega;
    const double dt = period / 400, T = 20 / (zeta * omega);
    Run(FormatString("%.17g 0\n%.17g %.17g\n0 1 0\n2 2 %.17g 1 %.17g 0 0\n0\n", 2 * zeta * omega, T,
                     dt, P, Omega));
    const auto rec = ReadResponse(*frame);
    ASSERT_GT(rec.size(), 800u);
    double peak = 0;
    for (size_t i = rec.size() - 800; i < rec.size(); ++i)
        peak = std::max(peak, std::fabs(rec[i].d[4]));
    const double exact =
        P / k / std::sqrt((1 - r * r) * (1 - r * r) + (2 * zeta * r) * (2 * zeta * r));
    EXPECT_NEAR(peak, exact, 2e-4 * exact);
}

TEST_F(DynamicResponseTest, TwoRunsWriteIdenticalFiles) {
    BeamData b;
    b.elements = 6;
    b.loadingPath = true;
    frame = Load(BeamModel(b), true, "twice");
    ASSERT_TRUE(frame);
    const std::string load =
        "0.3 0.0002\n0.5 0.01\n1 1 1\n0 25 -1e5 1 30 0 0.05\n4 2 -5000 0 0 0 0.1\n7 2 0.001 1 "
        "20 0\n1\n3 2 0.0001 0\n";
    Run(load);
    const std::string first = ReadFile("twice.tim");
    Run(load);
    EXPECT_EQ(ReadFile("twice.tim"), first);
    EXPECT_EQ(first.size(), 51u * (16 * 21 + 8));
}

TEST_F(DynamicResponseTest, ModalResultsSurviveAResponseRun) {
    SingleMode();
    ASSERT_TRUE(frame->NaturalVibration());
    const auto omega0 = frame->m_omega;
    const auto shapes = frame->m_modeShapes;
    Run("0.5 0.1\n0.01 0.001\n0 0 1\n2 1 0.1 0 0 0\n0\n");
    EXPECT_EQ(frame->m_omega, omega0);
    EXPECT_EQ(frame->m_modeShapes, shapes);
}

TEST_F(DynamicResponseTest, SuddenLoadGivesTheExactDisplacementAndVelocity) {
    SingleMode();
    const double P = 2000, dt = 0.3 / omega;
    Run(FormatString("0 0\n%.17g %.17g\n0 1 0\n2 2 %.17g 0 0 0 0\n0\n", 200 * dt, dt, P));
    const auto rec = ReadResponse(*frame);
    ASSERT_EQ(rec.size(), 201u);
    for (const auto& r : rec) {
        if (r.t == 0) continue;
        // Simpson's rule over a step of 0.3 / omega errs by about (0.3)^4 / 2880.
        EXPECT_NEAR(r.d[4], P / k * (1 - std::cos(omega * r.t)), 1e-5 * P / k) << r.t;
        EXPECT_NEAR(r.v[4], P / k * omega * std::sin(omega * r.t), 1e-5 * P / k * omega) << r.t;
    }
    // A sudden settlement D of the clamped end: the beam follows as a rigid body on average,
    // u = D (1 - cos wt) at the tip.
    const double D = 0.002;
    Run(FormatString("0 0\n%.17g %.17g\n0 0 1\n1 2 %.17g 0 0 0\n0\n", 200 * dt, dt, D));
    const auto moved = ReadResponse(*frame);
    ASSERT_EQ(moved.size(), 201u);
    for (const auto& r : moved) {
        EXPECT_EQ(r.d[1], D);
        if (r.t == 0) continue;
        EXPECT_NEAR(r.d[4], D * (1 - std::cos(omega * r.t)), 1e-5 * D) << r.t;
        EXPECT_NEAR(r.v[4], D * omega * std::sin(omega * r.t), 1e-5 * D * omega) << r.t;
    }
}

TEST_F(DynamicResponseTest, NoFreeEquationLeftOnlyPrescribedMotion) {
    SingleMode();
    Run("0 0\n0.02 0.01\n0 0 1\n2 2 0.001 1 50 0\n0\n");
    const auto rec = ReadResponse(*frame);
    ASSERT_EQ(rec.size(), 3u);
    for (const auto& r : rec) {
        EXPECT_EQ(r.d[4], 0.001 * std::sin(50 * r.t));
        EXPECT_EQ(r.v[4], 50 * 0.001 * std::cos(50 * r.t));
    }
    EXPECT_TRUE(host.messages.empty());
}
