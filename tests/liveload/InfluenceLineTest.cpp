// Influence lines against independent truth: the static solution under unit loads
// (Müller-Breslau), closed forms, a finely subdivided taper, and reciprocity.
#include <cmath>
#include <cstring>

#include "TestSupport.h"
#include "liveload/Models.h"

namespace {

// A two-span continuous beam 10 + 10 of ten 2 m elements (pin at 0, rollers at 10 and 20),
// one load case per abscissa in `at` with a unit +y load there, the whole deck as path.
std::string TwoSpan(const std::vector<double>& at, const std::string& requests, int nRequests) {
    std::string m = "11 10 0 1 1 " + std::to_string(at.size()) + " 3 10\n";
    m += "1 0 0 0 0\n11 20 0 0 1\n1 3e10\n1 0.5 0.04 0 0 0.5 0.5\n";
    m += "1 1 2 1 1 1 0\n10 10 11 1 1 1 1\n1 110\n6 10\n11 10\n0\n";
    m += std::to_string(at.size()) + "\n";
    for (size_t c = 0; c < at.size(); ++c) {
        const int e = std::min(9, static_cast<int>(at[c] / 2));
        m += std::to_string(e + 1) + " " + std::to_string(c + 1) + " 2 " +
             std::to_string(at[c] - 2 * e) + " 0 1 0\n";
    }
    m += "1 2 3 4 5 6 7 8 9 10\n";
    m += std::to_string(nRequests) + "\n";
    m += requests;
    return m;
}

// The quantity of request r in load case c, from the static solution.
double StaticValue(const CPlaneFrame& f, const InfluenceRequest& r, int c) {
    const Element& el = f.m_elements[r.element];
    if (r.quantity > 3) {
        // Displacement requests sit on nodes here (position 0 or 1).
        const int node = r.position < 0.5 ? el.iNode : el.jNode;
        return f.m_disp[static_cast<size_t>(c) * f.m_nDof + f.m_dofNum[node][r.quantity - 4]];
    }
    double v[3];
    f.ForcesAt(r.element, c, r.position * el.length, f.EndForces(r.element, c), v[0], v[1], v[2]);
    return v[r.quantity - 1];
}

class InfluenceLineTest : public ScratchDirTest {};

}  // namespace

TEST_F(InfluenceLineTest, TwoSpanBeamMatchesTheStaticSolutionUnderUnitLoads) {
    const std::vector<double> at = {0.5, 1, 3.3, 5, 6.2, 7.7, 10, 11.1, 13, 14.6, 15.5, 18, 19.9};
    const std::string requests = "3 0.5 3\n5 1.0 3\n6 0.0 2\n2 1.0 5\n8 0.3 3\n4 0.25 2\n";
    auto f = Load(TwoSpan(at, requests, 6), true);
    ASSERT_TRUE(f) << LastMessage();
    for (int line = 0; line < 6; ++line) {
        const InfluenceRequest& r = f->m_ilRequests[line];
        double scale = 0;
        for (size_t c = 0; c < at.size(); ++c)
            scale = std::max(scale, std::fabs(StaticValue(*f, r, c)));
        ASSERT_GT(scale, 0) << "line " << line;
        const double sectionX = f->m_nodes[f->m_elements[r.element].iNode].x +
                                r.position * f->m_elements[r.element].length;
        for (size_t c = 0; c < at.size(); ++c) {
            // A unit load on a shear section itself has no single shear value.
            if (r.quantity == 2 && std::fabs(at[c] - sectionX) < 1e-9) continue;
            EXPECT_NEAR(f->InfluenceValue(at[c], line), StaticValue(*f, r, static_cast<int>(c)),
                        1e-9 * scale)
                << "line " << line << " at x = " << at[c];
        }
    }
}

