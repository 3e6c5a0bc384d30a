// The displaced shape along an element and the edge stress of its sections.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/BeamShape.h"
#include "engine/PlaneFrame.h"

// A rigid motion (translation and a small rotation about node i) is reproduced at every
// point of an inclined element, in both components, and the ordinate alone agrees.
TEST(BeamShapeTest, RigidMotionIsExactAlongAnInclinedElement) {
    const double c = 0.6, s = 0.8, len = 5, ux = 0.01, uy = -0.02, theta = 1e-3;
    const double d[6] = {ux, uy, theta, ux - theta * len * s, uy + theta * len * c, theta};
    for (double t : {0.0, 0.1, 0.35, 0.5, 0.9, 1.0}) {
        double dx = 0, dy = 0;
        BeamShapeOffset(c, s, len, d, t, dx, dy);
        EXPECT_NEAR(dx, ux - theta * t * len * s, 1e-15) << t;
        EXPECT_NEAR(dy, uy + theta * t * len * c, 1e-15) << t;
        EXPECT_EQ(dy, BeamShapeY(c, s, len, d, t)) << t;
    }
}

// A horizontal cantilever of length L fixed at i with a tip load P: the cubic of the beam
// is the exact deflection P x² (3L - x) / (6 EI).
TEST(BeamShapeTest, CantileverDeflectionIsTheCubic) {
    const double L = 4, P = -10, EI = 2e3;
    const double tip = P * L * L * L / (3 * EI), rot = P * L * L / (2 * EI);
    const double d[6] = {0, 0, 0, 0, tip, rot};
    for (double t : {0.25, 0.5, 0.75}) {
        const double x = t * L;
        EXPECT_NEAR(BeamShapeY(1, 0, L, d, t), P * x * x * (3 * L - x) / (6 * EI), 1e-14);
    }
}

TEST(BeamShapeTest, EdgeStressInterpolatesModulusAndArea) {
    Section si, sj;
    si.A = 1, si.I = 3, si.hTop = 1.5, si.hBottom = 1;  // W = 2 above, 3 below
    sj.A = 3, sj.I = 6, sj.hTop = 1.5, sj.hBottom = 1;  // W = 4 above, 6 below
    // At the middle: A = 2, W = 3 above and 4.5 below.
    EXPECT_DOUBLE_EQ(EdgeStress(si, sj, true, 0.5, 4, 9), 9 / 3.0 + 4 / 2.0);
    EXPECT_DOUBLE_EQ(EdgeStress(si, sj, false, 0.5, 4, 9), -9 / 4.5 + 4 / 2.0);
    EXPECT_DOUBLE_EQ(EdgeStress(si, sj, false, 1, 4, 9), -9 / 6.0 + 4 / 3.0);
    // A section without area has no edge stress.
    si.A = sj.A = 0;
    EXPECT_FALSE(std::isfinite(EdgeStress(si, sj, true, 0.5, 4, 9)));
}

#if defined(MORVEX_CHECKED)
#include "SmallModels.h"
#include "TestSupport.h"

// Debug and sanitizer builds stop at an element index out of range (a view asking for an
// element the model does not have) instead of reading past the arrays.
class BeamShapeCheckTest : public ScratchDirTest {};

TEST_F(BeamShapeCheckTest, AnElementOutOfRangeStopsACheckedBuild) {
    const auto f = Load(kTwoElementBeam, true);
    ASSERT_TRUE(f);
    std::vector<double> state(static_cast<size_t>(f->m_nDof), 1.0);
    double d[6];
    ElementEndValues(*f, f->m_nElements - 1, state.data(), d);
    EXPECT_EQ(d[5], 1.0);
    EXPECT_DEATH(ElementEndValues(*f, f->m_nElements, state.data(), d), "check failed");
}
#endif
