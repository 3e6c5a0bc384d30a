// The highway design loads: lane-load envelopes against closed forms and a brute-force walk,
// the vehicle load, the code values, the factors and the lane-load placement file.
#include <cmath>
#include <cstring>

#include "TestSupport.h"
#include "engine/BeamShape.h"
#include "liveload/DesignLoads.h"
#include "liveload/Envelope.h"
#include "liveload/LiveLoad.h"
#include "liveload/LiveLoadPlacement.h"
#include "liveload/Models.h"
#include "platform/TextFile.h"

namespace {

class DesignLoadTest : public ScratchDirTest {
protected:
    std::unique_ptr<CPlaneFrame> Beam(const std::vector<double>& spans, int perSpan,
                                      const std::vector<std::string>& requests = {}) {
        auto f = Load(ContinuousBeam(spans, perSpan, requests), true);
        EXPECT_TRUE(f) << LastMessage();
        return f;
    }

    EnvelopeData Envelope(CPlaneFrame& f, int type, int q) {
        EnvelopeData d;
        EXPECT_TRUE(f.ComputeEnvelope(type, q)) << LastMessage();
        EXPECT_TRUE(f.ReadEnvelope(type, q, d)) << LastMessage();
        return d;
    }
};

// The lane load of one point found the plain way: the line evaluated directly at every
// node of a walk (cells of 1/20 of an element, the section a cell end), sign changes
// found by bisection, each part integrated with three-point Gauss (exact for the cubic
// line), and the concentrated load tried at every cell end (from both sides) and at the
// best interior point of the cells next to the best end, found by golden-section search.
struct BruteLane {
    double negativeArea = 0, positiveArea = 0, smallest = 0, largest = 0;
};

BruteLane BruteForce(const CPlaneFrame& f, const InfluenceRequest& r,
                     const std::vector<double>& state) {
    BruteLane out;
    for (int e : f.m_ilElements) {
        const Element& el = f.m_elements[e];
        const double xi = f.m_nodes[el.iNode].x, xj = f.m_nodes[el.jNode].x;
        std::vector<double> ts;
        for (int k = 0; k <= 20; ++k) ts.push_back(k / 20.0);
        if (e == r.element && r.quantity <= 3) ts.push_back(r.position);
        std::sort(ts.begin(), ts.end());
        auto eta = [&](double t) { return f.ValueOnPathElement(e, t, r, state.data()); };
        for (size_t c = 0; c + 1 < ts.size(); ++c) {
            const double a = ts[c], b = ts[c + 1];
            if (!(b > a)) continue;
            const double eps = 1e-13;
            const double fa = eta(a + eps), fb = eta(b - eps);
            for (double v : {fa, fb}) {
                out.smallest = std::min(out.smallest, v);
                out.largest = std::max(out.largest, v);
            }
            for (bool wantMax : {true, false}) {
                double lo = a + eps, hi = b - eps;
                for (int it = 0; it < 70; ++it) {
                    const double m1 = lo + (hi - lo) * 0.381966, m2 = hi - (hi - lo) * 0.381966;
                    if ((eta(m1) > eta(m2)) == wantMax)
                        hi = m2;
                    else
                        lo = m1;
                }
                const double v = eta(0.5 * (lo + hi));
                out.smallest = std::min(out.smallest, v);
                out.largest = std::max(out.largest, v);
            }
            std::vector<double> cuts = {a, b};
            if ((fa < 0) != (fb < 0) && fa != 0 && fb != 0) {
                double lo = a, hi = b;
                for (int it = 0; it < 200 && hi - lo > 1e-16; ++it) {
                    const double m = 0.5 * (lo + hi);
                    if ((eta(m) < 0) == (fa < 0))
                        lo = m;
                    else
                        hi = m;
                }
                cuts = {a, 0.5 * (lo + hi), b};
            }
            for (size_t k = 0; k + 1 < cuts.size(); ++k) {
                const double u0 = cuts[k], u1 = cuts[k + 1], h = u1 - u0;
                const double g = std::sqrt(0.6) / 2;
                const double area = h * std::fabs(xj - xi) *
                                    (5 * eta(u0 + (0.5 - g) * h) + 8 * eta(u0 + 0.5 * h) +
                                     5 * eta(u0 + (0.5 + g) * h)) /
                                    18;
                (eta(0.5 * (u0 + u1)) < 0 ? out.negativeArea : out.positiveArea) += area;
            }
        }
    }
    return out;
}

std::vector<double> Points() {
    std::vector<double> p;
    double xi = 0;
    for (int j = 0; j < 11; ++j, xi += 0.1) p.push_back(xi);
    return p;
}

}  // namespace

