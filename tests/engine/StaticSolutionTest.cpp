// The static solution against closed-form results, equilibrium and the solver's own rules.
#include <cmath>
#include <random>
#include <sstream>

#include "TestSupport.h"
#include "platform/Format.h"
#include "platform/TextFile.h"

namespace {

constexpr double E = 2e11, A = 0.01, I = 1e-4;

// A horizontal beam of n equal elements over length L, E/A/I as above, no self-weight.
// supports: lines "node code dx dy drot"; loads: the load block after the supports.
std::string Beam(int n, double L, const std::string& supports, int nSupports, int nCases,
                 const std::string& loads) {
    std::ostringstream s;
    s << n + 1 << " " << n << " 0 1 1 " << nCases << " " << nSupports << " 0\n";
    s << "1 0 0 0 0\n" << n + 1 << " " << L << " 0 0 1\n";
    s << "1 2e11\n1 0.01 1e-4 0 0 0.1 0.1\n";
    s << "1 1 2 1 1 1 0\n";
    if (n > 1) s << n << " " << n << " " << n + 1 << " 1 1 1 1\n";
    s << supports << loads;
    return s.str();
}

// Reactions parsed back from the result file: for each support line, per case, (Rx, Ry, M).
std::vector<std::vector<std::array<double, 3>>> Reactions(const std::string& out, int nCases) {
    std::vector<std::vector<std::array<double, 3>>> r;
    size_t at = out.find("各工况的约束反力:");
    if (at == std::string::npos) return r;
    while ((at = out.find("节点:", at)) != std::string::npos) {
        std::vector<std::array<double, 3>> cases;
        size_t pos = at;
        for (int k = 0; k < nCases; ++k) {
            pos = out.find("工况:", pos);
            std::istringstream line(out.substr(pos + std::string("工况:").size(), 80));
            int kk;
            std::array<double, 3> v{};
            line >> kk >> v[0] >> v[1] >> v[2];
            cases.push_back(v);
            pos += 1;
        }
        r.push_back(cases);
        at = pos;
    }
    return r;
}

class StaticSolutionTest : public ScratchDirTest {
protected:
    double Disp(const CPlaneFrame& f, int lc, int node, int dir) const {
        return f.m_disp[static_cast<size_t>(lc) * f.m_nDof + f.m_dofNum[node][dir]];
    }
};

}  // namespace

TEST_F(StaticSolutionTest, CantileverTipDeflectionAndRotation) {
    const double L = 3, P = 1000;
    for (int n : {1, 4}) {
        auto f = Load(
            Beam(n, L, "1 111\n", 1, 1, "1\n" + std::to_string(n + 1) + " 1 0 -1000 0\n0\n"), true);
        ASSERT_TRUE(f) << LastMessage();
        EXPECT_NEAR(Disp(*f, 0, n, 1), -P * L * L * L / (3 * E * I), 1e-15);
        EXPECT_NEAR(Disp(*f, 0, n, 2), -P * L * L / (2 * E * I), 1e-15);
        // Fixed-end moment P L, hogging: the top fibre (local +y) is in tension.
        const EndForceSet ef = f->EndForces(0, 0);
        EXPECT_NEAR(ef[2], P * L, 1e-8);
        EXPECT_NEAR(ef[1], P, 1e-9);
    }
}

