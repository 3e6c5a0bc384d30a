// The live loads in the result view: vehicles placed from the live-load list with their
// arrows and total, the placement file, the influence-line listing, the live-load type
// dialog, the envelope commands and the envelope diagram.
#include <cmath>
#include <cstdlib>

#include "ViewTestSupport.h"
#include "liveload/Combination.h"
#include "liveload/Envelope.h"
#include "liveload/LiveLoad.h"
#include "liveload/Models.h"
#include "platform/Format.h"
#include "platform/TextFile.h"
#include "view/ViewCommands.h"


namespace {

// Moment at x = 8.25 of the first 12 m span.
const std::vector<std::string> kMomentLine = {"4 0.4375 3"};

constexpr CColour kGreen = Rgb(50, 150, 50);
constexpr CColour kBlack = Rgb(0, 0, 0);

class LiveLoadViewTest : public ViewTest {
protected:
    CMorvexView& OpenBeam(std::vector<double> spans = {12, 16}) {
        return Open(ContinuousBeam(spans, 5, kMomentLine));
    }

    // The line operations of the vehicle drawing in one colour: those with both ends on
    // the rows of the arrows (G, G + 12, G + 30).
    std::vector<CDrawOp> ArrowLines(const CRecordingSurface& s, CColour colour) const {
        const int g = view->WorldToLogical(0, 3.0).y;
        std::vector<CDrawOp> lines;
        for (const CDrawOp& op : s.OfKind(CDrawOp::Line)) {
            const auto onRow = [g](int y) { return y == g || y == g + 12 || y == g + 30; };
            if (op.pen.colour == colour && onRow(op.points[0].y) && onRow(op.points[1].y))
                lines.push_back(op);
        }
        return lines;
    }

    // The number after "荷载引起的最值为：", NAN when the text is not drawn.
    static double DrawnTotal(const CRecordingSurface& s) {
        const std::string head = "荷载引起的最值为：";
        for (const CDrawOp& op : s.OfKind(CDrawOp::Text))
            if (op.text.rfind(head, 0) == 0)
                return std::strtod(op.text.c_str() + head.size(), nullptr);
        return NAN;
    }

    // The moment at the section of the line in the placement file analysed on its own.
    double Reanalysed() {
        auto g = Load(ReadFile("m_活载.fem"), true, "check");
        EXPECT_TRUE(g) << LastMessage();
        if (!g) return NAN;
        const InfluenceRequest& r = engine->m_ilRequests[0];
        double n, q, m;
        const double x = r.position * g->m_elements[r.element].length;
        g->ForcesAt(r.element, 0, x, g->EndForces(r.element, 0), n, q, m);
        return m;
    }
};

}  // namespace

