// The world-to-window mapping and the mouse modes: fit, transforms, zoom, pan, window zoom.
#include <cmath>
#include <cstdio>

#include "ViewTestSupport.h"
#include "view/ViewCommands.h"

namespace {

// A portal frame 10 wide and 5 high: columns at x = 0 and 10, beam at y = 5.
const char* const kPortal =
    "4 3 0 1 1 1 2 0\n"
    "1 0 0 0 0\n2 0 5 0 0\n3 10 5 0 0\n4 10 0 0 0\n"
    "1 2e11\n1 0.02 2e-4 0 0 0.2 0.2\n"
    "1 1 2 1 1 1 0\n2 2 3 1 1 1 0\n3 3 4 1 1 1 0\n"
    "1 111\n4 111\n"
    "1\n2 1 10 0 0\n0\n";

class MappingTest : public ViewTest {};

}  // namespace

TEST_F(MappingTest, FitCentresTheStructureInEightyPercentOfTheLimitingSide) {
    CMorvexView& v = Open(kPortal);
    v.Fit();
    // 800 x 600 pixels are 2117 x 1588 logical units; the frame takes 80 % of the side that
    // limits it and less of the other.
    const double W = std::lround(800 * kPixel), H = std::lround(600 * kPixel);
    const CLPoint lo = v.WorldToLogical(0, 0), hi = v.WorldToLogical(10, 5);
    const double widthShare = (hi.x - lo.x) / W, heightShare = (hi.y - lo.y) / H;
    EXPECT_NEAR(std::max(widthShare, heightShare), 0.8, 2.0 / W);
    EXPECT_LT(std::min(widthShare, heightShare), 0.8);
    // Centred: equal margins on both sides, y upward from the top edge at 0.
    EXPECT_NEAR(lo.x, W - hi.x, 2);
    EXPECT_NEAR(-hi.y, lo.y + H, 2);
    EXPECT_GT(hi.y, lo.y);

    // Both transforms are inverse to within the truncation to whole logical units.
    for (double x : {-3.3, 0.0, 4.7, 10.0}) {
        for (double y : {-1.0, 2.5, 5.0}) {
            const CLPoint p = v.WorldToLogical(x, y);
            double wx, wy;
            v.LogicalToWorld(p.x, p.y, wx, wy);
            EXPECT_LE(std::fabs(wx - x), 1.0 / v.m_scale);
            EXPECT_LE(std::fabs(wy - y), 1.0 / v.m_scale);
        }
    }
}

TEST_F(MappingTest, HorizontalBeamIsScaledByItsWidthAlone) {
    CMorvexView& v = Open(models::SimpleBeam(-1000));
    v.Fit();
    EXPECT_TRUE(std::isfinite(v.m_scale));
    const double W = std::lround(800 * kPixel);
    EXPECT_NEAR(v.WorldToLogical(10, 0).x - v.WorldToLogical(0, 0).x, 0.8 * W, 2);
    EXPECT_EQ(v.WorldToLogical(5, 0).y, static_cast<int>(-std::lround(600 * kPixel) / 2));
}

TEST_F(MappingTest, ZoomStepsOncePerMouseEventWhateverTheDistance) {
    CMorvexView& v = Open(kPortal);
    v.Fit();
    const double before = v.m_scale, cx = v.m_worldCx, cy = v.m_worldCy;
    ASSERT_TRUE(v.Execute(ID_ZOOM));
    v.OnMouseMove({400, 300}, false);
    for (int i = 1; i <= 50; ++i) v.OnMouseMove({400, 300 - 7 * i}, true);
    EXPECT_NEAR(v.m_scale / before, std::pow(1.01, 50), 1e-12);
    EXPECT_EQ(v.m_worldCx, cx);
    EXPECT_EQ(v.m_worldCy, cy);
    EXPECT_EQ(window.cursor, ViewCursor::Zoom);
    // Drawing keeps the zoomed mapping; moving down as often comes back.
    Draw();
    EXPECT_NEAR(v.m_scale / before, std::pow(1.01, 50), 1e-12);
    for (int i = 1; i <= 50; ++i) v.OnMouseMove({400, 300 + i}, true);
    EXPECT_NEAR(v.m_scale / before, 1.0, 1e-12);
    // Without the button the scale stays.
    v.OnMouseMove({400, 0}, false);
    EXPECT_NEAR(v.m_scale / before, 1.0, 1e-12);
}