TEST_F(StaticSolutionTest, FixedEndAndProppedCantileverUnderUniformLoad) {
    const double L = 8, q = -2000;
    std::string loads = "0\n2\n1 1 3 4 0 -2000 0\n2 1 3 4 0 -2000 0\n";
    auto fixed = Load(Beam(2, L, "1 111\n3 111\n", 2, 1, loads), true, "fixed");
    ASSERT_TRUE(fixed) << LastMessage();
    EXPECT_NEAR(Disp(*fixed, 0, 1, 1), q * std::pow(L, 4) / (384 * E * I), 1e-14);
    // Hogging over the support (top in tension: positive), sagging at mid-span.
    EXPECT_NEAR(fixed->EndForces(0, 0)[2], -q * L * L / 12, 1e-7);
    EXPECT_NEAR(fixed->EndForces(1, 0)[2], q * L * L / 24, 1e-7);
    fixed.reset();
    const auto fr = Reactions(ReadFile("fixed.out"), 1);
    ASSERT_EQ(fr.size(), 2u);
    EXPECT_NEAR(fr[0][0][1], -q * L / 2, 1e-3);
    EXPECT_NEAR(fr[0][0][2], -q * L * L / 12, 1e-2);
    EXPECT_NEAR(fr[1][0][2], q * L * L / 12, 1e-2);

    // Propped cantilever: fixed at 0, roller at L. R_B = 3qL/8, M_A = qL^2/8.
    auto propped = Load(Beam(2, L, "1 111\n3 10\n", 2, 1, loads), true, "propped");
    ASSERT_TRUE(propped) << LastMessage();
    propped.reset();
    const auto pr = Reactions(ReadFile("propped.out"), 1);
    ASSERT_EQ(pr.size(), 2u);
    EXPECT_NEAR(pr[1][0][1], -3 * q * L / 8, 1e-3);
    EXPECT_NEAR(pr[0][0][1], -5 * q * L / 8, 1e-3);
    EXPECT_NEAR(pr[0][0][2], -q * L * L / 8, 1e-2);
    EXPECT_EQ(pr[1][0][0], 0.0);  // a roller has no x or rotation reaction
    EXPECT_EQ(pr[1][0][2], 0.0);
}

TEST_F(StaticSolutionTest, SupportSettlementActsInEveryCase) {
    const double L = 5, d = 0.01;
    auto f = Load(Beam(1, L, "1 111\n2 111 0 0.01 0\n", 2, 2, "1\n1 2 0 0 0\n0\n"), true);
    ASSERT_TRUE(f) << LastMessage();
    for (int lc = 0; lc < 2; ++lc) {
        EXPECT_EQ(Disp(*f, lc, 1, 1), d);
        const EndForceSet ef = f->EndForces(0, lc);
        EXPECT_NEAR(ef[1], -12 * E * I * d / (L * L * L), 1e-6);
        EXPECT_NEAR(ef[2], -6 * E * I * d / (L * L), 1e-6);
    }
}

TEST_F(StaticSolutionTest, TemperatureInARestrainedMember) {
    const double alpha = 1.2e-5, h = std::sqrt(12 * I / A), L = 6;
    const std::string model =
        "2 1 0 1 1 2 2 0\n1 0 0\n2 6 0\n1 2e11 1.2e-5\n1 0.01 1e-4 0 0 0.1 0.1\n1 1 2 1 1 1\n"
        "1 111\n2 111\n0\n2\n1 1 7 30 30\n1 2 7 10 -10\n";
    auto f = Load(model, true);
    ASSERT_TRUE(f) << LastMessage();
    double N, Q, M;
    // Uniform warming of a member held at both ends: compression alpha E A t, no bending.
    f->ForcesAt(0, 0, L / 3, f->EndForces(0, 0), N, Q, M);
    EXPECT_NEAR(N, -alpha * E * A * 30, 1e-6);
    EXPECT_NEAR(M, 0, 1e-6);
    // A gradient (top warmer) bends it with a constant moment; the top fibre is compressed.
    f->ForcesAt(0, 1, L / 2, f->EndForces(0, 1), N, Q, M);
    EXPECT_NEAR(M, -alpha * E * I * 20 / h, 1e-6);
    EXPECT_NEAR(N, 0, 1e-6);
    EXPECT_NEAR(Q, 0, 1e-6);
    for (int lc = 0; lc < 2; ++lc)
        for (int dir = 0; dir < 3; ++dir) EXPECT_EQ(Disp(*f, lc, 1, dir), 0.0);
}

