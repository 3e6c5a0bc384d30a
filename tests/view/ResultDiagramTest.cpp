// The result diagrams: automatic scale, colours by sign, labels, element group, a missing
// internal-force file, edge stresses, the displaced shape and influence lines.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ViewTestSupport.h"
#include "platform/Format.h"
#include "platform/TextFile.h"
#include "view/ViewCommands.h"

namespace {

const CColour kMagenta = Rgb(255, 0, 255);
const CColour kGreen = Rgb(0, 128, 0);

// Ten unit elements from x = 0 to 10, pinned at both ends, 1000 down at node 6.
const char* const kTenElements =
    "11 10 0 1 1 1 2 0\n"
    "1 0 0 0 0\n11 10 0 0 1\n"
    "1 2e11\n1 0.02 2e-4 0 0 0.2 0.2\n"
    "1 1 2 1 1 1 0\n10 10 11 1 1 1 1\n"
    "1 110\n11 10\n"
    "1\n6 1 0 -1000 0\n0\n";

// Cantilever of length 4 (EI = 2e7) with 1000 down at its tip.
const char* const kCantilever =
    "2 1 0 1 1 1 1 0\n"
    "1 0 0 0 0\n2 4 0 0 0\n"
    "1 2e11\n1 0.01 1e-4 0 0 0.1 0.1\n"
    "1 1 2 1 1 1 0\n"
    "1 111\n"
    "1\n2 1 0 -1000 0\n0\n";

// The simple beam of span 10 with a loading path over its four elements and two lines:
// shear at the middle of element 3 and y displacement at the middle of element 2.
const char* const kBeamWithLines =
    "5 4 0 1 1 1 2 4\n"
    "1 0 0 0 0\n5 10 0 0 1\n"
    "1 2e11\n1 0.02 2e-4 0 0 0.15 0.25\n"
    "1 1 2 1 1 1 0\n4 4 5 1 1 1 1\n"
    "1 110\n5 10\n"
    "0\n0\n"
    "1 2 3 4\n2\n3 0.5 2\n2 0.5 5\n";

class ResultDiagramTest : public ViewTest {
protected:
    // Largest distance of a diagram pixel from the horizontal axis at y = 0, in logical units.
    int LargestOrdinate(const CRecordingSurface& s) const {
        const int axis = view->WorldToLogical(0, 0).y;
        int largest = 0;
        for (const CDrawOp& op : s.OfKind(CDrawOp::Pixel))
            largest = std::max(largest, std::abs(op.points[0].y - axis));
        return largest;
    }
    // The numbers written by the extreme labels (black text that parses as a number).
    std::vector<double> LabelValues(const CRecordingSurface& s) const {
        std::vector<double> values;
        for (const CDrawOp& op : s.OfKind(CDrawOp::Text)) {
            if (op.colour != Rgb(0, 0, 0)) continue;
            char* end = nullptr;
            const double v = std::strtod(op.text.c_str(), &end);
            if (end && *end == '\0') values.push_back(v);
        }
        return values;
    }
};

}  // namespace

