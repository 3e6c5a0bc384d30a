// Equivalent nodal loads of every element-load type against closed-form fixed-end forces.
#include <cmath>

#include "TestSupport.h"

namespace {

// One horizontal element of length 4 (or vertical when asked), E = 2e11, A = 0.02,
// I = 1e-4 (h = sqrt(12 I / A)), alpha = 1.2e-5, unit weight 78500; loads appended as
// element-load lines of case 1.
std::string OneElement(const std::string& loadLines, int count, bool vertical = false) {
    return std::string("2 1 0 1 1 1 1 0\n1 0 0\n") + (vertical ? "2 0 4\n" : "2 4 0\n") +
           "1 2e11 1.2e-5\n1 0.02 1e-4 78500 0 0.1 0.1\n1 1 2 1 1 1\n1 111\n0\n" +
           std::to_string(count) + "\n" + loadLines;
}

class ElementLoadTest : public ScratchDirTest {
protected:
    EndForceSet Equivalent(const std::string& loadLine, bool vertical = false) {
        frame = Load(OneElement(loadLine + "\n", 1, vertical), false);
        EXPECT_TRUE(frame) << LastMessage();
        if (!frame) return {};
        EXPECT_EQ(frame->m_elemLoads[0].size(), 1u);
        return frame->EquivalentLoads(frame->m_elemLoads[0][0], frame->m_elements[0].length);
    }
    std::unique_ptr<CPlaneFrame> frame;
};

void ExpectForces(const EndForceSet& f, const EndForceSet& expected, double tol = 1e-9) {
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(f[k], expected[k], tol) << "component " << k;
}

}  // namespace

TEST_F(ElementLoadTest, ConcentratedLoads) {
    const double L = 4, Y = -10;
    // Transverse load at mid-span.
    ExpectForces(Equivalent("1 1 1 2 0 -10 0"), {0, Y / 2, Y * L / 8, 0, Y / 2, -Y * L / 8});
    // At a quarter: Mi = P a b^2 / L^2, Yi = P b^2 (3a + b) / L^3.
    const double a = 1, b = 3;
    ExpectForces(Equivalent("1 1 1 1 6 -10 0"),
                 {6 * 0.75, Y * b * b * (3 * a + b) / 64, Y * a * b * b / 16, 6 * 0.25,
                  Y * a * a * (a + 3 * b) / 64, -Y * a * a * b / 16});
    // Beyond the end: clamped to the j node, everything goes there.
    ExpectForces(Equivalent("1 1 1 9 5 -10 3"), {0, 0, 0, 5, -10, 3});
    // A couple C at mid-span: Yi = -3C/(2L), Mi = -C/4.
    ExpectForces(Equivalent("1 1 1 2 0 0 8"), {0, -3.0, -2.0, 0, 3.0, -2.0});
    // Global components on a vertical element: (0, -10) is an axial load X = -10.
    Equivalent("1 1 2 2 0 -10 0", true);
    ASSERT_TRUE(frame);
    const ElementLoad& r = frame->m_elemLoads[0][0];
    EXPECT_EQ(r.type, 1);
    EXPECT_NEAR(r.d2, -10, 1e-12);
    EXPECT_NEAR(r.d3, 0, 1e-12);
}

TEST_F(ElementLoadTest, UniformAndLinearLoads) {
    const double L = 4, q = -3;
    ExpectForces(Equivalent("1 1 3 4 0 -3 0"),
                 {0, q * L / 2, q * L * L / 12, 0, q * L / 2, -q * L * L / 12});
    // Uniform load on the first half of the span.
    ExpectForces(Equivalent("1 1 3 2 0 -3 0"), {0, 13 * q * L / 32, 11 * q * L * L / 192, 0,
                                                3 * q * L / 32, -5 * q * L * L / 192});
    // Axial uniform load: half to each end.
    ExpectForces(Equivalent("1 1 3 4 2 0 0"), {4, 0, 0, 4, 0, 0});
    // Distributed moment m over the whole length: only a shear couple.
    ExpectForces(Equivalent("1 1 3 4 0 0 5"), {0, -5, 0, 0, 5, 0});
    // Triangular load from 0 at i to q at j: 3qL/20, qL^2/30, 7qL/20, -qL^2/20.
    ExpectForces(Equivalent("1 1 5 4 0 0 0 0 -3 0"),
                 {0, 3 * q * L / 20, q * L * L / 30, 0, 7 * q * L / 20, -q * L * L / 20});
    // Global uniform load on a vertical element turns into an axial one (type 4 -> 3).
    ExpectForces(Equivalent("1 1 4 4 0 -3", true), {-6, 0, 0, -6, 0, 0});
    // A linear load with equal ends is the uniform load (type 6 -> 5).
    ExpectForces(Equivalent("1 1 6 4 0 -3 0 0 -3 0"),
                 {0, q * L / 2, q * L * L / 12, 0, q * L / 2, -q * L * L / 12});
}

