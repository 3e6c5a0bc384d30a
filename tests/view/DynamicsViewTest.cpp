// Dynamics in the result view: the excitation symbols, the natural-vibration command with
// the mode graph, the dynamic response run with its graph stepping through B.tim, and the
// extraction of a time history.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "ViewTestSupport.h"
#include "dynamics/DynamicLoad.h"
#include "dynamics/DynamicsModels.h"
#include "dynamics/ResponseExtraction.h"
#include "platform/Format.h"
#include "view/ViewCommands.h"

namespace {

constexpr CColour kSymbolColour = Rgb(43, 174, 49);

class DynamicsViewTest : public ViewTest {
protected:
    // A simply supported beam of span 10 in 8 elements, with its document.
    CMorvexView& OpenBeam() {
        CMorvexView& v = Open(BeamModel(beam));
        document = std::make_unique<CPlainViewDocument>(engine.get());
        v.SetDocument(document.get());
        return v;
    }
    // The lines drawn in the symbol colour, as (from, to) pairs.
    static std::vector<std::pair<CLPoint, CLPoint>> SymbolLines(const CRecordingSurface& s) {
        std::vector<std::pair<CLPoint, CLPoint>> lines;
        for (const CDrawOp& op : s.OfKind(CDrawOp::Line))
            if (op.pen.colour == kSymbolColour) lines.push_back({op.points[0], op.points[1]});
        return lines;
    }
    static CLPoint P(int x, int y) { return CLPoint{x, y}; }

    BeamData beam;
    std::unique_ptr<CPlainViewDocument> document;
};

}  // namespace

TEST_F(DynamicsViewTest, ExcitationSymbolsMarkWhereTheLoadsAct) {
    CMorvexView& v = OpenBeam();
    Draw();  // fits the mapping
    using Lines = std::vector<std::pair<CLPoint, CLPoint>>;

    // A moving load at x0 + speed (t - t0) on y = 0, also beyond the end of the path.
    CDynamicLoad moving(engine.get());
    moving.m_type = CDynamicLoad::kMoving;
    moving.m_x0 = 1;
    moving.m_speed = 2;
    moving.m_startTime = 0.5;
    for (double t : {0.0, 2.0, 7.0}) {
        CRecordingSurface s;
        const CPen before = s.pen;
        DrawSymbol(s, v, moving, t);
        const CLPoint p = v.WorldToLogical(1 + 2 * (t - 0.5), 0);
        const int X = p.x, Y = p.y;
        EXPECT_EQ(SymbolLines(s), (Lines{{P(X, Y), P(X, Y - 70)},
                                         {P(X - 7, Y - 20), P(X, Y)},
                                         {P(X, Y), P(X + 7, Y - 20)}}))
            << t;
        EXPECT_EQ(s.pen, before);  // the previous pen comes back
    }

    // Nodal forces and prescribed motions act at their node (node 3 at x = 2.5).
    const CLPoint p = v.WorldToLogical(2.5, 0);
    const int X = p.x, Y = p.y;
    CDynamicLoad nodal(engine.get());
    nodal.m_type = CDynamicLoad::kNodal;
    nodal.m_node = 2;
    nodal.m_dof = 0;  // x: a leftward arrow whose tip is the node
    CRecordingSurface sx;
    DrawSymbol(sx, v, nodal, 1.0);
    EXPECT_EQ(
        SymbolLines(sx),
        (Lines{{P(X, Y), P(X + 70, Y)}, {P(X + 20, Y + 7), P(X, Y)}, {P(X, Y), P(X + 20, Y - 7)}}));
    nodal.m_dof = 1;  // y: upward, as the moving load
    CRecordingSurface sy;
    DrawSymbol(sy, v, nodal, 1.0);
    EXPECT_EQ(SymbolLines(sy).front(), (std::pair{P(X, Y), P(X, Y - 70)}));
    nodal.m_dof = 2;  // a moment: the quarter circle below the node with its head
    CRecordingSurface sm;
    DrawSymbol(sm, v, nodal, 1.0);
    const std::vector<CDrawOp> arcs = sm.OfKind(CDrawOp::Arc);
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_EQ(arcs[0].pen.colour, kSymbolColour);
    EXPECT_EQ(arcs[0].points, (std::vector<CLPoint>{P(X - 35, Y - 35), P(X + 35, Y + 35),
                                                    P(X - 10, Y - 10), P(X + 10, Y - 10)}));
    EXPECT_EQ(SymbolLines(sm), (Lines{{P(X + 24, Y - 24), P(X + 9, Y - 39)},
                                      {P(X + 24, Y - 24), P(X + 9, Y - 22)}}));
    CDynamicLoad motion(engine.get());
    motion.m_type = CDynamicLoad::kPrescribed;
    motion.m_node = 2;
    motion.m_dof = 1;
    CRecordingSurface sp;
    DrawSymbol(sp, v, motion, 0.0);
    EXPECT_EQ(SymbolLines(sp), SymbolLines(sy));
    // An ignored record draws nothing.
    motion.m_type = CDynamicLoad::kIgnored;
    CRecordingSurface none;
    DrawSymbol(none, v, motion, 0.0);
    EXPECT_TRUE(none.ops.size() <= 2u && SymbolLines(none).empty());
}