TEST_F(ResultDiagramTest, MomentDiagramLargestOrdinateIsAShareOfTheHeight) {
    CMorvexView& v = Open(models::SimpleBeam(-1000));
    ASSERT_TRUE(v.Execute(ID_MOMENT));
    const CRecordingSurface first = Draw();
    // qL^2/8 = 12500 reaches a tenth of the 600-pixel drawing; the frame shows the factor.
    const double share = kOrdinateShare * 600 * kPixel;
    EXPECT_NEAR(LargestOrdinate(first), share, 1);
    const double factor = v.m_graphScale[graph::kMoment].factor;
    EXPECT_NEAR(factor * 12500 * v.m_scale, share, 1);
    EXPECT_EQ(frame.currentScale, factor);
    EXPECT_EQ(frame.panes[1], "工况：1");
    // The labels show the moment itself: the sagging moment qL^2/8 and 0 at the supports.
    std::vector<double> labels = LabelValues(first);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_NEAR(std::min(labels[0], labels[1]), -12500, 1);
    EXPECT_NEAR(std::max(labels[0], labels[1]), 0, 1);
    // Sagging is green, hanging below the beam.
    const int axis = v.WorldToLogical(0, 0).y;
    for (const CDrawOp& op : first.OfKind(CDrawOp::Pixel))
        if (op.points[0].y < axis) {
            EXPECT_EQ(op.colour, kGreen);
        }

    // A taller window keeps the share; magnifying twice quadruples the ordinates, the
    // printed values stay, and the magnification survives a change of graph and back.
    v.SetClientSize(800, 1200, kPixel);
    EXPECT_NEAR(LargestOrdinate(Draw()), kOrdinateShare * 1200 * kPixel, 1);
    v.SetClientSize(800, 600, kPixel);
    Draw();
    ASSERT_TRUE(v.Execute(ID_MAGNIFY));
    ASSERT_TRUE(v.Execute(ID_MAGNIFY));
    EXPECT_EQ(frame.currentScale, 4 * factor);
    const CRecordingSurface magnified = Draw();
    EXPECT_NEAR(LargestOrdinate(magnified), 4 * share, 2);
    EXPECT_EQ(LabelValues(magnified), LabelValues(first));
    ASSERT_TRUE(v.Execute(ID_SHEAR));
    EXPECT_NEAR(LargestOrdinate(Draw()), share, 1);
    ASSERT_TRUE(v.Execute(ID_MOMENT));
    EXPECT_NEAR(LargestOrdinate(Draw()), 4 * share, 2);
}

TEST_F(ResultDiagramTest, EveryGraphIsScaledByTheSameRule) {
    CMorvexView& v = Open(kBeamWithLines);
    ASSERT_EQ(v.m_nIlLines, 2);
    const double share = kOrdinateShare * 600 * kPixel;
    // The tips of the curves: distance of every polyline point from the deck axis.
    auto largestCurve = [&](const CRecordingSurface& s) {
        const int axis = v.WorldToLogical(0, 0).y;
        int largest = 0;
        for (const CDrawOp& op : s.OfKind(CDrawOp::Polyline))
            for (const CLPoint& p : op.points) largest = std::max(largest, std::abs(p.y - axis));
        return largest;
    };
    // Influence lines of a shear and of a displacement (about 1e-9 m/N) both show at once.
    ASSERT_TRUE(v.Execute(ID_INFLUENCE_LINE));
    EXPECT_NEAR(largestCurve(Draw()), share, 2);
    ASSERT_TRUE(v.Execute(ID_NEXT));
    EXPECT_EQ(v.m_lineIndex, 1);
    EXPECT_NEAR(largestCurve(Draw()), share, 2);
    // The user's magnification stays relative when the line changes.
    ASSERT_TRUE(v.Execute(ID_MAGNIFY));
    ASSERT_TRUE(v.Execute(ID_PREVIOUS));
    EXPECT_NEAR(largestCurve(Draw()), 2 * share, 4);
    EXPECT_EQ(frame.currentScale, v.m_graphScale[graph::kInfluence].factor);
}

TEST_F(ResultDiagramTest, AZeroDiagramKeepsFactorOne) {
    CMorvexView& v = Open(models::SimpleBeam(0));
    ASSERT_TRUE(v.Execute(ID_MOMENT));
    Draw();
    EXPECT_EQ(v.m_graphScale[graph::kMoment].factor, 1.0);
}

TEST_F(ResultDiagramTest, AWindowWithoutSizeScalesByTheStructure) {
    CMorvexView& v = Open(models::SimpleBeam(-1000));
    v.SetClientSize(0, 0, kPixel);
    ASSERT_TRUE(v.Execute(ID_MOMENT));
    Draw();
    EXPECT_NEAR(v.m_graphScale[graph::kMoment].factor * 12500, kOrdinateShare * 10, 1e-9);
}