TEST_F(ElementLoadTest, SelfWeightOfAUniformElement) {
    const double w = 78500 * 0.02, L = 4;
    ExpectForces(Equivalent("1 1 0"),
                 {0, -w * L / 2, -w * L * L / 12, 0, -w * L / 2, w * L * L / 12}, 1e-7);
    // On a vertical element the weight acts along the axis: -w L / 2 at each end along x.
    ExpectForces(Equivalent("1 1 0", true), {-w * L / 2, 0, 0, -w * L / 2, 0, 0}, 1e-7);
}

TEST_F(ElementLoadTest, TemperatureOfAUniformElement) {
    const double E = 2e11, A = 0.02, I = 1e-4, alpha = 1.2e-5, h = std::sqrt(12 * I / A);
    ExpectForces(Equivalent("1 1 7 15 15"), {-alpha * E * A * 15, 0, 0, alpha * E * A * 15, 0, 0},
                 1e-6);
    const double Mi = alpha * E * I * 20 / h;
    ExpectForces(Equivalent("1 1 7 10 -10"), {0, 0, Mi, 0, 0, -Mi}, 1e-6);
}

// A rectangle of constant width tapering in depth: the restrained axial force under a
// uniform temperature change is alpha E t (Aj - Ai) / ln(Aj / Ai).
TEST_F(ElementLoadTest, TemperatureOfATaperedRectangleGivesTheExactAxialForce) {
    const std::string model =
        "2 1 0 1 2 1 2 0\n1 0 0\n2 6 0\n1 3e10 1e-5\n"
        "1 0.4 0.0053333333333333333 0 0 0.4 0.4\n"  // 0.5 x 0.8
        "2 0.6 0.018 0 0 0.6 0.6\n"                  // 0.5 x 1.2
        "1 1 2 1 2 1\n1 111\n2 111\n0\n1\n1 1 7 20 20\n";
    auto f = Load(model, true);
    ASSERT_TRUE(f) << LastMessage();
    const double N = 1e-5 * 3e10 * 20 * (0.6 - 0.4) / std::log(0.6 / 0.4);
    const EndForceSet ef = f->EndForces(0, 0);
    EXPECT_NEAR(ef[0], N, 1e-9 * N);  // the nodes push on a member that wants to grow
    EXPECT_NEAR(ef[3], -N, 1e-9 * N);
    double n, q, m;
    f->ForcesAt(0, 0, 3.0, ef, n, q, m);
    EXPECT_NEAR(n, -N, 1e-9 * N);  // compression
}

// The taper factors tend to 1 as the end sections approach each other, so the switch to the
// uniform factors at the tolerance is not a visible step.
TEST_F(ElementLoadTest, TemperatureTaperFactorsAreContinuousNearUniform) {
    auto moments = [&](double Ij) {
        const std::string model =
            "2 1 0 1 2 1 2 0\n1 0 0\n2 6 0\n1 3e10 1e-5\n1 0.4 0.01 0 0 0.5 0.5\n"
            "2 0.4 " +
            std::to_string(Ij) +
            " 0 0 0.5 0.5\n1 1 2 1 2 1\n1 111\n2 111\n0\n1\n"
            "1 1 7 10 -10\n";
        auto f = Load(model, false);
        EXPECT_TRUE(f);
        return f ? f->EquivalentLoads(f->m_elemLoads[0][0], 6.0) : EndForceSet{};
    };
    const EndForceSet uniform = moments(0.01);
    const EndForceSet inside = moments(0.01 * 1.0019);   // w just inside the tolerance
    const EndForceSet outside = moments(0.01 * 1.0021);  // just outside
    for (int k : {2, 5}) {
        EXPECT_NEAR(inside[k] / uniform[k], 1, 2e-3);
        EXPECT_NEAR(outside[k] / inside[k], 1, 2e-3);
    }
}

TEST_F(ElementLoadTest, TemperatureOfAMemberWithoutBendingStiffness) {
    // A hanger (I = 0) held at both ends and warmed by 25 and 15 degrees on its faces: it
    // has no depth and takes no moment, only the axial force of the mean temperature.
    auto f = Load(
        "2 1 0 1 1 1 2 0\n1 0 0\n2 0 6\n1 2e11 1.2e-5\n1 0.005 0 78500 0 0 0\n1 1 2 1 1 1\n"
        "1 111\n2 111\n0\n1\n1 1 7 25 15\n",
        true);
    ASSERT_TRUE(f) << LastMessage();
    const double N = -1.2e-5 * 2e11 * 0.005 * 20;
    for (double x : {0.0, 3.0, 6.0}) {
        double v[3];
        f->ForcesAt(0, 0, x, f->EndForces(0, 0), v[0], v[1], v[2]);
        EXPECT_NEAR(v[0], N, 1e-9 * std::fabs(N)) << x;
        EXPECT_EQ(v[1], 0) << x;
        EXPECT_EQ(v[2], 0) << x;
    }
    f.reset();
    const std::string out = ReadFile("m.out") + ReadFile("m_工况_1.out");
    EXPECT_EQ(out.find("nan"), std::string::npos);
    EXPECT_EQ(out.find("NaN"), std::string::npos);
}
