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

// Face displacements of a unit jump (dv, dtheta) at position xi of a member clamped at both
// ends, solved directly: two sub-members with the consistent stiffness of a linearly tapered
// Hermite element, equilibrium at the cut. Returns the left face (v, theta).
std::pair<double, double> CutFaces(double E, double L, double a, double b, double xi, double dv,
                                   double dt) {
    auto K = [E](double l, double i1, double i2, double k[4][4]) {
        const double kV = 6 * E * (i1 + i2) / (l * l * l), ti = 2 * E * (2 * i1 + i2) / (l * l),
                     tj = 2 * E * (i1 + 2 * i2) / (l * l), kii = E * (3 * i1 + i2) / l,
                     kjj = E * (i1 + 3 * i2) / l, kij = E * (i1 + i2) / l;
        const double m[4][4] = {
            {kV, ti, -kV, tj}, {ti, kii, -ti, kij}, {-kV, -ti, kV, -tj}, {tj, kij, -tj, kjj}};
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) k[r][c] = m[r][c];
    };
    const double ix = (1 - xi) * a + xi * b;
    double kl[4][4], kr[4][4];
    K(xi * L, a, ix, kl);
    K((1 - xi) * L, ix, b, kr);
    // Unknowns: the left face (v, theta); the right face is that plus the jump.
    const double A[2][2] = {{kl[2][2] + kr[0][0], kl[2][3] + kr[0][1]},
                            {kl[3][2] + kr[1][0], kl[3][3] + kr[1][1]}};
    const double r[2] = {-(kr[0][0] * dv + kr[0][1] * dt), -(kr[1][0] * dv + kr[1][1] * dt)};
    const double det = A[0][0] * A[1][1] - A[0][1] * A[1][0];
    return {(r[0] * A[1][1] - A[0][1] * r[1]) / det, (A[0][0] * r[1] - r[0] * A[1][0]) / det};
}

}  // namespace

TEST_F(InfluenceLineTest, TaperedMemberFacesAndAFinelySubdividedTaper) {
    // One member whose I grows linearly by half (A likewise), sections at x = 3.
    const double L = 10, a = 0.02, b = 0.03, Aa = 0.3, Ab = 0.5, E = 3e10;
    auto section = [](int k, double A, double I) {
        char text[120];
        std::snprintf(text, sizeof text, "%d %.17g %.17g 0 0 0.5 0.5\n", k, A, I);
        return std::string(text);
    };
    // Clamped at both ends the member does not move, so the faces are the cut solution.
    std::string clamped = "2 1 0 1 2 0 2 1\n1 0 0\n2 10 0\n1 3e10\n";
    clamped += section(1, Aa, a) + section(2, Ab, b);
    clamped += "1 1 2 1 2 1\n1 111\n2 111\n1\n3\n1 0.3 3\n1 0.3 2\n1 0.3 1\n";
    auto c = Load(clamped, true, "clamped");
    ASSERT_TRUE(c) << LastMessage();
    const auto m = CutFaces(E, L, a, b, 0.3, 0, -1);
    EXPECT_NEAR(c->m_ilRequests[0].leftFace[1], m.first, 1e-12);
    EXPECT_NEAR(c->m_ilRequests[0].leftFace[2], m.second, 1e-12);
    EXPECT_NEAR(c->m_ilRequests[0].rightFace[2], m.second - 1, 1e-12);
    const auto q = CutFaces(E, L, a, b, 0.3, -1, 0);
    EXPECT_NEAR(c->m_ilRequests[1].leftFace[1], q.first, 1e-12);
    EXPECT_NEAR(c->m_ilRequests[1].rightFace[1], q.first - 1, 1e-12);
    EXPECT_NEAR(c->m_ilRequests[1].leftFace[2], q.second, 1e-12);
    // Axial: the faces part by exactly 1, split by the stiffness of the two halves.
    const double Ax = 0.7 * Aa + 0.3 * Ab, k1 = (Aa + Ax) / 2 / 3, k2 = (Ax + Ab) / 2 / 7;
    EXPECT_NEAR(c->m_ilRequests[2].rightFace[0] - c->m_ilRequests[2].leftFace[0], 1, 1e-12);
    EXPECT_NEAR(c->m_ilRequests[2].leftFace[0], -k2 / (k1 + k2), 1e-12);

    // A propped cantilever of the same member against the taper cut into 40 elements: they
    // differ by the error of one cubic shape on a tapered member, a few per cent here.
    std::string coarse = "2 1 0 1 2 0 2 1\n1 0 0\n2 10 0\n1 3e10\n";
    coarse += section(1, Aa, a) + section(2, Ab, b);
    coarse += "1 1 2 1 2 1\n1 111\n2 10\n1\n2\n1 0.3 3\n1 0.3 2\n";
    const int n = 40;
    std::string fine = std::to_string(n + 1) + " " + std::to_string(n) + " 0 1 " +
                       std::to_string(n + 1) + " 0 2 " + std::to_string(n) + "\n";
    for (int k = 0; k <= n; ++k)
        fine += std::to_string(k + 1) + " " + std::to_string(L * k / n) + " 0\n";
    fine += "1 3e10\n";
    for (int k = 0; k <= n; ++k) {
        const double t = static_cast<double>(k) / n;
        fine += section(k + 1, Aa + (Ab - Aa) * t, a + (b - a) * t);
    }
    for (int k = 1; k <= n; ++k)
        fine += std::to_string(k) + " " + std::to_string(k) + " " + std::to_string(k + 1) + " " +
                std::to_string(k) + " " + std::to_string(k + 1) + " 1\n";
    fine += "1 111\n";
    fine += std::to_string(n + 1) + " 10\n";
    for (int k = 1; k <= n; ++k) fine += std::to_string(k) + " ";
    fine += "\n2\n12 1.0 3\n12 1.0 2\n";
    auto t = Load(coarse, true, "coarse");
    ASSERT_TRUE(t) << LastMessage();
    auto f = Load(fine, true, "fine");
    ASSERT_TRUE(f) << LastMessage();
    for (int k = 0; k < 2; ++k) {
        double scale = 0, worst = 0;
        for (double x = 0.25; x < L; x += 0.5) {
            scale = std::max(scale, std::fabs(f->InfluenceValue(x, k)));
            worst = std::max(worst, std::fabs(t->InfluenceValue(x, k) - f->InfluenceValue(x, k)));
        }
        EXPECT_LT(worst, 0.025 * scale) << "quantity " << (k == 0 ? "M" : "Q");
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
        EXPECT_EQ(f->m_ilSamples[i], f->InfluenceValue(0.1 * i, 1)) << i;
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