TEST_F(ResultDiagramTest, OrdinatesAreColouredBySign) {
    CMorvexView& v = Open(models::SimpleBeam(-1000));
    ASSERT_TRUE(v.Execute(ID_SHEAR));
    const CRecordingSurface s = Draw();
    const int axis = v.WorldToLogical(0, 0).y;
    int above = 0, below = 0;
    for (const CDrawOp& op : s.OfKind(CDrawOp::Pixel)) {
        // A horizontal element draws a positive value above its axis.
        if (op.points[0].y > axis) {
            EXPECT_EQ(op.colour, kMagenta);
            ++above;
        } else {
            EXPECT_EQ(op.colour, kGreen);
            ++below;
        }
    }
    EXPECT_GT(above, 100);
    EXPECT_GT(below, 100);
    EXPECT_EQ(above + below, 4 * 101);
    // End ordinates in grey at both ends of every element.
    int grey = 0;
    for (const CDrawOp& op : s.OfKind(CDrawOp::Line))
        if (op.pen.colour == Rgb(150, 150, 150)) ++grey;
    EXPECT_EQ(grey, 8);
}

TEST_F(ResultDiagramTest, ElementGroupDrawsEveryStepthElement) {
    CMorvexView& v = Open(kTenElements);
    EXPECT_EQ(v.m_groupFirst, 0);
    EXPECT_EQ(v.m_groupLast, 10);
    EXPECT_EQ(v.m_groupStep, 1);
    // Refused: an increment below 1, a first element of 0, a last one past the count.
    EXPECT_FALSE(v.ApplyElementGroup({4, 10, 0}));
    EXPECT_FALSE(v.ApplyElementGroup({4, 10, -2}));
    EXPECT_FALSE(v.ApplyElementGroup({0, 10, 2}));
    EXPECT_FALSE(v.ApplyElementGroup({4, 11, 2}));
    EXPECT_EQ(v.m_groupFirst, 0);
    EXPECT_EQ(v.m_groupStep, 1);
    ASSERT_TRUE(v.ApplyElementGroup({4, 10, 2}));
    EXPECT_EQ(v.m_groupFirst, 3);

    ASSERT_TRUE(v.Execute(ID_MOMENT));
    const CRecordingSurface s = Draw();
    EXPECT_EQ(s.OfKind(CDrawOp::Pixel).size(), 4u * 101);
    // The grey end ordinates stand at the ends of elements 4, 6, 8 and 10 (x = 3 ... 10).
    std::vector<int> ends;
    for (const CDrawOp& op : s.OfKind(CDrawOp::Line))
        if (op.pen.colour == Rgb(150, 150, 150)) ends.push_back(op.points[0].x);
    std::vector<int> expected;
    for (int x : {3, 4, 5, 6, 7, 8, 9, 10}) expected.push_back(v.WorldToLogical(x, 0).x);
    EXPECT_EQ(ends, expected);
}

TEST_F(ResultDiagramTest, MissingInternalForceFileLeavesTheStructureAndSaysSo) {
    CMorvexView& v = Open(models::SimpleBeam(-1000));
    RemoveFile(engine->CaseBinaryPath(1));
    ASSERT_TRUE(v.Execute(ID_MOMENT));
    const CRecordingSurface s = Draw();
    EXPECT_TRUE(s.OfKind(CDrawOp::Pixel).empty());
    EXPECT_EQ(s.OfKind(CDrawOp::Rectangle).size(), 5u);
    EXPECT_EQ(frame.panes[1], "工况：1（内力文件无法打开）");
    EXPECT_TRUE(LabelValues(s).empty());
}

TEST_F(ResultDiagramTest, EdgeStressesFollowTheSectionModuli) {
    CMorvexView& v = Open(models::SimpleBeam(-1000));
    // Top and bottom fibres at midspan: M / (I / h) with M = -12500, I = 2e-4, h = 0.15, 0.25.
    ASSERT_TRUE(v.Execute(ID_UPPER_STRESS));
    const std::vector<double> upper = LabelValues(Draw());
    ASSERT_EQ(upper.size(), 2u);
    EXPECT_NEAR(std::min(upper[0], upper[1]) / (-12500 / (2e-4 / 0.15)), 1, 1e-3);
    ASSERT_TRUE(v.Execute(ID_LOWER_STRESS));
    const CRecordingSurface lower = Draw();
    const std::vector<double> lowerLabels = LabelValues(lower);
    ASSERT_EQ(lowerLabels.size(), 2u);
    EXPECT_NEAR(std::max(lowerLabels[0], lowerLabels[1]) / (12500 / (2e-4 / 0.25)), 1, 1e-3);
    EXPECT_NEAR(LargestOrdinate(lower), kOrdinateShare * 600 * kPixel, 1);
    for (const CDrawOp& op : lower.OfKind(CDrawOp::Line))  // no grey end ordinates
        EXPECT_NE(op.pen.colour, Rgb(150, 150, 150));
}

