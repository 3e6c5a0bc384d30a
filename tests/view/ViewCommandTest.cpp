// The view commands: graph selection with its fallbacks, enable and check rules, magnify
// and reduce, colour, element group, focus, context menus. (Switch texts, previous/next and
// the model without load cases are driven through the widget in tests/viewqt.)
#include "ViewTestSupport.h"
#include "view/ViewCommands.h"

namespace {

// The simple beam with two load cases and one influence line over its path.
const char* const kTwoCases =
    "5 4 0 1 1 2 2 4\n"
    "1 0 0 0 0\n5 10 0 0 1\n"
    "1 2e11\n1 0.02 2e-4 0 0 0.15 0.25\n"
    "1 1 2 1 1 1 0\n4 4 5 1 1 1 1\n"
    "1 110\n5 10\n"
    "2\n3 1 0 -1000 0\n2 2 0 -500 0\n0\n"
    "1 2 3 4\n1\n2 0.5 3\n";

class ViewCommandTest : public ViewTest {};

}  // namespace

TEST_F(ViewCommandTest, SelectorAndGraphCommandsAgree) {
    CMorvexView& v = Open(kTwoCases);
    EXPECT_EQ(frame.graphSelector, 0);
    EXPECT_EQ(frame.liveLoadSelector, 0);
    const struct {
        int index, kind;
    } cases[] = {{1, 1},
                 {2, 2},
                 {3, 3},
                 {4, 4},
                 {8, 8},
                 {10, 10},
                 {11, 11},
                 {0, 0},
                 // envelopes come with the loading path (their files are read when drawn);
                 // mode shapes and the dynamic response have no data yet
                 {5, 5},
                 {6, 6},
                 {7, 7},
                 {9, 0},
                 {12, 0}};
    for (const auto& c : cases) {
        v.OnGraphSelector(c.index);
        EXPECT_EQ(v.m_graphKind, c.kind) << c.index;
        if (c.index != 0) {
            EXPECT_EQ(frame.graphSelector, c.kind) << c.index;
        }
    }
    for (int kind = 1; kind < graph::kCount; ++kind) {
        const int id = CMorvexView::GraphCommand(kind);
        if (!v.CommandState(id).enabled) continue;
        ASSERT_TRUE(v.Execute(id));
        EXPECT_EQ(v.m_graphKind, kind);
        EXPECT_EQ(frame.graphSelector, kind);
        EXPECT_EQ(frame.currentScale, v.m_graphScale[kind].factor);
    }
    EXPECT_TRUE(v.CommandState(ID_MOMENT_ENVELOPE_GRAPH).enabled);
    EXPECT_FALSE(v.CommandState(ID_MODE_SHAPE).enabled);
    EXPECT_FALSE(v.CommandState(ID_DYNAMIC_RESPONSE_GRAPH).enabled);
    EXPECT_FALSE(v.CommandState(ID_FILE_SAVE).enabled);
}

TEST_F(ViewCommandTest, EnableAndCheckRules) {
    CMorvexView& v = Open(kTwoCases);
    EXPECT_TRUE(v.CommandState(ID_DISPLACED_SHAPE).enabled);
    EXPECT_FALSE(v.CommandState(ID_DISPLACED_SHAPE).checked);
    EXPECT_TRUE(v.CommandState(ID_INFLUENCE_LINE).enabled);
    EXPECT_FALSE(v.CommandState(ID_ELEMENT_GROUP).enabled);
    ASSERT_TRUE(v.Execute(ID_DISPLACED_SHAPE));
    EXPECT_TRUE(v.CommandState(ID_DISPLACED_SHAPE).checked);
    EXPECT_FALSE(v.CommandState(ID_INFLUENCE_LINE).checked);
    EXPECT_FALSE(v.CommandState(ID_ELEMENT_GROUP).enabled);
    for (int id : {ID_MOMENT, ID_SHEAR, ID_AXIAL, ID_UPPER_STRESS, ID_LOWER_STRESS}) {
        ASSERT_TRUE(v.Execute(id));
        EXPECT_TRUE(v.CommandState(ID_ELEMENT_GROUP).enabled) << id;
    }
    ASSERT_TRUE(v.Execute(ID_INFLUENCE_LINE));
    EXPECT_TRUE(v.CommandState(ID_INFLUENCE_LINE).checked);
    EXPECT_FALSE(v.CommandState(ID_DISPLACED_SHAPE).checked);
    EXPECT_FALSE(v.Execute(ID_ELEMENT_GROUP));
}