TEST_F(LiveLoadViewTest, PlacedTrailerIsDrawnWithItsArrowsAndItsTotal) {
    CMorvexView& v = OpenBeam();
    // Only the influence-line graph takes a live load.
    v.OnLiveLoadChoice(21);
    EXPECT_TRUE(v.m_liveLoadPlacements.empty());
    EXPECT_FALSE(Exists("m_活载.fem"));
    EXPECT_FALSE(v.CommandState(ID_LIVE_LOAD_SELECTOR).enabled);

    ASSERT_TRUE(v.Execute(ID_INFLUENCE_LINE));
    EXPECT_TRUE(v.CommandState(ID_LIVE_LOAD_SELECTOR).enabled);
    v.OnLiveLoadChoice(21);  // 挂车80最大值: one heavy vehicle, no main vehicles
    EXPECT_EQ(v.m_liveLoadItem, 21);
    ASSERT_EQ(v.m_liveLoadPlacements.size(), 1u);
    ASSERT_TRUE(Exists("m_活载.fem"));

    const CRecordingSurface s = Draw();
    const double x0 = v.m_liveLoadPlacements[0];
    const std::vector<double>& offsets = v.m_placeLoad.m_heavyOffsets;
    ASSERT_GE(offsets.size(), 2u);
    const std::vector<CDrawOp> green = ArrowLines(s, kGreen);
    // Per load a shaft and two head lines, then the line joining the loads.
    ASSERT_EQ(green.size(), 3 * offsets.size() + 1);
    const int g = v.WorldToLogical(0, 3.0).y;
    for (size_t k = 0; k < offsets.size(); ++k) {
        const int x = v.WorldToLogical(x0 - offsets[k], 3.0).x;  // the train runs towards +x
        const CDrawOp& shaft = green[3 * k];
        EXPECT_EQ(shaft.points[0], (CLPoint{x, g + 30}));
        EXPECT_EQ(shaft.points[1], (CLPoint{x, g}));
        EXPECT_EQ(green[3 * k + 1].points[1], (CLPoint{x - 3, g + 12}));
        EXPECT_EQ(green[3 * k + 2].points[1], (CLPoint{x + 3, g + 12}));
    }
    EXPECT_EQ(green.back().points[0], (CLPoint{v.WorldToLogical(x0, 3.0).x, g}));

    // The total on the window is what the placement file gives when analysed by itself,
    // and no other position of the trailer on the grid does better.
    const double total = DrawnTotal(s);
    ASSERT_FALSE(std::isnan(total));
    EXPECT_NEAR(total, Reanalysed(), 1e-5 * std::fabs(total) + 1e-3);
    const CLiveLoad& ld = v.m_placeLoad;
    for (int k = 0; k <= ld.m_nSteps; ++k) {
        double e = 0;
        for (size_t i = 0; i < offsets.size(); ++i)
            e += ld.m_heavyLoads[i] * engine->InfluenceValue(ld.m_xStart + 0.1 * k - offsets[i], 0);
        EXPECT_LE(e, total * (1 + 1e-6) + 1e-3) << k;
    }
}

TEST_F(LiveLoadViewTest, TrainDrawsItsMainVehiclesInBlackAndEntryZeroClears) {
    CMorvexView& v = OpenBeam({60, 80});
    ASSERT_TRUE(v.Execute(ID_INFLUENCE_LINE));
    v.OnLiveLoadChoice(12);  // 汽20最大值(←)
    ASSERT_GE(v.m_liveLoadPlacements.size(), 2u);
    EXPECT_FALSE(v.m_placeRightward);
    const CRecordingSurface s = Draw();
    const size_t mainLoads = v.m_placeLoad.m_mainOffsets.size();
    const size_t perMain = 3 * mainLoads + (mainLoads >= 2 ? 1 : 0);
    EXPECT_EQ(ArrowLines(s, kBlack).size(), perMain * (v.m_liveLoadPlacements.size() - 1));
    // Running towards -x, the loads trail to the right of the reference point.
    const std::vector<CDrawOp> green = ArrowLines(s, kGreen);
    ASSERT_FALSE(green.empty());
    const double x0 = v.m_liveLoadPlacements[0];
    EXPECT_EQ(green[3].points[0].x, v.WorldToLogical(x0 + v.m_placeLoad.m_heavyOffsets[1], 3.0).x);
    EXPECT_NEAR(DrawnTotal(s), Reanalysed(), 1e-5 * std::fabs(DrawnTotal(s)) + 1e-3);

    // "无活载" takes the vehicles and the total away and writes no file.
    std::remove(Path("m_活载.fem").c_str());
    v.OnLiveLoadChoice(0);
    EXPECT_TRUE(v.m_liveLoadPlacements.empty());
    const CRecordingSurface cleared = Draw();
    EXPECT_TRUE(ArrowLines(cleared, kGreen).empty());
    EXPECT_TRUE(std::isnan(DrawnTotal(cleared)));
    EXPECT_FALSE(Exists("m_活载.fem"));
    EXPECT_TRUE(host.messages.empty()) << LastMessage();
}