TEST_F(ResultDiagramTest, DisplacedShapeFollowsTheBeamSolution) {
    CMorvexView& v = Open(kCantilever);
    ASSERT_TRUE(v.Execute(ID_DISPLACED_SHAPE));
    const CRecordingSurface s = Draw();
    const double k = v.m_graphScale[graph::kDisplaced].factor;
    const auto curves = s.OfKind(CDrawOp::Polyline);
    ASSERT_EQ(curves.size(), 1u);
    ASSERT_EQ(curves[0].points.size(), 21u);
    EXPECT_EQ(curves[0].pen.colour, kMagenta);
    // v(x) = -P x^2 (3L - x) / (6 EI), magnified k times.
    const double P = 1000, L = 4, EI = 2e11 * 1e-4;
    for (int i : {5, 10, 20}) {
        const double x = L * i / 20;
        const CLPoint expected = v.WorldToLogical(x, -k * P * x * x * (3 * L - x) / (6 * EI));
        EXPECT_NEAR(curves[0].points[i].x, expected.x, 1);
        EXPECT_NEAR(curves[0].points[i].y, expected.y, 1);
    }
    EXPECT_NEAR(v.m_minValue, -k * P * L * L * L / (3 * EI), 1e-9);
    // The tip, the largest ordinate, reaches a tenth of the drawing's height.
    EXPECT_NEAR(v.m_minValue * v.m_scale, -kOrdinateShare * 600 * kPixel, 0.5);
    EXPECT_EQ(frame.panes[1], "工况：1");
}

TEST_F(ResultDiagramTest, InfluenceLinesJumpAtAForceSectionOnly) {
    CMorvexView& v = Open(kBeamWithLines);
    // The states of both lines, filled by hand: a smooth hump for the displacement line, and
    // for the shear line the unit jump of a load crossing its section at x = 6.25.
    const int nDof = engine->m_nDof;
    engine->m_ilStates.assign(3 * static_cast<size_t>(nDof), 0.0);
    const double shearUy[5] = {0, 0.1, 0.3, -0.2, 0};
    const double dispUy[5] = {0, -0.4, -0.5, -0.3, 0};
    for (int n = 0; n < 5; ++n) {
        engine->m_ilStates[engine->m_dofNum[n][1]] = shearUy[n];
        engine->m_ilStates[nDof + engine->m_dofNum[n][1]] = dispUy[n];
    }
    const InfluenceRequest& shear = engine->m_ilRequests[0];
    const double before = engine->ValueOnPathElement(2, 0.5 - 1e-9, shear, &engine->m_ilStates[0]);
    const double after = engine->ValueOnPathElement(2, 0.5, shear, &engine->m_ilStates[0]);
    EXPECT_NEAR(before - after, 1, 1e-6);

    ASSERT_TRUE(v.Execute(ID_INFLUENCE_LINE));
    const CRecordingSurface s = Draw();
    EXPECT_EQ(frame.panes[1], "影响线：1");
    const auto curves = s.OfKind(CDrawOp::Polyline);
    const double k = v.m_graphScale[graph::kInfluence].factor;
    ASSERT_EQ(curves.size(), 5u);  // elements 1, 2, 4 whole, element 3 in two pieces
    EXPECT_EQ(curves[2].points.size(), 12u);
    EXPECT_EQ(curves[3].points.size(), 11u);
    EXPECT_EQ(curves[2].points.back(), v.WorldToLogical(6.25, before * k));
    EXPECT_EQ(curves[3].points.front(), v.WorldToLogical(6.25, after * k));
    EXPECT_EQ(curves[2].points.front(), v.WorldToLogical(5, 0.3 * k));
    EXPECT_EQ(curves[3].points.back(), v.WorldToLogical(7.5, -0.2 * k));

    // The displacement line runs through its section without a break.
    ASSERT_TRUE(v.Execute(ID_NEXT));
    const CRecordingSurface d = Draw();
    EXPECT_EQ(frame.panes[1], "影响线：2");
    const auto pieces = d.OfKind(CDrawOp::Polyline);
    ASSERT_EQ(pieces.size(), 4u);
    for (size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i].points.size(), 21u);
        if (i > 0) {
            EXPECT_EQ(pieces[i].points.front(), pieces[i - 1].points.back());
        }
    }
    const double kd = v.m_graphScale[graph::kInfluence].factor;
    EXPECT_EQ(pieces[1].points.back(), v.WorldToLogical(5, -0.5 * kd));
    // Only vertical ordinates: every curve point stands above or below its base point.
    EXPECT_EQ(pieces[1].points[10].x, v.WorldToLogical(3.75, 0).x);
}