TEST_F(MappingTest, PanMovesThePictureWithTheMouse) {
    CMorvexView& v = Open(kPortal);
    Draw();
    const CLPoint before = v.WorldToLogical(10, 5);
    ASSERT_TRUE(v.Execute(ID_PAN));
    v.OnMouseMove({100, 100}, false);
    v.OnMouseMove({160, 140}, true);
    EXPECT_EQ(window.cursor, ViewCursor::Pan);
    Draw();
    const CLPoint after = v.WorldToLogical(10, 5);
    EXPECT_NEAR(after.x - before.x, 60 * kPixel, 2);
    EXPECT_NEAR(after.y - before.y, -40 * kPixel, 2);
}

TEST_F(MappingTest, WindowZoomSelectsTheSameWindowInEitherDragDirection) {
    CMorvexView& v = Open(kPortal);
    Draw();
    double x1, y1, x2, y2;
    const CLPoint a = v.DeviceToLogical({200, 150}), b = v.DeviceToLogical({500, 400});
    v.LogicalToWorld(a.x, a.y, x1, y1);
    v.LogicalToWorld(b.x, b.y, x2, y2);

    auto zoom = [&](CLPoint from, CLPoint to) {
        CMorvexView w(frame, window);
        w.InitialUpdate(engine.get());
        w.SetClientSize(800, 600, kPixel);
        CRecordingSurface s;
        w.Draw(s);
        EXPECT_TRUE(w.Execute(ID_WINDOW_ZOOM));
        w.OnLeftButtonDown(from);
        EXPECT_TRUE(window.captured);
        window.inverted.clear();
        w.OnMouseMove({(from.x + to.x) / 2, (from.y + to.y) / 2}, false);
        w.OnMouseMove(to, false);
        // Each move erases the previous rectangle and draws the new one.
        EXPECT_EQ(window.inverted.size(), 4u);
        w.OnLeftButtonDown(to);
        EXPECT_FALSE(window.captured);
        EXPECT_EQ(w.m_dragState, 0);
        return std::array<double, 4>{w.m_worldXMin, w.m_worldYMin, w.m_worldXMax, w.m_worldYMax};
    };
    const auto down = zoom({200, 150}, {500, 400});
    const auto up = zoom({500, 400}, {200, 150});
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(down[i], up[i]);
    EXPECT_DOUBLE_EQ(down[0], std::min(x1, x2));
    EXPECT_DOUBLE_EQ(down[2], std::max(x1, x2));
    EXPECT_DOUBLE_EQ(down[1], std::min(y1, y2));
    EXPECT_DOUBLE_EQ(down[3], std::max(y1, y2));
}

TEST_F(MappingTest, ClickOnTheFirstCornerIsIgnoredAndLeavingKeepsTheZoom) {
    CMorvexView& v = Open(kPortal);
    Draw();
    const double fitted = v.m_scale;
    ASSERT_TRUE(v.Execute(ID_WINDOW_ZOOM));
    v.OnLeftButtonDown({300, 200});
    v.OnLeftButtonDown({300, 200});
    EXPECT_EQ(v.m_dragState, 1);
    EXPECT_TRUE(window.captured);
    window.inverted.clear();
    v.OnMouseMove({350, 260}, false);
    EXPECT_EQ(window.inverted.size(), 2u);  // the rectangle still follows the mouse
    v.OnLeftButtonDown({350, 260});
    Draw();
    const double zoomed = v.m_scale;
    EXPECT_GT(zoomed, fitted * 5);

    ASSERT_TRUE(v.Execute(ID_LEAVE_MODE));
    v.SetClientSize(1000, 700, kPixel);  // a held mapping is not refitted
    Draw();
    EXPECT_EQ(v.m_scale, zoomed);
    ASSERT_TRUE(v.Execute(ID_INITIAL_WINDOW));
    v.SetClientSize(800, 600, kPixel);
    Draw();
    EXPECT_DOUBLE_EQ(v.m_scale, fitted);
}