TEST_F(StaticSolutionTest, InternalForcesAlongASimplySupportedBeam) {
    const double L = 10, P = 100;
    // Point load at 4 m on one element; a free end moment case without element loads.
    const std::string model =
        Beam(1, L, "1 110\n2 10\n", 2, 2, "1\n2 2 0 0 50\n1\n1 1 1 4 0 -100 0\n");
    auto f = Load(model, true);
    ASSERT_TRUE(f) << LastMessage();
    const EndForceSet ef = f->EndForces(0, 0);
    double N, Q, M;
    f->ForcesAt(0, 0, 4.0, ef, N, Q, M);  // at the load: still the values just before it
    EXPECT_NEAR(Q, P * 0.6, 1e-9);
    EXPECT_NEAR(M, -P * 4 * 6 / L, 1e-8);
    f->ForcesAt(0, 0, 4.0 + 1e-9, ef, N, Q, M);
    EXPECT_NEAR(Q, -P * 0.4, 1e-9);
    f->ForcesAt(0, 0, 7.0, ef, N, Q, M);
    EXPECT_NEAR(M, -P * 0.4 * 3, 1e-8);
    // No element load in case 2: Q constant, M linear from Mi.
    const EndForceSet e2 = f->EndForces(0, 1);
    for (double x : {0.0, 2.5, 10.0}) {
        f->ForcesAt(0, 1, x, e2, N, Q, M);
        EXPECT_NEAR(Q, e2[1], 1e-12);
        EXPECT_NEAR(M, e2[2] - e2[1] * x, 1e-9);
    }
    f->ForcesAt(0, 1, 10.0, e2, N, Q, M);
    EXPECT_NEAR(M, -50, 1e-8);  // the applied end moment (counter-clockwise at j)
}

// Every case of the bundled girder: the reactions balance the applied loads, computed here
// from the data independently of the engine's equivalent loads.
TEST_F(StaticSolutionTest, BundledGirderIsInEquilibriumInEveryCase) {
    std::string model;
    ASSERT_TRUE(ReadWholeFile(SourcePath("examples/three_span_girder.fem"), model));
    auto f = Load(model, true, "girder");
    ASSERT_TRUE(f) << LastMessage();
    double weight = 0, weightMoment = 0, deck = 0, deckMoment = 0;
    for (const Element& el : f->m_elements) {
        const double wi = f->m_sections[el.iSection].weight, wj = f->m_sections[el.jSection].weight;
        const double xi = f->m_nodes[el.iNode].x, xj = f->m_nodes[el.jNode].x;
        const double W = (wi + wj) / 2 * el.length;
        weight += W;
        weightMoment += W * (xi + (xj - xi) * (wi + 2 * wj) / (3 * (wi + wj)));
        deck += 30000 * el.length;
        deckMoment += 30000 * el.length * (xi + xj) / 2;
    }
    deck += 500000;
    deckMoment += 500000 * 50;
    const std::vector<int> supportNodes = {0, 6, 14, 20};
    f.reset();
    const auto r = Reactions(ReadFile("girder.out"), 3);
    ASSERT_EQ(r.size(), 4u);
    const double expected[3][2] = {{weight, weightMoment}, {0, 0}, {deck, deckMoment}};
    const double x[4] = {0, 30, 70, 100};
    for (int lc = 0; lc < 3; ++lc) {
        double sx = 0, sy = 0, sm = 0;
        for (int s = 0; s < 4; ++s) {
            sx += r[s][lc][0];
            sy += r[s][lc][1];
            sm += r[s][lc][1] * x[s];
        }
        EXPECT_NEAR(sx, 0, 1e-3) << "case " << lc + 1;
        EXPECT_NEAR(sy, expected[lc][0], 1e-6 * 2e7 + 1) << "case " << lc + 1;
        EXPECT_NEAR(sm, expected[lc][1], 1e-6 * 2e9 + 100) << "case " << lc + 1;
    }
}

TEST_F(StaticSolutionTest, BandLayoutOfTheTwoElementBeam) {
    auto f = Load(Beam(2, 10, "1 111\n", 1, 1, "0\n0\n"), true);
    ASSERT_TRUE(f) << LastMessage();
    EXPECT_EQ(f->m_nBand, 5);
    EXPECT_EQ(f->m_diagAddr, (std::vector<std::int64_t>{0, 6, 12, 18, 24, 29, 33, 36, 38}));
    EXPECT_EQ(f->m_nConstrainedDofs, 3);
    for (double d : f->m_disp) EXPECT_EQ(d, 0.0);  // no load, no settlement
}