TEST_F(ResultDiagramTest, DisplacedShapeOfATurnedCantileverIsTurnedToo) {
    // The cantilever above turned to the direction (0.6, 0.8), its tip load with it: every
    // point of the shape is the deflection of the level one, along the turned normal.
    CMorvexView& v = Open(
        "2 1 0 1 1 1 1 0\n1 0 0 0 0\n2 2.4 3.2 0 0\n1 2e11\n1 0.01 1e-4 0 0 0.1 0.1\n"
        "1 1 2 1 1 1 0\n1 111\n1\n2 1 800 -600 0\n0\n");
    ASSERT_TRUE(v.Execute(ID_DISPLACED_SHAPE));
    const CRecordingSurface s = Draw();
    const double k = v.m_graphScale[graph::kDisplaced].factor;
    const auto curves = s.OfKind(CDrawOp::Polyline);
    ASSERT_EQ(curves.size(), 1u);
    ASSERT_EQ(curves[0].points.size(), 21u);
    const double P = 1000, L = 4, EI = 2e11 * 1e-4, c = 0.6, sn = 0.8;
    for (int i : {3, 7, 10, 14, 20}) {
        const double x = L * i / 20, w = -k * P * x * x * (3 * L - x) / (6 * EI);
        const CLPoint expected = v.WorldToLogical(c * x - sn * w, sn * x + c * w);
        EXPECT_NEAR(curves[0].points[i].x, expected.x, 1) << i;
        EXPECT_NEAR(curves[0].points[i].y, expected.y, 1) << i;
    }
}

TEST_F(ResultDiagramTest, ProbeReadsTheGraphUnderTheMouse) {
    CMorvexView& v = Open(models::SimpleBeam(-1000));
    ASSERT_TRUE(v.Execute(ID_MOMENT));
    Draw();
    // The device point over midspan (x = 5 on the beam axis).
    const CLPoint at = v.WorldToLogical(5, 0);
    const CLPoint device{static_cast<int>(std::lround(at.x / kPixel)),
                         static_cast<int>(std::lround(-at.y / kPixel))};
    const std::string moment = v.ProbeText(device);
    EXPECT_NE(moment.find("单元2"), std::string::npos) << moment;
    EXPECT_NE(moment.find("M=-1.2500e+004"), std::string::npos) << moment;
    // The mouse move puts it in the prompt pane; far from the beam nothing is read.
    v.OnMouseMove(device, false);
    EXPECT_EQ(frame.panes[0], moment);
    EXPECT_TRUE(v.ProbeText({device.x, device.y + 200}).empty());
    v.OnMouseMove({device.x, device.y + 200}, false);
    EXPECT_EQ(frame.panes[0], "就绪");
    // The displaced shape: the deflection 5qL^4/(384EI) at midspan.
    ASSERT_TRUE(v.Execute(ID_DISPLACED_SHAPE));
    Draw();
    double ux = 0, uy = 0;
    const std::string shape = v.ProbeText(device);
    ASSERT_NE(shape.find("uy="), std::string::npos) << shape;
    ASSERT_EQ(std::sscanf(shape.substr(shape.find("ux=")).c_str(), "ux=%lf m  uy=%lf", &ux, &uy),
              2);
    EXPECT_NEAR(uy, -5 * 1000 * 1e4 / (384 * 2e11 * 2e-4), 1e-6);
    // The structure alone has no values, and the value of the last graph goes with it.
    v.OnMouseMove(device, false);
    EXPECT_EQ(frame.panes[0], shape);
    v.OnGraphSelector(graph::kStructure);
    EXPECT_TRUE(v.ProbeText(device).empty());
    EXPECT_EQ(frame.panes[0], "就绪");
}