TEST_F(LiveLoadViewTest, InfluenceListingOpensInTheEditor) {
    CMorvexView& v = OpenBeam();
    EXPECT_FALSE(v.Execute(ID_INFLUENCE_OUTPUT));  // not on the structure graph
    ASSERT_TRUE(v.Execute(ID_INFLUENCE_LINE));
    ASSERT_TRUE(v.Execute(ID_INFLUENCE_OUTPUT));
    ASSERT_EQ(frame.openedFiles.size(), 1u);
    EXPECT_EQ(frame.openedFiles[0], engine->InfluenceListingPath(0));
    EXPECT_EQ(ReadFile("m_影响线数据1.out").rfind("\n第1条影响线：", 0), 0u);
}

TEST_F(LiveLoadViewTest, EnvelopeCommandsWriteTheFileThatTheDiagramDraws) {
    CMorvexView& v = OpenBeam();
    // The type dialog opens on type 1; OK stores the choice, cancel keeps it.
    window.typeAnswer = 3;
    ASSERT_TRUE(v.Execute(ID_LIVE_LOAD_TYPE));
    EXPECT_EQ(window.typeOffered, 1);
    EXPECT_EQ(v.m_envelopeType, 3);
    window.typeAnswer.reset();
    ASSERT_TRUE(v.Execute(ID_LIVE_LOAD_TYPE));
    EXPECT_EQ(v.m_envelopeType, 3);

    // Before the search the diagram has no file: one message, however often it is drawn.
    v.OnGraphSelector(graph::kMomentEnvelope);
    ASSERT_EQ(v.m_graphKind, graph::kMomentEnvelope);
    Draw();
    Draw();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind("内力包络图数据文件:", 0), 0u) << host.messages[0];
    EXPECT_EQ(v.Caption(), "包络图");

    host.messages.clear();
    engine->m_envelopeWorkers = 1;  // one worker reports every element it finishes
    ASSERT_TRUE(v.Execute(ID_MOMENT_ENVELOPE));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "弯矩包络图计算完毕！");
    // The search reports its progress as it goes.
    bool halfway = false, done = false;
    for (const std::string& st : host.statuses) {
        halfway = halfway || st.find("(50%)") != std::string::npos;
        done = done || st.find("(100%)") != std::string::npos;
    }
    EXPECT_TRUE(halfway && done);

    EnvelopeData data;
    ASSERT_TRUE(engine->ReadEnvelope(3, 3, data));
    const CRecordingSurface s = Draw();
    EXPECT_EQ(host.messages.size(), 1u) << LastMessage();
    std::vector<CDrawOp> maxima, minima;
    for (const CDrawOp& op : s.OfKind(CDrawOp::Polyline)) {
        if (op.points.size() != 11) continue;
        if (op.pen.colour == Rgb(255, 0, 255)) maxima.push_back(op);
        if (op.pen.colour == Rgb(0, 128, 0)) minima.push_back(op);
    }
    ASSERT_EQ(maxima.size(), 10u);
    ASSERT_EQ(minima.size(), 10u);
    // The largest ordinate is a tenth of the drawing's height from the deck axis.
    const int axis = v.WorldToLogical(0, 0).y;
    int largest = 0;
    for (const auto* set : {&maxima, &minima})
        for (const CDrawOp& op : *set)
            for (const CLPoint& p : op.points) largest = std::max(largest, std::abs(p.y - axis));
    EXPECT_NEAR(largest, kOrdinateShare * 600 * kPixel, 1);
    // The labels give the extremes unmagnified, the corner names the live load.
    EXPECT_FALSE(s.Texts(FormatString("%.4g", data.maxValue)).empty());
    EXPECT_FALSE(s.Texts(FormatString("%.4g", data.minValue)).empty());
    EXPECT_FALSE(s.Texts(LiveLoadEnvelopeLabel(3)).empty());

    // Without a type the search refuses to start.
    window.typeAnswer = -1;
    ASSERT_TRUE(v.Execute(ID_LIVE_LOAD_TYPE));
    host.messages.clear();
    ASSERT_TRUE(v.Execute(ID_SHEAR_ENVELOPE));
    EXPECT_EQ(host.messages, std::vector<std::string>{"请先选择活载类型！"});
}