TEST(DesignLoadValues, CodeValuesOfTheLoadsAndFactors) {
    // Pk: 270 kN up to 5 m, 2 (L0 + 130) kN from 5 to 50 m, 360 kN beyond.
    EXPECT_EQ(LanePointLoad(3), 270000);
    EXPECT_EQ(LanePointLoad(5), 270000);
    EXPECT_DOUBLE_EQ(LanePointLoad(20), 300000);
    EXPECT_DOUBLE_EQ(LanePointLoad(50), 360000);
    EXPECT_EQ(LanePointLoad(80), 360000);
    // mu at the frequencies of the issue, values worked out by hand from 0.1767 ln f - 0.0157.
    EXPECT_EQ(ImpactFactor(1.4), 0.05);
    EXPECT_NEAR(ImpactFactor(1.5), 0.055946, 1e-6);
    EXPECT_NEAR(ImpactFactor(5), 0.268688, 1e-6);
    EXPECT_NEAR(ImpactFactor(14), 0.450621, 1e-6);
    EXPECT_EQ(ImpactFactor(15), 0.45);
    const double lanes[9] = {1, 1.20, 1.00, 0.78, 0.67, 0.60, 0.55, 0.52, 0.50};
    for (int n = 1; n <= 8; ++n) EXPECT_EQ(LaneReductionFactor(n), lanes[n]) << n;
    EXPECT_EQ(LongitudinalReductionFactor(149.9), 1);
    EXPECT_EQ(LongitudinalReductionFactor(150), 0.97);
    EXPECT_EQ(LongitudinalReductionFactor(450), 0.96);
    EXPECT_EQ(LongitudinalReductionFactor(600), 0.95);
    EXPECT_EQ(LongitudinalReductionFactor(999), 0.94);
    EXPECT_EQ(LongitudinalReductionFactor(1200), 0.93);

    DesignLoadOptions o;
    EXPECT_TRUE(ParseImpactOption("auto", o));
    EXPECT_EQ(o.impact, DesignLoadOptions::kAuto);
    EXPECT_TRUE(ParseImpactOption("5", o));
    EXPECT_EQ(o.impact, DesignLoadOptions::kFrequency);
    EXPECT_EQ(o.impactValue, 5);
    EXPECT_TRUE(ParseImpactOption("mu=0.3", o));
    EXPECT_EQ(o.impact, DesignLoadOptions::kMu);
    EXPECT_EQ(o.impactValue, 0.3);
    for (const char* bad : {"", "0", "-2", "mu=", "mu=-0.1", "5Hz", "nan", "mu=inf"})
        EXPECT_FALSE(ParseImpactOption(bad, o)) << bad;
}

TEST_F(DesignLoadTest, SimpleSpanGivesTheClosedForms) {
    // A span that is no whole number of 0.1 m, in elements whose ends are off the grid.
    const double L = 17.33;
    auto f = Beam({L}, 7);
    ASSERT_TRUE(f);
    const double qk = 10500, Pk = 2000 * (L + 130);
    for (int type : {11, 12}) {
        const double k = type == 11 ? 1.0 : 0.75;
        const EnvelopeData m = Envelope(*f, type, 3);
        // Sagging under downward loads is negative; the influence line of mid-span is the
        // triangle, the largest moment anywhere is at mid-span (within the 11-point grid:
        // element 4, point 0.5 is mid-span).
        EXPECT_NEAR(m.minima[11 * 3 + 5], -k * (qk * L * L / 8 + Pk * L / 4), 1e-9 * Pk * L);
        EXPECT_NEAR(m.maxima[11 * 3 + 5], 0, 1e-9 * Pk * L);
        // At a point x the moment is q x (L - x) / 2 + P x (L - x) / L.
        const double x = 0.3 * f->m_elements[0].length;
        EXPECT_NEAR(m.minima[3], -k * (qk * x * (L - x) / 2 + Pk * x * (L - x) / L),
                    1e-9 * Pk * L);
        // Shear at the left support: the whole span at ordinate up to 1, and 1.2 Pk.
        const EnvelopeData v = Envelope(*f, type, 2);
        const double support = k * (qk * L / 2 + 1.2 * Pk);
        EXPECT_NEAR(std::max(std::fabs(v.maxima[0]), std::fabs(v.minima[0])), support,
                    1e-9 * support);
    }
}

