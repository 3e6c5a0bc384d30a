// Fine meshes: iterative refinement against the closed form, the equilibrium check, and the
// message when a mesh is finer than double precision can solve.
#include <cmath>

#include "TestSupport.h"
#include "engine/SolutionCheck.h"
#include "platform/Format.h"

namespace {

// A simply supported beam of 100 m in n equal elements under its self-weight
// (w = 25 kN/m^3 x 0.5 m^2 = 12.5 kN/m, E I = 3.45e10 x 0.2).
std::string FineBeam(int n) {
    return FormatString(
        "%d %d 0 1 1 1 2 0\n1 0 0 0 0\n%d 100 0 0 1\n1 3.45e10\n1 0.5 0.2 25000 0 0.5 0.5\n"
        "1 1 2 1 1 1 0\n%d %d %d 1 1 1 1\n1 110\n%d 010\n0\n1\n1 1 0 0 0 0 0\n",
        n + 1, n, n + 1, n, n, n + 1, n + 1);
}

constexpr double kW = 12500, kL = 100, kEI = 3.45e10 * 0.2;

class SolutionAccuracyTest : public ScratchDirTest {};

}  // namespace

TEST_F(SolutionAccuracyTest, FineBeamsMeetTheClosedForm) {
    // Mid-span deflection 5 w L^4 / (384 E I); the nodal values of the element are exact.
    const double exact = -5 * kW * kL * kL * kL * kL / (384 * kEI);
    for (const auto& [n, tolerance] : {std::pair{6000, 1e-6}, std::pair{10000, 1e-4}}) {
        auto f = Load(FineBeam(n), true, "beam" + std::to_string(n));
        ASSERT_TRUE(f) << LastMessage();
        const double mid = f->m_disp[f->m_dofNum[n / 2][1]];
        EXPECT_NEAR(mid / exact, 1, tolerance) << n << " elements";
        // The reactions carry the whole weight; no warning.
        EXPECT_TRUE(host.messages.empty()) << LastMessage();
        EXPECT_EQ(ReadFile("beam" + std::to_string(n) + ".out").find("警告"), std::string::npos);
    }
}

TEST_F(SolutionAccuracyTest, AMeshTooFineForDoublePrecisionIsNamedAsSuch) {
    auto f = Load(FineBeam(100000), false, "finest");
    ASSERT_TRUE(f) << LastMessage();
    EXPECT_FALSE(f->Solve());
    ASSERT_FALSE(host.messages.empty());
    EXPECT_NE(LastMessage().find("单元划分过细"), std::string::npos) << LastMessage();
    EXPECT_EQ(LastMessage().find("检查刚体约束"), std::string::npos) << LastMessage();
    // A real mechanism is still blamed on the supports.
    host.messages.clear();
    auto m = Load("3 2 0 1 1 0 3 0\n1 0 0\n2 5 0\n3 10 0\n1 2e11\n1 0.02 1e-4 0 0 0.1 0.1\n"
                  "1 1 2 1 1 1\n2 2 3 1 1 1\n1 010\n2 010\n3 010\n",
                  false, "mechanism");
    ASSERT_TRUE(m) << LastMessage();
    EXPECT_FALSE(m->Solve());
    EXPECT_NE(LastMessage().find("检查刚体约束"), std::string::npos) << LastMessage();
}

TEST_F(SolutionAccuracyTest, EquilibriumCheckNamesTheCaseThatFails) {
    auto f = Load(FineBeam(10), true, "small");
    ASSERT_TRUE(f) << LastMessage();
    EXPECT_LT(CheckEquilibrium(*f), 1e-9);
    EXPECT_TRUE(host.messages.empty());
    // Displacements 1 % too large: the reactions they give carry 1 % more than the weight.
    for (double& u : f->m_disp) u *= 1.01;
    EXPECT_GT(CheckEquilibrium(*f), 1e-6);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("工况1"), std::string::npos) << host.messages[0];
}
