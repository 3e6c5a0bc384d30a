// The view's state, its world-to-window mapping and the screen and printer drawing.
#include "view/MorvexView.h"
#include "liveload/Combination.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/PlaneFrame.h"

namespace {

// Truncation toward zero, kept inside the range that every surface can take: a point far
// off the window (a huge zoom, a wild ordinate) must not overflow.
int TruncLogical(double v) {
    if (!(v == v)) return 0;
    return static_cast<int>(std::clamp(v, -1.0e8, 1.0e8));
}

// Collects the extent of the lines and points of a drawing; texts keep their size on any
// page, so they do not take part in fitting it.
class CBoundsSurface : public CDrawSurface {
public:
    CPen SelectPen(const CPen& pen) override { return std::exchange(m_pen, pen); }
    CFontSpec SelectFont(const CFontSpec& font) override { return std::exchange(m_font, font); }
    CColour SetTextColour(CColour colour) override { return std::exchange(m_colour, colour); }
    void MoveTo(int x, int y) override { m_current = {x, y}; }
    void LineTo(int x, int y) override {
        Add(m_current);
        Add({x, y});
        m_current = {x, y};
    }
    void Polyline(const std::vector<CLPoint>& points) override {
        for (const CLPoint& p : points) Add(p);
    }
    void Rectangle(int x1, int y1, int x2, int y2) override {
        Add({x1, y1});
        Add({x2, y2});
    }
    void Arc(int x1, int y1, int x2, int y2, int, int, int, int) override {
        Add({x1, y1});
        Add({x2, y2});
    }
    void SetPixel(int x, int y, CColour) override { Add({x, y}); }
    void TextOut(int, int, const std::string&) override {}

    bool seen = false;
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;

private:
    void Add(CLPoint p) {
        if (!seen) {
            xMin = xMax = p.x;
            yMin = yMax = p.y;
            seen = true;
            return;
        }
        xMin = std::min<double>(xMin, p.x);
        xMax = std::max<double>(xMax, p.x);
        yMin = std::min<double>(yMin, p.y);
        yMax = std::max<double>(yMax, p.y);
    }
    CPen m_pen;
    CFontSpec m_font;
    CColour m_colour;
    CLPoint m_current;
};

}  // namespace

CMorvexView::CMorvexView(CViewFrame& frame, CViewWindow& window)
    : m_mainWindow(frame), m_window(window) {}

void CMorvexView::InitialUpdate(CPlaneFrame* engine) {
    m_pFrame = engine;
    m_supportXs.clear();
    if (m_pFrame) {
        for (const Support& sp : m_pFrame->m_supports)
            if (sp.node >= 0 && sp.node < m_pFrame->m_nNodes)
                m_supportXs.push_back(m_pFrame->m_nodes[sp.node].x);
        std::sort(m_supportXs.begin(), m_supportXs.end());
        m_supportXs.erase(std::unique(m_supportXs.begin(), m_supportXs.end()), m_supportXs.end());
        m_nCases = m_pFrame->m_nCases;
        m_nDof = m_pFrame->m_nDof;
        m_nModes = m_pFrame->m_nDof - m_pFrame->m_nConstrainedDofs;
        m_nIlLines = m_pFrame->m_nIlLines;
        m_nIlElements = m_pFrame->m_nIlElements;
        m_nElements = m_pFrame->m_nElements;
        m_groupFirst = 0;
        m_groupLast = m_nElements;
        m_groupStep = 1;
        m_worldXMin = m_pFrame->m_xMin;
        m_worldYMin = m_pFrame->m_yMin;
        m_worldXMax = m_pFrame->m_xMax;
        m_worldYMax = m_pFrame->m_yMax;
        // Combinations computed before, by this program or the batch tool.
        m_combinations = CombinationNamesOnDisk(*m_pFrame);
        m_combinationIndex = 0;
    }
    m_mainWindow.SetGraphSelector(0);
    m_mainWindow.SetLiveLoadSelector(0);
    m_graphKind = 0;
    m_liveLoadItem = 0;
}

void CMorvexView::SetClientSize(int widthPx, int heightPx, double logicalPerPixel) {
    m_clientWidthPx = std::max(0, widthPx);
    m_clientHeightPx = std::max(0, heightPx);
    if (logicalPerPixel > 0) m_logicalPerPixel = logicalPerPixel;
}

CLPoint CMorvexView::DeviceToLogical(CLPoint device) const {
    return {static_cast<int>(std::lround(device.x * m_logicalPerPixel)),
            static_cast<int>(std::lround(-device.y * m_logicalPerPixel))};
}

namespace {

// The world-to-logical scale that puts a width x height world extent into a client area
// reaching to (right, bottom) logical units (bottom below 0), with a margin: 0.8 of the
// tighter direction. A single node (or a window zoomed onto a point) has no extent: it
// shows one world unit.
double FitScale(int right, int bottom, double width, double height) {
    if (width <= 0 && height <= 0) width = height = 1.0;
    const double sx = width > 0 ? right / width : HUGE_VAL;
    const double sy = height > 0 ? -bottom / height : HUGE_VAL;
    return 0.8 * std::min(sx, sy);
}

}  // namespace

void CMorvexView::Fit() {
    const CLPoint corner = DeviceToLogical({m_clientWidthPx, m_clientHeightPx});
    const int right = corner.x, bottom = corner.y;
    // A minimised window has nothing to fit into; keep the previous mapping.
    if (right <= 0 || bottom >= 0) return;
    m_screenCx = right / 2;
    m_screenCy = bottom / 2;
    m_worldCx = (m_worldXMax + m_worldXMin) * 0.5;
    m_worldCy = (m_worldYMin + m_worldYMax) * 0.5;
    m_scale = FitScale(right, bottom, m_worldXMax - m_worldXMin, m_worldYMax - m_worldYMin);
}