namespace {

// Spans of 10 m in four elements each under a uniform load q in one case.
std::string Spans(int spans, double q) {
    const int elements = 4 * spans;
    std::string m = std::to_string(elements + 1) + " " + std::to_string(elements) + " 0 1 1 1 " +
                    std::to_string(spans + 1) + " 0\n";
    m += "1 0 0 0 0\n" + std::to_string(elements + 1) + " " + std::to_string(10 * spans) +
         " 0 0 1\n1 2e11\n1 0.02 2e-4 0 0 0.15 0.25\n";
    m += "1 1 2 1 1 1 0\n" + std::to_string(elements) + " " + std::to_string(elements) + " " +
         std::to_string(elements + 1) + " 1 1 1 1\n";
    m += "1 110\n";
    for (int s = 1; s <= spans; ++s) m += std::to_string(1 + 4 * s) + " 10\n";
    m += "0\n" + std::to_string(elements) + "\n";
    for (int e = 1; e <= elements; ++e)
        m += std::to_string(e) + " 1 3 100 0 " + std::to_string(q) + "\n";
    return m;
}

}  // namespace

TEST_F(ResultDiagramTest, EverySpanGetsItsExtremesLabelledWithoutOverlap) {
    CMorvexView& v = Open(Spans(3, -1000));
    ASSERT_TRUE(v.Execute(ID_MOMENT));
    const CRecordingSurface s = Draw();
    const std::vector<double> values = LabelValues(s);
    // Beyond the two overall extremes: the sagging moment of the middle span, qL^2/40.
    ASSERT_GE(values.size(), 4u);
    bool middle = false;
    for (double value : values) middle |= std::fabs(std::fabs(value) - 2500) < 25;
    EXPECT_TRUE(middle);

    // The labels in engineering units: kN·m, the same numbers divided by 1000.
    ASSERT_TRUE(v.CommandState(ID_ENGINEERING_UNITS).enabled);
    EXPECT_FALSE(v.CommandState(ID_ENGINEERING_UNITS).checked);
    ASSERT_TRUE(v.Execute(ID_ENGINEERING_UNITS));
    EXPECT_TRUE(v.CommandState(ID_ENGINEERING_UNITS).checked);
    std::vector<double> kilo;
    for (const CDrawOp& op : Draw().OfKind(CDrawOp::Text)) {
        if (op.colour != Rgb(0, 0, 0)) continue;
        const std::string unit = " kN·m";
        ASSERT_GT(op.text.size(), unit.size());
        EXPECT_EQ(op.text.substr(op.text.size() - unit.size()), unit) << op.text;
        kilo.push_back(std::stod(op.text));
    }
    ASSERT_EQ(kilo.size(), values.size());
    for (size_t k = 0; k < kilo.size(); ++k) EXPECT_NEAR(kilo[k], values[k] / 1000, 1e-3);
}

TEST_F(ResultDiagramTest, LabelsOfALongGirderDoNotOverlap) {
    // Twenty spans in a small window: many span extremes compete for the same room.
    CMorvexView& v = Open(Spans(20, -1000));
    v.SetClientSize(400, 300, kPixel);
    ASSERT_TRUE(v.Execute(ID_MOMENT));
    const CRecordingSurface s = Draw();
    std::vector<CLPoint> anchors;
    for (const CDrawOp& op : s.OfKind(CDrawOp::Text))
        if (op.colour == Rgb(0, 0, 0) && !op.points.empty()) anchors.push_back(op.points[0]);
    ASSERT_GE(anchors.size(), 2u);
    // Text 25 units high: two labels closer than that in height must be apart sideways by
    // more than a short number's width.
    for (size_t a = 0; a < anchors.size(); ++a)
        for (size_t b = a + 1; b < anchors.size(); ++b) {
            const bool sameRow = std::abs(anchors[a].y - anchors[b].y) < 25;
            EXPECT_FALSE(sameRow && std::abs(anchors[a].x - anchors[b].x) < 60)
                << anchors[a].x << "," << anchors[a].y << " / " << anchors[b].x << ","
                << anchors[b].y;
        }
}
