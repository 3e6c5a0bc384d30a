// The mouse modes of the view: pan, stepless zoom and window zoom with a rubber rectangle.
#include <algorithm>

#include "platform/Format.h"
#include "view/MorvexView.h"

void CMorvexView::OnMouseMove(CLPoint device, bool leftOnly) {
    bool redraw = false;
    if (m_windowZoomMode) {
        m_window.SetCursor(ViewCursor::Normal);
        if (m_dragState == 1 && !(device == m_lastMouse)) {
            m_window.InvertRectangle(m_dragAnchor, m_lastMouse);
            m_lastMouse = device;
            m_window.InvertRectangle(m_dragAnchor, m_lastMouse);
        }
    } else if (m_panMode) {
        m_window.SetCursor(ViewCursor::Pan);
        if (leftOnly) {
            const CLPoint now = DeviceToLogical(device), before = DeviceToLogical(m_lastMouse);
            if (!(now == before)) {
                m_worldCx -= (now.x - before.x) / m_scale;
                m_worldCy -= (now.y - before.y) / m_scale;
                redraw = true;
            }
        }
        m_lastMouse = device;
    } else if (m_zoomMode) {
        m_window.SetCursor(ViewCursor::Zoom);
        if (leftOnly) {
            // One step per event whatever the distance: higher on the screen zooms in.
            if (device.y < m_lastMouse.y) {
                m_scale *= 1.01;
                redraw = true;
            } else if (device.y > m_lastMouse.y) {
                m_scale *= 0.9900990099009901;
                redraw = true;
            }
        }
        m_lastMouse = device;
    } else {
        m_window.SetCursor(ViewCursor::Normal);
        // The value of the present graph under the mouse, in the prompt pane and beside it.
        const std::string probe = ProbeText(device);
        if (!probe.empty() || m_probeShown) {
            m_mainWindow.SetStatusPane(0, probe.empty() ? std::string("就绪") : probe);
            m_window.ShowProbe(device, probe);
            m_probeShown = !probe.empty();
        }
    }
    const CLPoint p = DeviceToLogical(device);
    double x, y;
    LogicalToWorld(p.x, p.y, x, y);
    m_mainWindow.SetStatusPane(2, FormatString("x: %lf", x));
    m_mainWindow.SetStatusPane(3, FormatString("y: %lf", y));
    if (redraw) m_window.Redraw();
}

void CMorvexView::OnLeftButtonDown(CLPoint device) {
    m_lastMouse = device;
    if (!m_windowZoomMode) return;
    if (m_dragState == 0) {
        m_dragAnchor = device;
        m_dragState = 1;
        m_window.CaptureMouse(true);
        return;
    }
    // A click on the first corner itself would give an empty window.
    if (device == m_dragAnchor) return;
    const CLPoint a = DeviceToLogical(m_dragAnchor), b = DeviceToLogical(device);
    double x1, y1, x2, y2;
    LogicalToWorld(a.x, a.y, x1, y1);
    LogicalToWorld(b.x, b.y, x2, y2);
    m_worldXMin = std::min(x1, x2);
    m_worldXMax = std::max(x1, x2);
    m_worldYMin = std::min(y1, y2);
    m_worldYMax = std::max(y1, y2);
    m_dragState = 0;
    m_window.CaptureMouse(false);
    m_window.Redraw();
}
