// Influence lines against independent truth: the static solution under unit loads
// (Müller-Breslau), closed forms, a finely subdivided taper, and reciprocity.
#include <cmath>

#include "TestSupport.h"

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
    m += "1 2 3 4 5 6 7 8 9 10\n" + std::to_string(nRequests) + "\n" + requests;
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