TEST_F(DynamicsViewTest, VibrationCommandFillsTheModeGraph) {
    CMorvexView& v = OpenBeam();
    EXPECT_TRUE(v.CommandState(ID_NATURAL_VIBRATION).enabled);
    EXPECT_FALSE(v.CommandState(ID_MODE_SHAPE).enabled);
    v.OnGraphSelector(graph::kMode);
    EXPECT_EQ(v.m_graphKind, graph::kStructure);
    // While an analysis runs neither a second one nor a response run may start.
    engine->m_busy = 1;
    EXPECT_FALSE(v.CommandState(ID_NATURAL_VIBRATION).enabled);
    EXPECT_FALSE(v.CommandState(ID_DYNAMIC_RESPONSE).enabled);
    engine->m_busy = 0;

    ASSERT_TRUE(v.Execute(ID_NATURAL_VIBRATION));
    ASSERT_TRUE(document->ModesReady()) << LastMessage();
    EXPECT_FALSE(v.CommandState(ID_NATURAL_VIBRATION).enabled);
    EXPECT_TRUE(v.CommandState(ID_MODE_SHAPE).enabled);
    v.OnGraphSelector(graph::kMode);
    ASSERT_EQ(v.m_graphKind, graph::kMode);
    EXPECT_EQ(frame.graphSelector, graph::kMode);

    // Mode 1 is the lowest: the first bending mode of the simply supported beam.
    Draw();
    double omega = 0;
    ASSERT_EQ(std::sscanf(v.Caption().c_str(), "频率1：%lf", &omega), 1) << v.Caption();
    EXPECT_NEAR(omega, BeamOmega(beam, M_PI), 0.01 * omega);
    // The circular frequency first, then the frequency in Hz and the period.
    double hz = 0, period = 0;
    ASSERT_EQ(
        std::sscanf(v.Caption().c_str(), "频率1：%lf  %lf Hz  T = %lf s", &omega, &hz, &period), 3)
        << v.Caption();
    EXPECT_EQ(v.Caption().rfind(FormatString("频率1：%.4e  ", omega), 0), 0u);
    EXPECT_NEAR(hz, omega / (2 * M_PI), 1e-4);
    EXPECT_NEAR(period * hz, 1.0, 1e-3);
    // Its shape is one half wave: every ordinate on one side. The second is antisymmetric.
    const auto smaller = [&v] {
        return std::min(std::fabs(v.m_maxValue), std::fabs(v.m_minValue));
    };
    const auto larger = [&v] { return std::max(std::fabs(v.m_maxValue), std::fabs(v.m_minValue)); };
    EXPECT_LT(smaller(), 1e-9 * larger());
    ASSERT_TRUE(v.Execute(ID_NEXT));
    Draw();
    double omega2 = 0;
    ASSERT_EQ(std::sscanf(v.Caption().c_str(), "频率2：%lf", &omega2), 1) << v.Caption();
    EXPECT_GT(omega2, omega);
    EXPECT_NEAR(smaller(), larger(), 1e-6 * larger());
    while (v.CommandState(ID_NEXT).enabled) v.Execute(ID_NEXT);
    EXPECT_EQ(v.m_modeIndex, engine->m_nModes - 1);
}