TEST_F(DesignLoadTest, LaneEnvelopesEqualABruteForceWalk) {
    for (const std::vector<double>& spans :
         {std::vector<double>{12, 16}, std::vector<double>{20, 31.7, 20}}) {
        auto f = Beam(spans, spans.size() == 2 ? 5 : 6);
        ASSERT_TRUE(f);
        const double L0 = f->DesignSpan();
        EXPECT_NEAR(L0, spans.size() == 2 ? 16 : 31.7, 1e-12);
        const double qk = 10500, Pk = 2000 * (L0 + 130);
        for (int q : {3, 2, 1}) {
            const EnvelopeData d = Envelope(*f, 11, q);
            double scale = 0;
            for (double v : d.maxima) scale = std::max(scale, std::fabs(v));
            for (double v : d.minima) scale = std::max(scale, std::fabs(v));
            const std::vector<double> points = Points();
            std::vector<double> state(static_cast<size_t>(f->m_nDof));
            for (int e = 0; e < f->m_nElements; ++e) {
                for (int j = 0; j < 11; ++j) {
                    InfluenceRequest r;
                    r.element = e, r.position = points[j], r.quantity = q;
                    f->ComputeInfluenceLineInto(r, state.data());
                    const BruteLane b = BruteForce(*f, r, state);
                    const double P = q == 2 ? 1.2 * Pk : Pk;
                    const double hi = -qk * b.negativeArea - P * b.smallest;
                    const double lo = -qk * b.positiveArea - P * b.largest;
                    const size_t at = 11 * e + j;
                    const double tol = 1e-9 * std::max(std::fabs(hi), 1e-3 * scale);
                    const double tolLo = 1e-9 * std::max(std::fabs(lo), 1e-3 * scale);
                    EXPECT_NEAR(d.maxima[at], hi, tol) << "q " << q << " e " << e << " j " << j;
                    EXPECT_NEAR(d.minima[at], lo, tolLo) << "q " << q << " e " << e << " j " << j;
                }
            }
        }
    }
}

TEST_F(DesignLoadTest, PreparedWeightsFitTheSameCubicsBitForBit) {
    // The search reads the path pieces through weights prepared once; the cubics must be
    // those of the direct evaluation, to the last bit, on and off the section's element.
    auto f = Beam({20, 31.7, 20}, 6);
    ASSERT_TRUE(f);
    std::vector<PathPiece> path;
    std::vector<PieceWeights> weights;
    f->PathPieces(path);
    f->PathPieceWeights(path, weights);
    std::vector<double> state(static_cast<size_t>(f->m_nDof));
    std::vector<PieceCubic> direct, prepared;
    for (int q = 1; q <= 3; ++q) {
        for (int e = 0; e < f->m_nElements; ++e) {
            for (double xi : Points()) {
                InfluenceRequest r{e, xi, q};
                f->ComputeInfluenceLineInto(r, state.data());
                f->LinePieces(path, r, state.data(), direct);
                f->LinePieces(path, r, state.data(), prepared, &weights);
                ASSERT_EQ(direct.size(), prepared.size());
                for (size_t i = 0; i < direct.size(); ++i)
                    EXPECT_EQ(std::memcmp(direct[i].c, prepared[i].c, sizeof direct[i].c), 0)
                        << "q " << q << " e " << e << " xi " << xi << " piece " << i;
            }
        }
    }
}

TEST_F(DesignLoadTest, VehicleLoadIsOneVehicleOfFiveAxles) {
    // On a long simple span the largest mid-span moment of a single five-axle vehicle
    // against a walk of the vehicle over the triangle line of mid-span.
    const double L = 40;
    auto f = Beam({L}, 8);
    ASSERT_TRUE(f);
    const EnvelopeData m = Envelope(*f, 13, 3);
    const double axles[5] = {30e3, 120e3, 120e3, 140e3, 140e3};
    const double offsets[5] = {0, 3.0, 4.4, 11.4, 12.8};
    double best = 0;
    for (int k = -200; k <= 600; ++k) {
        for (int dir : {1, -1}) {
            double v = 0;
            for (int a = 0; a < 5; ++a) {
                const double x = 0.1 * k - dir * offsets[a];
                if (x >= 0 && x <= L) v += axles[a] * (x <= L / 2 ? x / 2 : (L - x) / 2);
            }
            best = std::max(best, v);
        }
    }
    // Element 4 ends at mid-span (point 1.0 of element 4, 0-based 3).
    EXPECT_NEAR(m.minima[11 * 3 + 10], -best, 1e-6 * best);
}