TEST_F(LiveLoadViewTest, MomentEnvelopesLieOnTheSideOfTheirSign) {
    CMorvexView& v = OpenBeam();
    v.m_envelopeType = 3;
    // A positive moment (tension below) is drawn below the deck, to the right of the member.
    for (int q : {3}) {
        ASSERT_TRUE(engine->ComputeEnvelope(3, q)) << LastMessage();
        EnvelopeData d;
        ASSERT_TRUE(engine->ReadEnvelope(3, q, d));
        v.OnGraphSelector(graph::kMomentEnvelope);
        const CRecordingSurface s = Draw();
        // The deck's row and the logical direction of world -y, in the mapping just drawn.
        const int axis = v.WorldToLogical(0, 0).y;
        const int right = v.WorldToLogical(0, -1).y > axis ? 1 : -1;
        std::vector<CDrawOp> maxima;
        for (const CDrawOp& op : s.OfKind(CDrawOp::Polyline))
            if (op.points.size() == 11 && op.pen.colour == Rgb(255, 0, 255)) maxima.push_back(op);
        ASSERT_EQ(maxima.size(), 10u);
        int checked = 0;
        for (int e = 0; e < 10; ++e) {
            for (int j = 0; j < 11; ++j) {
                const int off = maxima[e].points[j].y - axis;
                if (std::abs(off) < 3) continue;  // too close to the deck to tell a side
                const bool positive = d.maxima[11 * e + j] > 0;
                const int expected = positive ? right : -right;
                EXPECT_EQ(off > 0 ? 1 : -1, expected) << "quantity " << q << " element " << e
                                                      << " point " << j;
                ++checked;
            }
        }
        EXPECT_GT(checked, 30);
    }
}