TEST_F(DynamicsViewTest, ResponseRunIsShownStepByStepAndExtracted) {
    beam.elements = 4;
    CMorvexView& v = OpenBeam();
    EXPECT_FALSE(v.CommandState(ID_DYNAMIC_RESPONSE_GRAPH).enabled);
    EXPECT_FALSE(v.CommandState(ID_DYNAMIC_DATA).enabled);
    // A load moving at 2 m/s from x = 1, and a vertical force at node 3; T = 0.4, dt = 0.1.
    WriteFile(kDynamicLoadFile, "0 0\n0.4 0.1\n1 1 0\n1 2 -1000 0 0 0 0\n3 2 -500 0 0 0 0\n0\n");
    ASSERT_TRUE(v.CommandState(ID_DYNAMIC_RESPONSE).enabled);
    ASSERT_TRUE(v.Execute(ID_DYNAMIC_RESPONSE));
    EXPECT_EQ(host.messages, std::vector<std::string>{"动力响应分析完成！"});
    bool done = false;
    for (const std::string& st : host.statuses)
        done = done || st.find("(100%)") != std::string::npos;
    EXPECT_TRUE(done);
    EXPECT_EQ(host.statuses.back(), "");

    ASSERT_TRUE(v.CommandState(ID_DYNAMIC_RESPONSE_GRAPH).enabled);
    v.OnGraphSelector(graph::kDynamic);
    ASSERT_EQ(v.m_graphKind, graph::kDynamic);
    EXPECT_EQ(v.m_nTimeSteps, 5);
    CRecordingSurface first = Draw();
    EXPECT_EQ(v.Caption(), "时间：0.0000e+000");
    for (int step = 1; step < 5; ++step) ASSERT_TRUE(v.Execute(ID_NEXT));
    EXPECT_FALSE(v.CommandState(ID_NEXT).enabled);
    CRecordingSurface last = Draw();
    EXPECT_EQ(v.Caption(), "时间：4.0000e-001");
    // The moving load's arrow has travelled 0.8 m; the nodal force stays at node 3.
    const auto tips = [](const CRecordingSurface& s) {
        std::vector<int> xs;
        for (const CDrawOp& op : s.OfKind(CDrawOp::Line))
            if (op.pen.colour == kSymbolColour && op.points[1].y == op.points[0].y - 70)
                xs.push_back(op.points[0].x);
        return xs;
    };
    EXPECT_EQ(tips(first),
              (std::vector<int>{v.WorldToLogical(1.0, 0).x, v.WorldToLogical(5.0, 0).x}));
    EXPECT_EQ(tips(last),
              (std::vector<int>{v.WorldToLogical(1.8, 0).x, v.WorldToLogical(5.0, 0).x}));

    // Extraction: node 3, vertical; one line per record, then opened in the editor.
    window.componentAnswer = std::pair{3, 1};
    ASSERT_TRUE(v.Execute(ID_DYNAMIC_DATA));
    ASSERT_EQ(frame.openedFiles.size(), 1u);
    EXPECT_EQ(frame.openedFiles[0], ResponseHistoryPath(*engine, 3, 1));
    std::ifstream in(frame.openedFiles[0]);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
    // A node outside the model and a cancelled dialog do nothing, without a message.
    window.componentAnswer = std::pair{99, 1};
    ASSERT_TRUE(v.Execute(ID_DYNAMIC_DATA));
    window.componentAnswer.reset();
    ASSERT_TRUE(v.Execute(ID_DYNAMIC_DATA));
    EXPECT_EQ(frame.openedFiles.size(), 1u);
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(DynamicsViewTest, ResponseGraphShowsTheMomentOfItsStep) {
    CMorvexView& v = OpenBeam();
    EXPECT_FALSE(v.CommandState(ID_DYNAMIC_MOMENT).enabled);
    WriteFile(kDynamicLoadFile, "0.5 2e-4\n0.4 0.01\n0 1 0\n5 2 -1e5 0 0 0 0\n0\n");
    ASSERT_TRUE(v.Execute(ID_DYNAMIC_RESPONSE));
    ASSERT_TRUE(v.CommandState(ID_DYNAMIC_MOMENT).enabled);
    // From the structure straight to the moment of the response.
    ASSERT_TRUE(v.Execute(ID_DYNAMIC_MOMENT));
    ASSERT_EQ(v.m_graphKind, graph::kDynamic);
    EXPECT_TRUE(v.CommandState(ID_DYNAMIC_MOMENT).checked);
    EXPECT_EQ(v.m_nTimeSteps, 41);
    // The extremes of the drawing are those of the element histories at the step.
    for (int step : {5, 17}) {
        v.m_timeIndex = step;
        Draw();
        EXPECT_EQ(v.Caption(), FormatString("时间：%.4e  弯矩", step * 0.01));
        double largest = -1e300, smallest = 1e300;
        for (int e = 1; e <= beam.elements; ++e)
            for (int point = 1; point <= 11; ++point) {
                ASSERT_EQ(ExtractForces(*engine, e, point), ExtractResult::kWritten);
                std::ifstream in(ForceHistoryPath(*engine, e, point));
                double t = 0, N = 0, Q = 0, M = 0;
                for (int line = 0; line <= step; ++line) in >> t >> N >> Q >> M;
                largest = std::max(largest, M);
                smallest = std::min(smallest, M);
            }
        const double factor = v.m_graphScale[graph::kDynamic].factor;
        ASSERT_TRUE(v.m_extremeSeen);
        const double tolerance = 1e-5 * std::max(std::fabs(largest), std::fabs(smallest));
        EXPECT_GT(tolerance, 0);
        EXPECT_NEAR(v.m_maxValue / factor, largest, tolerance);
        EXPECT_NEAR(v.m_minValue / factor, smallest, tolerance);
        EXPECT_NE(v.ScaleText().find("N·m"), std::string::npos) << v.ScaleText();
    }
    // A second time back to the displaced shape.
    ASSERT_TRUE(v.Execute(ID_DYNAMIC_MOMENT));
    EXPECT_FALSE(v.CommandState(ID_DYNAMIC_MOMENT).checked);
    Draw();
    EXPECT_EQ(v.Caption(), "时间：1.7000e-001");
    bool listed = false;
    for (const CMenuEntry& entry : v.ContextMenu())
        listed = listed || (entry.id == ID_DYNAMIC_MOMENT && entry.text == "动力响应弯矩图");
    EXPECT_TRUE(listed);
}

// A new run of the same length (B.tim keeps its size) is scaled by its own moments.
TEST_F(DynamicsViewTest, MomentScaleFollowsANewRunOfTheSameLength) {
    CMorvexView& v = OpenBeam();
    WriteFile(kDynamicLoadFile, "0.5 2e-4\n0.4 0.01\n0 1 0\n5 2 -1e5 0 0 0 0\n0\n");
    ASSERT_TRUE(v.Execute(ID_DYNAMIC_RESPONSE));
    ASSERT_TRUE(v.Execute(ID_DYNAMIC_MOMENT));
    v.m_timeIndex = 17;
    Draw();
    const double first = v.m_graphScale[graph::kDynamic].factor;
    WriteFile(kDynamicLoadFile, "0.5 2e-4\n0.4 0.01\n0 1 0\n5 2 -2e5 0 0 0 0\n0\n");
    ASSERT_TRUE(v.Execute(ID_DYNAMIC_RESPONSE));
    ASSERT_TRUE(v.m_dynamicMoment);
    v.m_timeIndex = 17;
    Draw();
    EXPECT_NEAR(v.m_graphScale[graph::kDynamic].factor, first / 2, 1e-9 * first);
}

TEST_F(DynamicsViewTest, AnimationShowsExactlyWhatTheStepCommandsShow) {
    beam.elements = 4;
    CMorvexView& v = OpenBeam();
    WriteFile(kDynamicLoadFile, "0 0\n0.4 0.1\n1 1 0\n1 2 -1000 0 0 0 0\n3 2 -500 0 0 0 0\n0\n");
    ASSERT_TRUE(v.Execute(ID_DYNAMIC_RESPONSE));
    v.OnGraphSelector(graph::kDynamic);
    ASSERT_EQ(v.m_nTimeSteps, 5);
    // Stepped pictures, record by record.
    std::vector<std::vector<CDrawOp>> stepped;
    stepped.push_back(Draw().ops);
    for (int k = 1; k < 5; ++k) {
        ASSERT_TRUE(v.Execute(ID_NEXT));
        stepped.push_back(Draw().ops);
    }
    ASSERT_TRUE(v.Execute(ID_PREVIOUS));
    v.SetAnimationFrame(0);
    ASSERT_TRUE(v.CommandState(ID_ANIMATE).enabled);
    ASSERT_TRUE(v.Execute(ID_ANIMATE));
    EXPECT_TRUE(v.m_animating);
    EXPECT_EQ(v.CommandState(ID_ANIMATE).text, "暂停");
    for (int k = 1; k < 5; ++k) {
        ASSERT_TRUE(v.AnimationStep());
        const CRecordingSurface s = Draw();
        ASSERT_EQ(s.ops.size(), stepped[k].size()) << k;
        for (size_t i = 0; i < s.ops.size(); ++i) EXPECT_EQ(s.ops[i].points, stepped[k][i].points);
    }
    // After the last record it starts again; a new graph stands still.
    ASSERT_TRUE(v.AnimationStep());
    EXPECT_EQ(v.m_timeIndex, 0);
    v.m_animationSpeed = 3;
    ASSERT_TRUE(v.AnimationStep());
    EXPECT_EQ(v.m_timeIndex, 3);
    v.OnGraphSelector(graph::kDisplaced);
    EXPECT_FALSE(v.m_animating);
    EXPECT_FALSE(v.CommandState(ID_ANIMATE).enabled);
    EXPECT_FALSE(v.AnimationStep());
}

TEST_F(DynamicsViewTest, AnimatedModeShapeSwingsThroughItsPeriod) {
    CMorvexView& v = OpenBeam();
    ASSERT_TRUE(v.Execute(ID_NATURAL_VIBRATION));
    ASSERT_TRUE(v.Execute(ID_MODE_SHAPE));
    Draw();
    const double top = v.m_maxValue, bottom = v.m_minValue;
    ASSERT_TRUE(v.Execute(ID_ANIMATE));
    for (int k = 0; k < kModePhases / 2; ++k) ASSERT_TRUE(v.AnimationStep());
    EXPECT_EQ(v.m_modePhase, kModePhases / 2);
    Draw();
    // Half a period on, the shape is mirrored.
    EXPECT_NEAR(v.m_maxValue, -bottom, 1e-9 * std::fabs(bottom) + 1e-15);
    EXPECT_NEAR(v.m_minValue, -top, 1e-9 * std::fabs(top) + 1e-15);
    // Paused, it stands at its full ordinates again.
    ASSERT_TRUE(v.Execute(ID_ANIMATE));
    EXPECT_EQ(v.m_modePhase, 0);
}
