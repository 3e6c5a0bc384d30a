// The view's state, its world-to-window mapping and the screen and printer drawing.
#include "view/MorvexView.h"

#include <algorithm>
#include <cmath>

#include "engine/PlaneFrame.h"

namespace {

// Truncation toward zero, kept inside the range that every surface can take: a point far
// off the window (a huge zoom, a wild ordinate) must not overflow.
int TruncLogical(double v) {
    if (!(v == v)) return 0;
    return static_cast<int>(std::clamp(v, -1.0e8, 1.0e8));
}

}  // namespace

CMorvexView::CMorvexView(CViewFrame& frame, CViewWindow& window)
    : m_frame(frame), m_window(window) {}

void CMorvexView::InitialUpdate(CPlaneFrame* engine) {
    m_pFrame = engine;
    if (m_pFrame) {
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
    }
    m_frame.SetGraphSelector(0);
    m_frame.SetLiveLoadSelector(0);
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

void CMorvexView::Fit() {
    const CLPoint corner = DeviceToLogical({m_clientWidthPx, m_clientHeightPx});
    const int right = corner.x, bottom = corner.y;
    // A minimised window has nothing to fit into; keep the previous mapping.
    if (right <= 0 || bottom >= 0) return;
    m_screenCx = right / 2;
    m_screenCy = bottom / 2;
    m_worldCx = (m_worldXMax + m_worldXMin) * 0.5;
    m_worldCy = (m_worldYMin + m_worldYMax) * 0.5;
    double width = m_worldXMax - m_worldXMin, height = m_worldYMax - m_worldYMin;
    // A single node (or a window zoomed onto a point) has no extent: show one world unit.
    if (width <= 0 && height <= 0) width = height = 1.0;
    const double sx = width > 0 ? right / width : HUGE_VAL;
    const double sy = height > 0 ? -bottom / height : HUGE_VAL;
    m_scale = 0.8 * std::min(sx, sy);
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

void CMorvexView::TrackExtreme(double value, CWorldOffset base, CWorldOffset tip) {
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