TEST_F(StaticSolutionTest, ConstraintCountAndSingularity) {
    // Two fixed equations only.
    EXPECT_FALSE(Load(Beam(1, 4, "1 110\n", 1, 1, "0\n0\n"), true));
    EXPECT_EQ(LastMessage(), "错误：结构约束自由度个数小于3！");
    // A node without elements brings three constrained equations of its own.
    const std::string loose =
        "3 1 0 1 1 1 2 0\n1 0 0\n2 4 0\n3 9 9\n1 2e11\n1 0.01 1e-4 0 0 0.1 0.1\n1 1 2 1 1 1\n"
        "1 110\n2 10\n0\n0\n";
    auto f = Load(loose, true);
    ASSERT_TRUE(f) << LastMessage();
    EXPECT_EQ(f->m_nConstrainedDofs, 6);

    // Nothing holds x: the rigid-body translation shows at the last x equation.
    host.messages.clear();
    host.details.clear();
    EXPECT_FALSE(Load(Beam(2, 8, "1 10\n2 10\n3 10\n", 3, 1, "0\n0\n"), true));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "刚度阵奇异!\n检查刚体约束!");
    EXPECT_EQ(host.details[0], "出错位置：节点3 x方向（方程7）");

    // Two steel bars joined by a hinge (a slave sharing x and y) on a pin and a roller: a
    // mechanism whose last pivot is rounding noise, positive and far above 1e-18.
    for (const char* hinge : {"5 0", "4.7 0", "5 1.3", "4.7 1.3"}) {
        const std::string mechanism = std::string("4 2 1 1 1 1 2 0\n1 0 0\n2 ") + hinge + "\n3 " +
                                      hinge +
                                      "\n4 10 0.4\n3 2 2 0 0\n1 2.06e11\n1 6 3.4 0 0 1 1\n"
                                      "1 1 2 1 1 1\n2 3 4 1 1 1\n1 110\n4 10\n1\n2 1 0 -1e5 0\n0\n";
        host.messages.clear();
        host.details.clear();
        EXPECT_FALSE(Load(mechanism, true, "mechanism")) << hinge;
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0], "刚度阵奇异!\n检查刚体约束!");
        EXPECT_EQ(host.details[0], "出错位置：节点4 转角（方程12）");
    }
}

// A pivot that is positive and large in absolute terms but has lost every digit against its
// diagonal is singular too.
TEST_F(StaticSolutionTest, RelativePivotTest) {
    CPlaneFrame f(Path("none.fem"), Path("none.out"));
    f.m_nDof = 2;
    f.m_nBand = 1;
    f.m_diagAddr = {0, 2};
    f.m_bandK = {1e10, 1e10, 1e10 + 1e-3};
    EXPECT_FALSE(f.Factorize());
    EXPECT_EQ(LastMessage(), "刚度阵奇异!\n检查刚体约束!");
    f.m_bandK = {1e10, 1e10, 1e10 + 1e2};  // 1e-8 of the diagonal: ill-conditioned, not singular
    EXPECT_TRUE(f.Factorize());
}

TEST_F(StaticSolutionTest, WithoutLoadCasesTheSolutionStillSucceeds) {
    auto f = Load(Beam(2, 10, "1 111\n", 1, 0, ""), true);
    ASSERT_TRUE(f) << LastMessage();
    EXPECT_FALSE(Exists("m.1"));
    f.reset();
    EXPECT_EQ(ReadFile("m.out").find("结构位移"), std::string::npos);
}