TEST_F(InfluenceLineTest, TwoSpanClosedFormsAndSectionsAtElementEnds) {
    // Moment over the middle support of two equal spans L under a unit load at a in the
    // first span: a (L^2 - a^2) / (4 L^2), the top fibre in tension for a downward load.
    auto f = Load(ContinuousBeam({10, 10}, 5, {"5 1.0 3", "6 0.0 3", "3 0.5 2"}), true);
    ASSERT_TRUE(f) << LastMessage();
    const double L = 10;
    for (double a : {0.7, 2.0, 3.1, 5.0, 8.8}) {
        const double mb = a * (L * L - a * a) / (4 * L * L);
        EXPECT_NEAR(f->InfluenceValue(a, 0), -mb, 1e-10) << a;
        EXPECT_NEAR(f->InfluenceValue(2 * L - a, 0), -mb, 1e-10) << a;  // symmetry
        // The same section seen from the next element (position 0 instead of 1).
        EXPECT_NEAR(f->InfluenceValue(a, 1), f->InfluenceValue(a, 0), 1e-12);
        EXPECT_NEAR(f->InfluenceValue(2 * L - a, 1), f->InfluenceValue(2 * L - a, 0), 1e-12);
    }
    // The shear line jumps by the unit load at its section (x = 5 inside element 3).
    EXPECT_NEAR(f->InfluenceValue(5 + 1e-9, 2) - f->InfluenceValue(5 - 1e-9, 2), -1, 1e-6);
}

TEST_F(InfluenceLineTest, PortalFrameLinesOffThePathAndReciprocity) {
    // Fixed-base portal 10 m wide, 6 m high; the beam (four elements) is the path. The
    // column's lines are deflections of the path caused at a distance.
    const std::vector<double> at = {0.4, 1.9, 3.3, 5.0, 6.1, 8.2, 9.7};
    std::string m = "7 6 0 1 1 " + std::to_string(at.size()) + " 2 4\n";
    m += "1 0 0\n2 0 6\n3 2.5 6\n4 5 6\n5 7.5 6\n6 10 6\n7 10 0\n1 3e10\n1 0.5 0.04 0 0 0.5 0.5\n";
    m += "1 1 2 1 1 1\n2 2 3 1 1 1\n3 3 4 1 1 1\n4 4 5 1 1 1\n5 5 6 1 1 1\n6 6 7 1 1 1\n";
    m += "1 111\n7 111\n0\n";
    m += std::to_string(at.size()) + "\n";
    for (size_t c = 0; c < at.size(); ++c) {
        const int e = std::min(3, static_cast<int>(at[c] / 2.5));
        m += std::to_string(e + 2) + " " + std::to_string(c + 1) + " 2 " +
             std::to_string(at[c] - 2.5 * e) + " 0 1 0\n";
    }
    m += "2 3 4 5\n6\n1 0.4 1\n1 0.4 3\n1 0.0 2\n3 0.3 1\n2 1.0 4\n4 0.0 6\n";
    auto f = Load(m, true);
    ASSERT_TRUE(f) << LastMessage();
    for (int line = 0; line < 6; ++line) {
        const InfluenceRequest& r = f->m_ilRequests[line];
        double scale = 0;
        for (size_t c = 0; c < at.size(); ++c)
            scale = std::max(scale, std::fabs(StaticValue(*f, r, static_cast<int>(c))));
        ASSERT_GT(scale, 1e-12) << "line " << line;
        for (size_t c = 0; c < at.size(); ++c)
            EXPECT_NEAR(f->InfluenceValue(at[c], line), StaticValue(*f, r, static_cast<int>(c)),
                        1e-9 * scale)
                << "line " << line << " at x = " << at[c];
    }
    // Off the path the lines are zero.
    EXPECT_EQ(f->InfluenceValue(-0.1, 0), 0);
    EXPECT_EQ(f->InfluenceValue(10.2, 3), 0);
}

