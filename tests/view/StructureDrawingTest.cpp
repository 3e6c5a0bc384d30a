// The structure drawing: support symbols, label positions and the display switches.
#include <cmath>

#include "ViewTestSupport.h"
#include "view/ViewCommands.h"

namespace {

// Five nodes on a line from x = 0 to 10 (the picture's middle is x = 5), one support code
// of each kind: 111 left of the middle, 1, 100 exactly at the middle, 10 and 0 on node 4,
// 110 right of the middle.
const char* const kSupports =
    "5 4 0 1 1 0 6 0\n"
    "1 0 0 0 0\n5 10 0 0 1\n"
    "1 2e11\n1 0.02 2e-4 0 0 0.2 0.2\n"
    "1 1 2 1 1 1 0\n4 4 5 1 1 1 1\n"
    "1 111\n2 1\n3 100\n4 10\n4 0\n5 110\n";

const CColour kBlue = Rgb(0, 0, 255);

// What the blue support pen drew at one node.
struct Symbol {
    int horizontal = 0;  // direction of the horizontal arrow: -1, +1, or 0 for none
    bool vertical = false;
    bool arc = false;
};

Symbol SymbolAt(const CRecordingSurface& s, CLPoint node) {
    Symbol sym;
    for (const CDrawOp& op : s.ops) {
        if (op.pen.colour != kBlue) continue;
        if (op.kind == CDrawOp::Arc) {
            const CLPoint centre{(op.points[0].x + op.points[1].x) / 2,
                                 (op.points[0].y + op.points[1].y) / 2};
            if (centre == node) sym.arc = true;
        }
        if (op.kind != CDrawOp::Line || !(op.points[0] == node)) continue;
        const CLPoint to = op.points[1];
        // The shafts are the 70-unit lines out of the node.
        if (to.y == node.y && std::abs(to.x - node.x) == 70)
            sym.horizontal = to.x > node.x ? 1 : -1;
        if (to.x == node.x && to.y == node.y - 70) sym.vertical = true;
    }
    return sym;
}

class StructureDrawingTest : public ViewTest {};

}  // namespace

TEST_F(StructureDrawingTest, SupportSymbolsFollowTheCodeAndPointAwayFromTheMiddle) {
    CMorvexView& v = Open(kSupports);
    const CRecordingSurface s = Draw();
    auto at = [&](double x) { return SymbolAt(s, v.WorldToLogical(x, 0)); };

    const Symbol fixed = at(0), rotation = at(2.5), middle = at(5), roller = at(7.5),
                 pinned = at(10);
    EXPECT_EQ(fixed.horizontal, -1);
    EXPECT_TRUE(fixed.vertical);
    EXPECT_TRUE(fixed.arc);

    EXPECT_EQ(rotation.horizontal, 0);
    EXPECT_FALSE(rotation.vertical);
    EXPECT_TRUE(rotation.arc);

    EXPECT_EQ(middle.horizontal, -1);  // exactly at the middle: to the left
    EXPECT_FALSE(middle.vertical);

    // Node 4 has codes 10 and 0: the vertical arrow only.
    EXPECT_EQ(roller.horizontal, 0);
    EXPECT_TRUE(roller.vertical);
    EXPECT_FALSE(roller.arc);

    EXPECT_EQ(pinned.horizontal, 1);
    EXPECT_TRUE(pinned.vertical);
    EXPECT_FALSE(pinned.arc);

    // The rotation arc runs counter-clockwise from below-left to below-right of the node,
    // with its arrow head at the end point.
    for (const CDrawOp& op : s.OfKind(CDrawOp::Arc)) {
        const CLPoint c{(op.points[0].x + op.points[1].x) / 2,
                        (op.points[0].y + op.points[1].y) / 2};
        EXPECT_LT(op.points[2].x, c.x);
        EXPECT_LT(op.points[2].y, c.y);
        EXPECT_GT(op.points[3].x, c.x);
        EXPECT_LT(op.points[3].y, c.y);
        EXPECT_EQ(op.points[1].x - op.points[0].x, 70);
    }
    // Every symbol is drawn with the blue pen, and the pen is restored afterwards.
    EXPECT_EQ(s.pen, CPen{});
}

TEST_F(StructureDrawingTest, LabelsKeepTheirOffsetWhateverTheZoom) {
    CMorvexView& v = Open(kSupports);
    for (int zoomSteps : {0, 30}) {
        if (zoomSteps) {
            ASSERT_TRUE(v.Execute(ID_ZOOM));
            v.OnMouseMove({0, 500}, false);
            for (int i = 1; i <= zoomSteps; ++i) v.OnMouseMove({0, 500 - i}, true);
        }
        const CRecordingSurface s = Draw();
        for (int n = 1; n <= 5; ++n) {
            const CLPoint p = v.WorldToLogical(2.5 * (n - 1), 0);
            const auto labels = s.Texts(std::to_string(n));
            // Node n's number 3.1 mm above and 0.1 mm right of the node, in blue; the
            // element numbers (1 to 4) sit at their element's middle, in red.
            bool nodeLabel = false;
            for (const CDrawOp& op : labels) {
                if (op.colour == Rgb(30, 100, 255)) {
                    EXPECT_EQ(op.points[0], (CLPoint{p.x + 1, p.y + 31}));
                    nodeLabel = true;
                } else {
                    EXPECT_EQ(op.colour, Rgb(255, 0, 0));
                    const CLPoint q = v.WorldToLogical(2.5 * n, 0);
                    EXPECT_EQ(op.points[0], (CLPoint{(p.x + q.x) / 2, (p.y + q.y) / 2}));
                }
                EXPECT_EQ(op.font, CFontSpec{});
            }
            EXPECT_TRUE(nodeLabel) << n;
        }
        // Node squares are 1 mm wide at any zoom.
        for (const CDrawOp& op : s.OfKind(CDrawOp::Rectangle))
            EXPECT_EQ(op.points[1].x - op.points[0].x, 10);
    }
}

TEST_F(StructureDrawingTest, SwitchesOffLeaveNodeSquaresAndElementLines) {
    CMorvexView& v = Open(kSupports);
    for (int id : {ID_NODE_NUMBERS, ID_ELEMENT_NUMBERS, ID_CONSTRAINTS}) ASSERT_TRUE(v.Execute(id));
    const CRecordingSurface s = Draw();
    EXPECT_EQ(s.OfKind(CDrawOp::Rectangle).size(), 5u);
    EXPECT_EQ(s.OfKind(CDrawOp::Line).size(), 4u);
    EXPECT_EQ(s.ops.size(), 9u);

    // Sections on: one closed grey outline per element, top above and bottom below the axis.
    ASSERT_TRUE(v.Execute(ID_SECTIONS));
    const CRecordingSurface t = Draw();
    const auto outlines = t.OfKind(CDrawOp::Polyline);
    ASSERT_EQ(outlines.size(), 4u);
    const int axis = v.WorldToLogical(0, 0).y;
    for (const CDrawOp& op : outlines) {
        ASSERT_EQ(op.points.size(), 5u);
        EXPECT_EQ(op.points.front(), op.points.back());
        EXPECT_EQ(op.pen.colour, Rgb(150, 150, 150));
        EXPECT_NEAR(op.points[0].y - axis, 0.2 * v.m_scale, 1);
        EXPECT_NEAR(axis - op.points[1].y, 0.2 * v.m_scale, 1);
    }
}