// The right-looking factorisation and the row-wise substitution must equal the textbook
// left-looking forms bit for bit.
TEST_F(StaticSolutionTest, FactorAndSubstitutionEqualTheTextbookForms) {
    const int n = 60, b = 7;
    CPlaneFrame f(Path("none.fem"), Path("none.out"));
    f.m_nDof = n;
    f.m_nBand = b;
    f.m_diagAddr.assign(n, 0);
    for (int i = 0; i + 1 < n; ++i) f.m_diagAddr[i + 1] = f.m_diagAddr[i] + std::min(n - i, b + 1);
    f.m_bandK.assign(static_cast<size_t>(f.m_diagAddr[n - 1] + 1), 0.0);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int i = 0; i < n; ++i) {
        f.BandAt(i, i) = 4 * b + u(rng);
        for (int j = i + 1; j <= std::min(n - 1, i + b); ++j) f.BandAt(i, j) = u(rng);
    }
    std::vector<double> K = f.m_bandK;
    auto at = [&](std::vector<double>& v, int i, int j) -> double& {
        return v[static_cast<size_t>(f.m_diagAddr[i] + (j - i))];
    };
    auto U = [&](int k, int j) { return j - k > b ? 0.0 : at(K, k, j); };
    for (int i = 0; i < n; ++i) {
        double d = at(K, i, i);
        for (int k = std::max(0, i - b); k < i; ++k) d -= U(k, i) * U(k, i);
        at(K, i, i) = std::sqrt(d);
        for (int j = i + 1; j <= std::min(n - 1, i + b); ++j) {
            double s = at(K, i, j);
            for (int k = std::max(0, i - b); k < i; ++k) s -= U(k, i) * U(k, j);
            at(K, i, j) = s / at(K, i, i);
        }
    }
    ASSERT_TRUE(f.Factorize());
    EXPECT_EQ(f.m_bandK, K);

    std::vector<double> rhs(2 * n), ref;
    for (double& v : rhs) v = u(rng);
    ref = rhs;
    for (int v = 0; v < 2; ++v) {
        double* x = &ref[static_cast<size_t>(v) * n];
        for (int j = 0; j < n; ++j) {
            double s = x[j];
            for (int k = std::max(0, j - b); k < j; ++k) s -= U(k, j) * x[k];
            x[j] = s / at(K, j, j);
        }
        for (int j = n - 1; j >= 0; --j) {
            double s = x[j];
            for (int k = j + 1; k <= std::min(n - 1, j + b); ++k) s -= at(K, j, k) * x[k];
            x[j] = s / at(K, j, j);
        }
    }
    f.Substitute(rhs.data(), 2);
    EXPECT_EQ(rhs, ref);
}

TEST_F(StaticSolutionTest, ARotatedModelGivesRotatedDisplacementsAndTheSameForces) {
    // A portal frame with a nodal load, a member load in local axes and a global one, and
    // the same frame turned by 1.1 rad about the origin (pins and clamps are the same in any
    // axes): displacements turn with it, N, Q and M stay.
    const double angle = 1.1, cs = std::cos(angle), sn = std::sin(angle);
    auto model = [&](double c, double s) {
        auto xy = [&](double x, double y) {
            return FormatString("%.17g %.17g", c * x - s * y, s * x + c * y);
        };
        return "4 3 0 1 1 1 2 0\n1 " + xy(0, 0) + "\n2 " + xy(0, 4) + "\n3 " + xy(6, 4) +
               "\n4 " + xy(6, 0) +
               "\n1 2e11\n1 0.02 1e-4 0 0 0.1 0.1\n1 1 2 1 1 1\n2 2 3 1 1 1\n3 3 4 1 1 1\n"
               "1 111\n4 110\n1\n2 1 " +
               FormatString("%.17g %.17g", c * 10000 - s * -5000, s * 10000 + c * -5000) +
               " 0\n3\n2 1 3 6 0 -2000 0\n3 1 1 1.5 300 -4000 0\n1 1 2 2.5 " +
               FormatString("%.17g %.17g", c * 0 - s * -7000, s * 0 + c * -7000) + " 0\n";
    };
    auto a = Load(model(1, 0), true, "plain");
    ASSERT_TRUE(a) << LastMessage();
    auto b = Load(model(cs, sn), true, "turned");
    ASSERT_TRUE(b) << LastMessage();
    for (int n = 0; n < 4; ++n) {
        const double* u = &a->m_disp[0];
        const double* v = &b->m_disp[0];
        const auto& g = a->m_dofNum[n];
        EXPECT_NEAR(v[g[0]], cs * u[g[0]] - sn * u[g[1]], 1e-10) << "node " << n + 1;
        EXPECT_NEAR(v[g[1]], sn * u[g[0]] + cs * u[g[1]], 1e-10) << "node " << n + 1;
        EXPECT_NEAR(v[g[2]], u[g[2]], 1e-10) << "node " << n + 1;
    }
    for (int e = 0; e < 3; ++e) {
        const EndForceSet fa = a->EndForces(e, 0), fb = b->EndForces(e, 0);
        for (double x : {0.0, 1.3, 2.5, 4.0}) {
            double va[3], vb[3];
            a->ForcesAt(e, 0, x, fa, va[0], va[1], va[2]);
            b->ForcesAt(e, 0, x, fb, vb[0], vb[1], vb[2]);
            for (int q = 0; q < 3; ++q)
                EXPECT_NEAR(vb[q], va[q], 1e-6 * (1 + std::fabs(va[q])))
                    << "element " << e + 1 << " x " << x << " quantity " << q;
        }
    }
}