TEST_F(ViewCommandTest, MagnifyReduceAndColour) {
    CMorvexView& v = Open(kTwoCases);
    const int redraws = window.redraws;
    ASSERT_TRUE(v.Execute(ID_MAGNIFY));  // on the structure: nothing changes but it redraws
    EXPECT_EQ(window.redraws, redraws + 1);
    for (const CGraphScale& gs : v.m_graphScale) EXPECT_EQ(gs.factor, 1.0);
    ASSERT_TRUE(v.Execute(ID_DISPLACED_SHAPE));
    ASSERT_TRUE(v.Execute(ID_MAGNIFY));
    ASSERT_TRUE(v.Execute(ID_MAGNIFY));
    ASSERT_TRUE(v.Execute(ID_REDUCE));
    EXPECT_EQ(v.m_graphScale[graph::kDisplaced].factor, 2.0);
    EXPECT_EQ(frame.currentScale, 2.0);
    EXPECT_EQ(v.m_graphScale[graph::kMoment].factor, 1.0);

    // The chooser opens on black; cancel keeps the colour, OK takes the choice.
    ASSERT_TRUE(v.Execute(ID_DISPLACEMENT_COLOUR));
    EXPECT_EQ(window.colourOffered, Rgb(0, 0, 0));
    EXPECT_EQ(v.m_displacementColour, Rgb(255, 0, 255));
    window.colourAnswer = Rgb(10, 20, 30);
    ASSERT_TRUE(v.Execute(ID_DISPLACEMENT_COLOUR));
    EXPECT_EQ(v.m_displacementColour, Rgb(10, 20, 30));
    const CRecordingSurface s = Draw();
    const auto curves = s.OfKind(CDrawOp::Polyline);
    ASSERT_FALSE(curves.empty());
    EXPECT_EQ(curves[0].pen.colour, Rgb(10, 20, 30));
}

TEST_F(ViewCommandTest, ElementGroupDialogOpensOnTheGroupAndAppliesOk) {
    CMorvexView& v = Open(kTwoCases);
    ASSERT_TRUE(v.Execute(ID_MOMENT));
    ASSERT_TRUE(v.Execute(ID_ELEMENT_GROUP));  // cancelled
    EXPECT_EQ(window.groupOffered.first, 1);
    EXPECT_EQ(window.groupOffered.last, 4);
    EXPECT_EQ(window.groupOffered.step, 1);
    window.groupAnswer = CElementGroup{2, 4, 2};
    ASSERT_TRUE(v.Execute(ID_ELEMENT_GROUP));
    EXPECT_EQ(v.m_groupFirst, 1);
    EXPECT_EQ(v.m_groupLast, 4);
    EXPECT_EQ(v.m_groupStep, 2);
    EXPECT_EQ(Draw().OfKind(CDrawOp::Pixel).size(), 2u * 101);
    EXPECT_EQ(CMorvexView::CheckElementGroupFields({1, 4, 0}), "增量单元必须大于0！");
    EXPECT_EQ(CMorvexView::CheckElementGroupFields({1, 4, 1}), "");
}

TEST_F(ViewCommandTest, FocusMovesTheSharedSelectorsToTheActiveView) {
    Open(kTwoCases);
    CRecordingWindow otherWindow;
    CMorvexView other(frame, otherWindow);
    other.InitialUpdate(engine.get());
    ASSERT_TRUE(view->Execute(ID_MOMENT));
    ASSERT_TRUE(view->Execute(ID_MAGNIFY));
    view->m_liveLoadItem = 3;
    ASSERT_TRUE(other.Execute(ID_DISPLACED_SHAPE));
    EXPECT_EQ(frame.graphSelector, 1);

    view->OnSetFocus();
    EXPECT_EQ(frame.graphSelector, 2);
    EXPECT_EQ(frame.liveLoadSelector, 3);
    EXPECT_EQ(frame.currentScale, view->m_graphScale[graph::kMoment].factor);
    other.OnSetFocus();
    EXPECT_EQ(frame.graphSelector, 1);
    EXPECT_EQ(frame.liveLoadSelector, 0);
    EXPECT_EQ(frame.currentScale, 1.0);
}

TEST_F(ViewCommandTest, ContextMenuFollowsTheMouseMode) {
    CMorvexView& v = Open(kTwoCases);
    std::vector<CMenuEntry> menu = v.ContextMenu();
    ASSERT_EQ(menu.size(), 19u);
    EXPECT_EQ(menu[0].text, "位移状态");
    EXPECT_EQ(menu[12].text, "动力响应弯矩图");
    EXPECT_EQ(menu[13].text, "组合包络图");
    EXPECT_EQ(menu[14].id, 0);
    EXPECT_EQ(menu[15].text, "隐藏节点号");
    ASSERT_TRUE(v.Execute(ID_PAN));
    menu = v.ContextMenu();
    ASSERT_EQ(menu.size(), 6u);
    EXPECT_EQ(menu[0].text, "退出");
    EXPECT_EQ(menu[5].text, "初始窗口");
    ASSERT_TRUE(v.Execute(ID_LEAVE_MODE));
    EXPECT_EQ(v.ContextMenu().size(), 19u);
    EXPECT_TRUE(v.m_userWindow);
}