TEST_F(DesignLoadTest, AGivenCalculationSpanReplacesTheSupportDistance) {
    // Pk 270 kN below 5 m instead of 2 (16 + 130) kN.
    auto f = Beam({16}, 4);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->DesignSpan(), 16);
    const EnvelopeData a = Envelope(*f, 11, 3);
    f->m_designLoad.span = 3;
    EXPECT_EQ(f->DesignSpan(), 3);
    const EnvelopeData b = Envelope(*f, 11, 3);
    // Mid-span: Pk sits at the ordinate 16/4 = 4.
    EXPECT_NEAR(a.minima[11 * 1 + 10] - b.minima[11 * 1 + 10], -(2000 * (16 + 130) - 270e3) * 4,
                1e-6 * 270e3);
}

TEST_F(DesignLoadTest, FactorsScaleTheEnvelopeAndAreStated) {
    std::string girder;
    ASSERT_TRUE(ReadWholeFile(SourcePath("examples/three_span_girder.fem"), girder));
    auto f = Load(girder, true, "g");
    ASSERT_TRUE(f) << LastMessage();
    const EnvelopeData plain = Envelope(*f, 11, 3);
    f->m_designLoad.impact = DesignLoadOptions::kAuto;
    f->m_designLoad.lanes = 3;
    f->m_designLoad.distribution = 0.8;
    const EnvelopeData factored = Envelope(*f, 11, 3);
    ASSERT_EQ(f->m_designFactors.mode, 1);
    ASSERT_TRUE(f->m_nModes > 0);
    const double hz = f->m_omega[f->m_modeOrder[0]] / (2 * M_PI);
    EXPECT_EQ(f->m_designFactors.frequency, hz);
    const double factor = (1 + (0.1767 * std::log(hz) - 0.0157)) * 3 * 0.78 * 0.8;
    for (size_t i = 0; i < plain.maxima.size(); ++i) {
        EXPECT_NEAR(factored.maxima[i], factor * plain.maxima[i], 1e-12 * plain.maxValue);
        EXPECT_NEAR(factored.minima[i], factor * plain.minima[i], 1e-12 * plain.maxValue);
    }
    const std::string text = ReadFile("g_弯矩包络图数据_公路I级.out");
    EXPECT_EQ(text.find("弯矩包络图数据:   公路-I级\nL0 = 40.000 m, f = "), 0u) << text.substr(0, 200);
    // The crowd load takes no design factor.
    Envelope(*f, 0, 3);
    EXPECT_EQ(f->m_designFactors.total, 1);
}

TEST_F(DesignLoadTest, LanePlacementFileReproducesTheValue) {
    auto f = Beam({12, 16}, 5, {"4 0.4375 3", "4 0.4375 2", "6 0 3", "8 0.3 5"});
    ASSERT_TRUE(f);
    for (int line = 0; line < 4; ++line) {
        for (int entry : {35, 36, 37, 38}) {
            CLiveLoad ld;
            LiveLoadPlacement p;
            ASSERT_TRUE(f->PlaceLiveLoad(line, entry, ld, p)) << LastMessage();
            // The moment over the middle support is negative everywhere: no region for the
            // largest value.
            EXPECT_EQ(p.laneRegions.empty(), line == 2 && (entry == 36 || entry == 38))
                << line << " " << entry;
            auto g = Load(ReadFile("m_活载.fem"), true, "check");
            ASSERT_TRUE(g) << LastMessage();
            const InfluenceRequest& r = f->m_ilRequests[line];
            double value = 0;
            if (r.quantity <= 3) {
                double v[3];
                const double x = r.position * g->m_elements[r.element].length;
                g->ForcesAt(r.element, 0, x, g->EndForces(r.element, 0), v[0], v[1], v[2]);
                value = v[r.quantity - 1];
            } else {
                // y displacement at the point from the nodal values of the element.
                const Element& el = g->m_elements[r.element];
                double d[6];
                ElementEndValues(*g, r.element, g->m_disp.data(), d);
                value = BeamShapeY(el.cos, el.sin, el.length, d, r.position);
            }
            EXPECT_NEAR(value, p.total, 1e-7 * std::fabs(p.total) + 1e-6) << line << " " << entry;
            const LiveLoadEntry& e = LiveLoadListEntry(entry);
            EXPECT_TRUE(e.sign ? p.total >= 0 : p.total <= 0) << line << " " << entry;
        }
    }
}