void CMorvexView::Draw(CDrawSurface& surface) {
    if (!m_pFrame) return;
    if (!m_userWindow || m_windowZoomMode) Fit();
    DrawGraph(surface);
}

void CMorvexView::Print(CDrawSurface& surface) {
    if (!m_pFrame) return;
    DrawGraph(surface);
}

double CMorvexView::FittedScale() const {
    if (!m_pFrame) return 0;
    const CLPoint corner = DeviceToLogical({m_clientWidthPx, m_clientHeightPx});
    if (corner.x <= 0 || corner.y >= 0) return 0;
    return FitScale(corner.x, corner.y, m_pFrame->m_xMax - m_pFrame->m_xMin,
                    m_pFrame->m_yMax - m_pFrame->m_yMin);
}

void CMorvexView::DrawFitted(CDrawSurface& surface, int widthPx, int heightPx,
                             double logicalPerPixel) {
    if (!m_pFrame) return;
    // Everything the screen mapping consists of, to be put back afterwards.
    const int oldWidth = m_clientWidthPx, oldHeight = m_clientHeightPx;
    const double oldPixel = m_logicalPerPixel;
    const double oldWindow[4] = {m_worldXMin, m_worldYMin, m_worldXMax, m_worldYMax};
    const double oldMap[5] = {m_scale, m_screenCx, m_screenCy, m_worldCx, m_worldCy};

    SetClientSize(widthPx, heightPx, logicalPerPixel);
    m_worldXMin = m_pFrame->m_xMin;
    m_worldYMin = m_pFrame->m_yMin;
    m_worldXMax = m_pFrame->m_xMax;
    m_worldYMax = m_pFrame->m_yMax;
    Fit();
    // A first pass finds where the picture reaches; since ordinates are world lengths, every
    // line scales with the mapping and one correction fits the whole picture exactly.
    CBoundsSurface bounds;
    DrawGraph(bounds);
    const CLPoint corner = DeviceToLogical({m_clientWidthPx, m_clientHeightPx});
    const double areaW = corner.x, areaH = -corner.y;
    if (bounds.seen && areaW > 0 && areaH > 0) {
        const double bw = std::max(1.0, bounds.xMax - bounds.xMin);
        const double bh = std::max(1.0, bounds.yMax - bounds.yMin);
        const double k = 0.94 * std::min(areaW / bw, areaH / bh);
        double cx = 0, cy = 0;
        LogicalToWorld((bounds.xMin + bounds.xMax) / 2, (bounds.yMin + bounds.yMax) / 2, cx, cy);
        m_worldCx = cx;
        m_worldCy = cy;
        m_screenCx = areaW / 2;
        m_screenCy = -areaH / 2;
        m_scale *= k;
    }
    DrawGraph(surface);

    m_clientWidthPx = oldWidth;
    m_clientHeightPx = oldHeight;
    m_logicalPerPixel = oldPixel;
    m_worldXMin = oldWindow[0];
    m_worldYMin = oldWindow[1];
    m_worldXMax = oldWindow[2];
    m_worldYMax = oldWindow[3];
    m_scale = oldMap[0];
    m_screenCx = oldMap[1];
    m_screenCy = oldMap[2];
    m_worldCx = oldMap[3];
    m_worldCy = oldMap[4];
}

CLPoint CMorvexView::WorldToLogical(double x, double y) const {
    return {TruncLogical((x - m_worldCx) * m_scale + m_screenCx),
            TruncLogical((y - m_worldCy) * m_scale + m_screenCy)};
}

CLPoint CMorvexView::OffsetToLogical(CWorldOffset p) const {
    return {TruncLogical(p.x * m_scale + m_screenCx), TruncLogical(p.y * m_scale + m_screenCy)};
}

void CMorvexView::LogicalToWorld(double X, double Y, double& x, double& y) const {
    x = (X - m_screenCx) / m_scale + m_worldCx;
    y = (Y - m_screenCy) / m_scale + m_worldCy;
}

int CMorvexView::SpanOf(int element) const {
    if (!m_pFrame || element < 0 || element >= m_pFrame->m_nElements) return 0;
    const Element& el = m_pFrame->m_elements[element];
    const double mid = (m_pFrame->m_nodes[el.iNode].x + m_pFrame->m_nodes[el.jNode].x) / 2;
    const std::vector<double>& xs = m_supportXs;
    return static_cast<int>(std::lower_bound(xs.begin(), xs.end(), mid) - xs.begin());
}

void CMorvexView::TrackExtreme(double value, CWorldOffset base, CWorldOffset tip) {
    if (m_trackSpan >= 0 && m_trackSpan < 100000) {
        if (static_cast<size_t>(m_trackSpan) >= m_spanExtremes.size())
            m_spanExtremes.resize(static_cast<size_t>(m_trackSpan) + 1);
        CSpanExtreme& sp = m_spanExtremes[static_cast<size_t>(m_trackSpan)];
        if (!sp.seen || value > sp.maxValue)
            sp.maxValue = value, sp.maxBase = base, sp.maxTip = tip;
        if (!sp.seen || value < sp.minValue)
            sp.minValue = value, sp.minBase = base, sp.minTip = tip;
        sp.seen = true;
    }
    if (!m_extremeSeen) {
        m_extremeSeen = true;
        m_maxValue = m_minValue = value;
        m_maxBase = m_minBase = base;
        m_maxTip = m_minTip = tip;
        return;
    }
    if (value > m_maxValue) {
        m_maxValue = value;
        m_maxBase = base;
        m_maxTip = tip;
    }
    if (value < m_minValue) {
        m_minValue = value;
        m_minBase = base;
        m_minTip = tip;
    }
}