TEST_F(MappingTest, MousePositionGoesToStatusPanesTwoAndThree) {
    CMorvexView& v = Open(kPortal);
    Draw();
    const CLPoint p = v.WorldToLogical(10, 5);
    const CLPoint device{static_cast<int>(std::lround(p.x / kPixel)),
                         static_cast<int>(std::lround(-p.y / kPixel))};
    v.OnMouseMove(device, false);
    double x = 0, y = 0;
    ASSERT_EQ(std::sscanf(frame.panes[2].c_str(), "x: %lf", &x), 1) << frame.panes[2];
    ASSERT_EQ(std::sscanf(frame.panes[3].c_str(), "y: %lf", &y), 1) << frame.panes[3];
    EXPECT_NEAR(x, 10, 2 * kPixel / v.m_scale);
    EXPECT_NEAR(y, 5, 2 * kPixel / v.m_scale);
}

TEST_F(MappingTest, FittedPageHoldsTheWholePictureWhateverTheScreenShows) {
    // A long girder of 40 unit elements on supports at every fourth node.
    std::string model = "41 40 0 1 1 1 11 0\n";
    for (int n = 0; n <= 40; ++n)
        model += std::to_string(n + 1) + " " + std::to_string(n) + " 0 0 0\n";
    model += "1 2e11\n1 0.02 2e-4 0 0 0.2 0.2\n1 1 2 1 1 1 0\n40 40 41 1 1 1 1\n";
    for (int n = 0; n <= 40; n += 4) model += std::to_string(n + 1) + (n ? " 10\n" : " 110\n");
    model += "1\n21 1 0 -1000 0\n0\n";
    CMorvexView& v = Open(model);
    ASSERT_TRUE(v.Execute(ID_MOMENT));
    // The screen is zoomed onto the left end and panned.
    v.m_worldXMin = 0;
    v.m_worldXMax = 5;
    v.m_userWindow = true;
    v.Fit();
    const double scale = v.m_scale, cx = v.m_worldCx;

    // An A4 portrait drawing area at 300 dpi: 2480 x 3000 pixels.
    const double k = 254.0 / 300;
    CRecordingSurface page;
    v.DrawFitted(page, 2480, 3000, k);
    const double W = 2480 * k, H = 3000 * k;
    int numbers = 0;
    for (const CDrawOp& op : page.ops) {
        for (const CLPoint& p : op.points) {
            EXPECT_GE(p.x, 0);
            EXPECT_LE(p.x, W);
            EXPECT_LE(p.y, 0);
            EXPECT_GE(p.y, -H);
        }
        if (op.kind == CDrawOp::Text && op.text == std::to_string(41)) ++numbers;
    }
    EXPECT_EQ(numbers, 1);  // the last node is on the page
    // Fitted to the width: the picture spans nearly all of it.
    int left = 1 << 30, right = -(1 << 30);
    for (const CDrawOp& op : page.OfKind(CDrawOp::Pixel)) {
        left = std::min(left, op.points[0].x);
        right = std::max(right, op.points[0].x);
    }
    EXPECT_GT(right - left, 0.85 * W);
    // The screen keeps its own mapping.
    EXPECT_EQ(v.m_scale, scale);
    EXPECT_EQ(v.m_worldCx, cx);
    EXPECT_EQ(v.PictureTitle(), "弯矩图  工况 1");
    EXPECT_EQ(v.ScaleText().rfind("结构 1:", 0), 0u) << v.ScaleText();
}