namespace {

std::string Num(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

}  // namespace

TEST_F(InfluenceLineTest, TaperedMembersAndAnInclinedPathAgreeWithTheStaticAnalysis) {
    // A haunch (I 1 -> 2.5 over 6 m), an inclined span and a level one on a tapered column:
    // every ordinate is the section force the static analysis gives for a unit load there.
    const std::vector<double> nodeX = {0, 6, 10, 16, 10}, nodeY = {0, 0, 1, 1, -8};
    const std::vector<double> at = {0.7, 2.5, 3.0,  4.4,  5.5,  6.0, 7.1,
                                    7.9, 9.3, 10.0, 11.5, 13.7, 16.0};
    std::string m = "5 4 0 1 4 " + std::to_string(at.size()) + " 3 3\n";
    for (int n = 0; n < 5; ++n)
        m += std::to_string(n + 1) + " " + Num(nodeX[n]) + " " + Num(nodeY[n]) + "\n";
    m += "1 3e10\n1 0.5 0.04 0 0 0.5 0.5\n2 0.8 0.1 0 0 0.5 0.5\n3 2.0 0.6 0 0 1 1\n4 3.5 0.9 0 0 "
         "1 1\n";
    m += "1 1 2 1 2 1\n2 2 3 2 2 1\n3 3 4 2 2 1\n4 5 3 4 3 1\n";
    m += "1 110\n4 010\n5 111\n0\n" + std::to_string(at.size()) + "\n";
    for (size_t c = 0; c < at.size(); ++c) {
        const int e = at[c] < 6 ? 0 : at[c] < 10 ? 1 : 2;
        const double x0 = nodeX[e], x1 = nodeX[e + 1], y0 = nodeY[e], y1 = nodeY[e + 1];
        const double t = (at[c] - x0) / (x1 - x0), L = std::hypot(x1 - x0, y1 - y0);
        m += std::to_string(e + 1) + " " + std::to_string(c + 1) + " 2 " + Num(t * L) + " 0 1 0\n";
    }
    m += "1 2 3\n8\n1 0.5 3\n1 0.3 2\n1 0.6 1\n2 0.4 3\n2 0.6 2\n2 0.5 1\n4 0.5 1\n3 0.2 3\n";
    auto f = Load(m, true);
    ASSERT_TRUE(f) << LastMessage();
    for (int line = 0; line < 8; ++line) {
        const InfluenceRequest& r = f->m_ilRequests[line];
        double scale = 0;
        for (size_t c = 0; c < at.size(); ++c)
            scale = std::max(scale, std::fabs(StaticValue(*f, r, static_cast<int>(c))));
        ASSERT_GT(scale, 0) << "line " << line;
        for (size_t c = 0; c < at.size(); ++c)
            EXPECT_NEAR(f->InfluenceValue(at[c], line), StaticValue(*f, r, static_cast<int>(c)),
                        1e-9 * scale)
                << "line " << line << " at x = " << at[c];
    }
}

namespace {

// Two spans of 20 m with haunches over the middle support (I 1 -> 2.5 over 6 m each side),
// the haunches as one member each or as `pieces` members each; moment and shear at x = 17.
std::string HaunchedBeam(int pieces) {
    std::vector<double> x;
    for (int k = 0; k <= 7; ++k) x.push_back(2.0 * k);
    for (int k = 1; k <= pieces; ++k) x.push_back(14 + 6.0 * k / pieces);
    for (int k = 1; k <= pieces; ++k) x.push_back(20 + 6.0 * k / pieces);
    for (int k = 1; k <= 7; ++k) x.push_back(26 + 2.0 * k);
    const int nodes = static_cast<int>(x.size()), elements = nodes - 1;
    auto inertia = [](double at) {
        const double d = std::fabs(at - 20);
        return d >= 6 ? 0.4 : 0.4 * (1 + 1.5 * (6 - d) / 6);
    };
    std::string m = std::to_string(nodes) + " " + std::to_string(elements) + " 0 1 " +
                    std::to_string(nodes) + " 0 3 " + std::to_string(elements) + "\n";
    for (int n = 0; n < nodes; ++n) m += std::to_string(n + 1) + " " + Num(x[n]) + " 0\n";
    m += "1 3.45e10\n";
    for (int n = 0; n < nodes; ++n)
        m += std::to_string(n + 1) + " 6 " + Num(inertia(x[n])) + " 0 0 1 1\n";
    int at17 = 0;
    for (int e = 0; e < elements; ++e) {
        m += std::to_string(e + 1) + " " + std::to_string(e + 1) + " " + std::to_string(e + 2) +
             " " + std::to_string(e + 1) + " " + std::to_string(e + 2) + " 1\n";
        if (x[e] <= 17 && 17 < x[e + 1]) at17 = e;
    }
    int middle = 0;
    while (x[middle] < 20) ++middle;
    m += "1 110\n" + std::to_string(middle + 1) + " 010\n" + std::to_string(nodes) + " 010\n";
    for (int e = 1; e <= elements; ++e) m += std::to_string(e) + " ";
    const std::string position = Num((17 - x[at17]) / (x[at17 + 1] - x[at17]));
    m += "\n2\n" + std::to_string(at17 + 1) + " " + position + " 3\n" + std::to_string(at17 + 1) +
         " " + position + " 2\n";
    return m;
}

}  // namespace

TEST_F(InfluenceLineTest, AHaunchAgainstAFinelySubdividedHaunch) {
    // A haunch taken as one member is as accurate as the static analysis of that member:
    // within a few tenths of a per cent of the same haunch cut into 40 members.
    auto t = Load(HaunchedBeam(1), true, "coarse");
    ASSERT_TRUE(t) << LastMessage();
    auto f = Load(HaunchedBeam(40), true, "fine");
    ASSERT_TRUE(f) << LastMessage();
    for (int k = 0; k < 2; ++k) {
        double scale = 0, worst = 0;
        for (int i = 1; i < 160; ++i) {
            const double x = 0.25 * i;
            if (k == 1 && x == 17) continue;
            scale = std::max(scale, std::fabs(f->InfluenceValue(x, k)));
            worst = std::max(worst, std::fabs(t->InfluenceValue(x, k) - f->InfluenceValue(x, k)));
        }
        EXPECT_LT(worst, 0.003 * scale) << "quantity " << (k == 0 ? "M" : "Q");
    }
}

TEST_F(InfluenceLineTest, SampledLookupTakesTheNearestSample) {
    auto f = Load(ContinuousBeam({10, 10}, 5, {"3 0.5 3"}), true);
    ASSERT_TRUE(f) << LastMessage();
    f->m_ilRequests[1] = f->m_ilRequests[0];
    f->ComputeInfluenceLine(1);
    f->SampleInfluenceLine();
    ASSERT_TRUE(f->m_ilSamplesReady);
    ASSERT_EQ(f->m_ilSampleCount, 200);
    const double s53 = f->m_ilSamples[53];
    EXPECT_NE(s53, 0);
    EXPECT_EQ(f->InfluenceValue(5.3, 0), s53);
    EXPECT_EQ(f->InfluenceValue(5.26, 0), s53);
    EXPECT_EQ(f->InfluenceValue(5.34, 0), s53);
    // Only abscissae within half a step of the path reach its end samples.
    EXPECT_EQ(f->InfluenceValue(-0.04, 0), f->m_ilSamples[0]);
    EXPECT_EQ(f->InfluenceValue(-0.06, 0), 0);
    EXPECT_EQ(f->InfluenceValue(-0.14, 0), 0);
    EXPECT_EQ(f->InfluenceValue(20.04, 0), f->m_ilSamples[200]);
    EXPECT_EQ(f->InfluenceValue(20.06, 0), 0);
    // Every sample is the exact value at its abscissa.
    f->m_ilSamplesReady = false;
    for (int i = 0; i <= 200; i += 7)
        EXPECT_EQ(f->m_ilSamples[i], f->InfluenceValue(i / 10.0, 1)) << i;
}

TEST_F(InfluenceLineTest, PrismaticFixedEndActions) {
    // On a cantilever the free node carries the member's nodal loads, recovered here as the
    // assembled stiffness (without supports) times the line's state: the textbook fixed-end
    // actions of a unit rotation jump and of a unit transverse jump at 0.3 L.
    const double E = 2e11, I = 1e-4, L = 4, xi = 0.3, EI = E * I;
    auto f = Load(
        "2 1 0 1 1 0 1 1\n1 0 0\n2 4 0\n1 2e11\n1 0.02 1e-4 0 0 0.1 0.1\n1 1 2 1 1 1\n"
        "1 111\n1\n2\n1 0.3 3\n1 0.3 2\n",
        true);
    ASSERT_TRUE(f) << LastMessage();
    std::string raw;
    ASSERT_TRUE(ReadWholeFile(f->StiffnessPath(), raw));
    std::vector<double> k0(raw.size() / sizeof(double));
    std::memcpy(k0.data(), raw.data(), k0.size() * sizeof(double));
    auto load = [&](int line, int g) {
        const double* u = &f->m_ilStates[static_cast<size_t>(line) * f->m_nDof];
        double r = 0;
        for (int j = 0; j < f->m_nDof; ++j) {
            const int lo = std::min(g, j), hi = std::max(g, j);
            if (hi - lo <= f->m_nBand) r += k0[f->m_diagAddr[lo] + hi - lo] * u[j];
        }
        return r;
    };
    EXPECT_NEAR(load(0, 4), -6 * EI * (1 - 2 * xi) / (L * L), 1e-6 * EI / (L * L));
    EXPECT_NEAR(load(0, 5), -EI * (6 * xi - 2) / L, 1e-6 * EI / L);
    EXPECT_NEAR(load(1, 4), -12 * EI / (L * L * L), 1e-6 * EI / (L * L * L));
    EXPECT_NEAR(load(1, 5), 6 * EI / (L * L), 1e-6 * EI / (L * L));
    EXPECT_NEAR(load(0, 3), 0, 1e-6);
}

TEST_F(InfluenceLineTest, AnInclinedSimpleSpanHasLinesLinearInX) {
    // Four elements rising 0.4 per metre over 12 m, pinned at the foot, on a roller at the
    // top. At the i end of the first element the section carries the left reaction
    // R = -(1 - x / 12) of a unit upward load: Q = c R and N = -s R, straight lines in x.
    auto f = Load("5 4 0 1 1 0 2 4\n1 0 0\n2 3 1.2\n3 6 2.4\n4 9 3.6\n5 12 4.8\n1 2e11\n"
                  "1 0.02 1e-4 0 0 0.1 0.1\n1 1 2 1 1 1\n2 2 3 1 1 1\n3 3 4 1 1 1\n4 4 5 1 1 1\n"
                  "1 110\n5 010\n1 2 3 4\n3\n1 0 2\n1 0 1\n3 0.5 3\n",
                  true);
    ASSERT_TRUE(f) << LastMessage();
    const double c = 1 / std::sqrt(1.16), s = 0.4 / std::sqrt(1.16);
    for (double x : {0.7, 2.2, 3.3, 5.0, 7.4, 8.9, 11.6}) {
        const double R = -(1 - x / 12);
        EXPECT_NEAR(f->InfluenceValue(x, 0), c * R, 1e-9) << x;
        EXPECT_NEAR(f->InfluenceValue(x, 1), -s * R, 1e-9) << x;
        // The moment at x = 7.5 is that of the horizontal projection: a triangle.
        const double m = x < 7.5 ? x * (12 - 7.5) / 12 : 7.5 * (12 - x) / 12;
        EXPECT_NEAR(f->InfluenceValue(x, 2), m, 1e-9) << x;
    }
}

TEST_F(InfluenceLineTest, LinesSolvedTogetherEqualLinesSolvedOneByOneBitForBit) {
    // Slaves share equations and supports zero some: the batch must place and solve the
    // loads exactly as the single solution does.
    std::string model;
    ASSERT_TRUE(ReadWholeFile(SourcePath("tests/data/echo_model.fem"), model));
    auto f = Load(model, true, "echo");
    ASSERT_TRUE(f) << LastMessage();
    std::vector<InfluenceRequest> requests;
    for (int e = 0; e < f->m_nElements; ++e)
        for (double position : {0.0, 0.3, 1.0})
            for (int q = 1; q <= 6; ++q) requests.push_back(InfluenceRequest{e, position, q});
    const size_t n = static_cast<size_t>(f->m_nDof);
    std::vector<double> together(requests.size() * n), alone(n), scratch;
    f->ComputeInfluenceLinesInto(requests.data(), static_cast<int>(requests.size()),
                                 together.data(), scratch);
    for (size_t v = 0; v < requests.size(); ++v) {
        f->ComputeInfluenceLineInto(requests[v], alone.data());
        EXPECT_EQ(std::memcmp(alone.data(), &together[v * n], n * sizeof(double)), 0)
            << "element " << requests[v].element + 1 << " at " << requests[v].position
            << " quantity " << requests[v].quantity;
    }
}