TEST_F(LiveLoadViewTest, CombinationGraphDrawsEveryQuantityOfEveryCombination) {
    OpenBeam();
    // Nothing combined yet: the graph is not offered.
    EXPECT_FALSE(view->CommandState(ID_COMBINATION_ENVELOPE_GRAPH).enabled);
    view->OnGraphSelector(graph::kCombination);
    EXPECT_EQ(view->m_graphKind, graph::kStructure);

    // Combinations computed before the window opens are found beside the data file.
    WriteWholeFile("m_组合.txt", "组合 甲\n  活载 3 1.4\n组合 乙\n  活载 0 1.0\n");
    ASSERT_TRUE(engine->RunCombinations("m_组合.txt", "")) << LastMessage();
    CMorvexView& v = OpenBeam();
    host.messages.clear();
    v.OnGraphSelector(graph::kCombination);
    ASSERT_EQ(v.m_graphKind, graph::kCombination);
    ASSERT_EQ(v.m_combinations, (std::vector<std::string>{"乙", "甲"}));  // as found on disk
    for (int picture = 0; picture < 6; ++picture) {
        const std::string name = picture < 3 ? "乙" : "甲";
        const int quantity = 3 - picture % 3;
        if (picture > 0) {
            ASSERT_TRUE(v.Execute(ID_NEXT));
        }
        const CRecordingSurface s = Draw();
        const int axis = v.WorldToLogical(0, 0).y;
        EXPECT_EQ(v.Caption(), "组合包络图：" + name + " " +
                                   (quantity == 3   ? "弯矩"
                                    : quantity == 2 ? "剪力"
                                                    : "轴力"));
        EXPECT_FALSE(s.Texts("荷载组合：" + name).empty());
        EnvelopeData d;
        ASSERT_TRUE(ReadCombinationEnvelope(*engine, name, quantity, d));
        // The value under the mouse over element 3 is this picture's, between its points.
        const Element& el = engine->m_elements[2];
        const CLPoint at = v.WorldToLogical(engine->m_nodes[el.iNode].x + 0.37 * el.length, 0);
        const std::string probe = v.ProbeText({static_cast<int>(std::lround(at.x / kPixel)),
                                               static_cast<int>(std::lround(-at.y / kPixel))});
        const size_t values = probe.find("组合" + name + "  最大 ");
        double x = 0, hi = 0, lo = 0;
        ASSERT_EQ(std::sscanf(probe.c_str(), "单元3  x=%lf", &x), 1) << probe;
        ASSERT_NE(values, std::string::npos) << probe;
        ASSERT_EQ(std::sscanf(probe.c_str() + values + name.size() + 8, "  最大 %lf  最小 %lf", &hi,
                              &lo),
                  2)
            << probe;
        const double point = x / el.length * 10, w = point - std::floor(point);
        const size_t k = 22 + static_cast<size_t>(point);
        const double scale = 1e-3 * std::max(std::fabs(d.maxValue), std::fabs(d.minValue)) + 1e-9;
        EXPECT_NEAR(hi, (1 - w) * d.maxima[k] + w * d.maxima[k + 1], scale) << probe;
        EXPECT_NEAR(lo, (1 - w) * d.minima[k] + w * d.minima[k + 1], scale) << probe;
        std::vector<CDrawOp> lines[2];
        for (const CDrawOp& op : s.OfKind(CDrawOp::Polyline)) {
            if (op.points.size() != 11) continue;
            if (op.pen.colour == Rgb(255, 0, 255)) lines[0].push_back(op);
            if (op.pen.colour == Rgb(0, 128, 0)) lines[1].push_back(op);
        }
        ASSERT_EQ(lines[0].size(), 10u);
        ASSERT_EQ(lines[1].size(), 10u);
        // Every ordinate is the file's value at one common scale.
        const double largest = std::max(std::fabs(d.maxValue), std::fabs(d.minValue));
        if (largest == 0) continue;  // the axial force of a straight beam
        const double perUnit = kOrdinateShare * 600 * kPixel / largest;
        for (int side = 0; side < 2; ++side)
            for (int e = 0; e < 10; ++e)
                for (int j = 0; j < 11; ++j) {
                    const double value = (side == 0 ? d.maxima : d.minima)[11 * e + j];
                    EXPECT_NEAR(std::abs(lines[side][e].points[j].y - axis),
                                std::fabs(value) * perUnit, 1.5)
                        << name << " " << quantity << " element " << e + 1 << " point " << j;
                }
        EXPECT_FALSE(s.Texts(FormatString("%.4g", d.maxValue)).empty());
        EXPECT_FALSE(s.Texts(FormatString("%.4g", d.minValue)).empty());
    }
    EXPECT_FALSE(v.CommandState(ID_NEXT).enabled);  // the last picture
    EXPECT_TRUE(host.messages.empty()) << LastMessage();

    // A cut file is reported once and draws no diagram.
    const std::string bin = ReadFile("m_组合_甲.bin");
    WriteWholeFile("m_组合_甲.bin", bin.substr(0, bin.size() - 1));
    const CRecordingSurface s = Draw();
    Draw();
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "荷载组合数据文件:" + engine->CombinationBinaryPath("甲") + "不完整！");
    EXPECT_TRUE(s.Texts("荷载组合：甲").empty());
    // Nor is it read again under the mouse.
    const CLPoint at = v.WorldToLogical(engine->m_nodes[2].x, 0);
    EXPECT_TRUE(v.ProbeText({static_cast<int>(std::lround(at.x / kPixel)),
                             static_cast<int>(std::lround(-at.y / kPixel))})
                    .empty());
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(LiveLoadViewTest, TypeDialogOptionsScaleTheEnvelopeAndCombinationsRunFromTheMenu) {
    CMorvexView& v = OpenBeam();
    engine->m_envelopeWorkers = 1;
    window.typeAnswer = 11;
    ASSERT_TRUE(v.Execute(ID_LIVE_LOAD_TYPE));
    ASSERT_TRUE(v.Execute(ID_MOMENT_ENVELOPE)) << LastMessage();
    EnvelopeData plain;
    ASSERT_TRUE(engine->ReadEnvelope(11, 3, plain));

    // Two lanes (2 x 1.00) and mu = 0.3 chosen in the dialog: every value times 2.6.
    DesignLoadOptions design;
    design.lanes = 2;
    design.impact = DesignLoadOptions::kMu;
    design.impactValue = 0.3;
    window.designAnswer = design;
    ASSERT_TRUE(v.Execute(ID_LIVE_LOAD_TYPE));
    EXPECT_EQ(window.typeOffered, 11);
    EXPECT_EQ(v.m_designLoad.lanes, 2);
    ASSERT_TRUE(v.Execute(ID_MOMENT_ENVELOPE));
    EnvelopeData scaled;
    ASSERT_TRUE(engine->ReadEnvelope(11, 3, scaled));
    for (size_t i = 0; i < plain.maxima.size(); ++i)
        EXPECT_NEAR(scaled.maxima[i], 2.6 * plain.maxima[i], 1e-9 * std::fabs(plain.maxima[i]));
    // The options stay with the view; the engine is left without them.
    EXPECT_EQ(engine->m_designLoad.lanes, 0);
    // The dialog opens on them the next time.
    window.typeAnswer.reset();
    ASSERT_TRUE(v.Execute(ID_LIVE_LOAD_TYPE));
    EXPECT_EQ(window.designOffered.lanes, 2);
    EXPECT_EQ(window.designOffered.impactValue, 0.3);

    // The combination command reads the file beside the data file and shows the first.
    host.messages.clear();
    ASSERT_TRUE(v.Execute(ID_COMBINATION));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind("错误：组合文件", 0), 0u) << host.messages[0];
    EXPECT_NE(v.m_graphKind, graph::kCombination);
    WriteWholeFile("m_组合.txt", "组合 乙\n  活载 11 1.4 lanes=2\n组合 甲\n  活载 0 1.0\n");
    host.messages.clear();
    ASSERT_TRUE(v.Execute(ID_COMBINATION));
    EXPECT_EQ(host.messages, std::vector<std::string>{"荷载组合计算完毕！"});
    EXPECT_EQ(v.m_graphKind, graph::kCombination);
    EXPECT_EQ(v.m_combinations, (std::vector<std::string>{"乙", "甲"}));  // the file's order
    EXPECT_TRUE(Exists("m_组合_甲.bin"));
    Draw();
    EXPECT_EQ(v.Caption(), "组合包络图：乙 弯矩");
}

