#include "view/PixelRuns.h"

void CPixelRunSurface::Flush() {
    if (m_run.size() >= 2) {
        const CPen old = m_target.SelectPen(CPen{m_runColour, 1});
        m_target.Polyline(m_run);
        m_target.SelectPen(old);
    } else if (m_run.size() == 1) {
        m_target.SetPixel(m_run[0].x, m_run[0].y, m_runColour);
    }
    m_run.clear();
}

void CPixelRunSurface::SetPixel(int x, int y, CColour colour) {
    if (!m_run.empty() && !(colour == m_runColour)) {
        // The diagram changes sign: the new run starts where the old one ended, so the
        // curve stays whole.
        const CLPoint last = m_run.back();
        Flush();
        m_run.push_back(last);
    }
    m_runColour = colour;
    if (m_run.empty() || !(m_run.back() == CLPoint{x, y})) m_run.push_back({x, y});
}

CPen CPixelRunSurface::SelectPen(const CPen& pen) {
    return m_target.SelectPen(pen);
}

CFontSpec CPixelRunSurface::SelectFont(const CFontSpec& font) {
    return m_target.SelectFont(font);
}

CColour CPixelRunSurface::SetTextColour(CColour colour) {
    return m_target.SetTextColour(colour);
}

void CPixelRunSurface::MoveTo(int x, int y) {
    m_target.MoveTo(x, y);
}

void CPixelRunSurface::LineTo(int x, int y) {
    m_target.LineTo(x, y);
}

void CPixelRunSurface::Polyline(const std::vector<CLPoint>& points) {
    m_target.Polyline(points);
}

void CPixelRunSurface::Rectangle(int x1, int y1, int x2, int y2) {
    m_target.Rectangle(x1, y1, x2, y2);
}

void CPixelRunSurface::Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) {
    m_target.Arc(x1, y1, x2, y2, sx, sy, ex, ey);
}

void CPixelRunSurface::TextOut(int x, int y, const std::string& text) {
    m_target.TextOut(x, y, text);
}

void CPixelRunSurface::SetLayer(DrawLayer layer) {
    Flush();
    m_target.SetLayer(layer);
}
