// The structure drawing: support symbols, label positions and the display switches.
#include <algorithm>
#include <cmath>
#include <set>

#include "ViewTestSupport.h"
#include "platform/Format.h"
#include "view/BoxPlacer.h"
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

namespace {

// A surface of a drawing its reader zooms into, like the CAD export.
class CZoomableRecording : public CRecordingSurface {
public:
    bool KeepsCrowdedDetail() const override { return true; }
};

// The text box of a number as it is placed (one character of space after it).
CBox NumberBox(const CDrawOp& op) {
    return TextBox(op.points[0].x, op.points[0].y, static_cast<int>(op.text.size()) + 1);
}

bool Overlap(const CBox& a, const CBox& b) {
    return a.x1 < b.x2 && b.x1 < a.x2 && a.y1 < b.y2 && b.y1 < a.y2;
}

}  // namespace

TEST_F(StructureDrawingTest, ACrowdedGirderShowsNumbersAndSymbolsThatDoNotOverlap) {
    // 2000 elements of 0.5 m on supports every 10 m: seen whole, about 0.3 pixel an element.
    std::string model = "2001 2000 0 1 1 0 101 0\n1 0 0 0 0\n2001 1000 0 0 1\n"
                        "1 2e11\n1 0.02 2e-4 0 0 0.2 0.2\n1 1 2 1 1 1 0\n2000 2000 2001 1 1 1 1\n";
    for (int k = 0; k <= 100; ++k) model += FormatString("%d %d\n", 20 * k + 1, k == 0 ? 111 : 10);
    CMorvexView& v = Open(model);
    const CRecordingSurface s = Draw();

    for (CColour colour : {Rgb(30, 100, 255), Rgb(255, 0, 0)}) {
        std::vector<CBox> boxes;
        for (const CDrawOp& op : s.OfKind(CDrawOp::Text))
            if (op.colour == colour) boxes.push_back(NumberBox(op));
        // Some numbers, far fewer than 2000, and none over another.
        EXPECT_GT(boxes.size(), 20u);
        EXPECT_LT(boxes.size(), 400u);
        for (size_t i = 0; i < boxes.size(); ++i)
            for (size_t j = 0; j < i; ++j) ASSERT_FALSE(Overlap(boxes[i], boxes[j])) << i << " " << j;
    }
    EXPECT_EQ(s.Texts("1").size(), 2u);  // the first node and element are always numbered

    // Every node square is drawn where one stands within a pixel, each pixel once.
    std::set<std::pair<long, long>> squares;
    for (const CDrawOp& op : s.OfKind(CDrawOp::Rectangle))
        EXPECT_TRUE(squares.insert({std::lround((op.points[0].x + 5) / kPixel),
                                    std::lround((op.points[0].y + 5) / kPixel)})
                        .second);
    for (int n = 0; n <= 2000; n += 7) {
        const CLPoint p = v.WorldToLogical(0.5 * n, 0);
        EXPECT_TRUE(squares.count({std::lround(p.x / kPixel), std::lround(p.y / kPixel)})) << n;
    }

    // Support symbols (upward shafts 70 units long) 7 units apart at most once per box.
    std::vector<int> shafts;
    for (const CDrawOp& op : s.OfKind(CDrawOp::Line))
        if (op.pen.colour == Rgb(0, 0, 255) && op.points[1].y == op.points[0].y - 70 &&
            op.points[1].x == op.points[0].x)
            shafts.push_back(op.points[0].x);
    EXPECT_GT(shafts.size(), 10u);
    EXPECT_LT(shafts.size(), 101u);
    std::sort(shafts.begin(), shafts.end());
    for (size_t i = 1; i < shafts.size(); ++i) EXPECT_GE(shafts[i] - shafts[i - 1], 70);

    // A CAD drawing keeps all of it.
    CZoomableRecording all;
    v.Draw(all);
    EXPECT_EQ(all.OfKind(CDrawOp::Text).size(), 4001u);
    EXPECT_EQ(all.OfKind(CDrawOp::Rectangle).size(), 2001u);
    EXPECT_EQ(all.OfKind(CDrawOp::Arc).size(), 1u);
}