TEST_F(LiveLoadViewTest, PlacedLaneLoadDrawsItsUniformPartsAndItsConcentratedLoad) {
    CMorvexView& v = OpenBeam();
    ASSERT_TRUE(v.Execute(ID_INFLUENCE_LINE));
    v.OnLiveLoadChoice(35);  // 公路-I级最大值
    ASSERT_EQ(v.m_liveLoadClass, 11) << LastMessage();
    ASSERT_FALSE(v.m_laneRegions.empty());
    ASSERT_GE(v.m_lanePoint.element, 0);
    const CRecordingSurface s = Draw();
    // The total in the corner is what the placement file gives when analysed.
    const double total = DrawnTotal(s);
    EXPECT_NEAR(total, Reanalysed(), 1e-6 * std::fabs(total));
    EXPECT_GT(std::fabs(total), 0);
    // Pk: one arrow in the heavy vehicle's colour at its abscissa.
    const int pk = v.WorldToLogical(v.m_lanePoint.x, 3.0).x;
    const std::vector<CDrawOp> green = ArrowLines(s, kGreen);
    ASSERT_FALSE(green.empty());
    for (const CDrawOp& op : green) EXPECT_LE(std::abs(op.points[1].x - pk), 3);
    // qk: along the tails of each region, end to end, with arrows at both ends.
    const int g = v.WorldToLogical(0, 3.0).y;
    for (const LaneRegion& r : v.m_laneRegions) {
        const int a = v.WorldToLogical(r.x0, 3.0).x, b = v.WorldToLogical(r.x1, 3.0).x;
        bool band = false, first = false, last = false;
        for (const CDrawOp& op : ArrowLines(s, kBlack)) {
            const CLPoint p = op.points[0], q = op.points[1];
            band = band || (p.y == g + 30 && q.y == g + 30 && p.x == a && q.x == b);
            first = first || (p.x == a && q.x == a && q.y == g);
            last = last || (p.x == b && q.x == b && q.y == g);
        }
        EXPECT_TRUE(band && first && last) << r.x0 << " ... " << r.x1;
    }
}
