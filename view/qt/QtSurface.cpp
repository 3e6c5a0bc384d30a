#include "view/qt/QtSurface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>
#include <cmath>

namespace {

QColor ToQt(CColour c) {
    return QColor(c.r, c.g, c.b);
}

}  // namespace

void InstallViewFonts() {
    QFont::insertSubstitutions(QString::fromUtf8("宋体"),
                               {"Noto Serif CJK SC", "Noto Sans CJK SC", "SimSun"});
}

CQtSurface::CQtSurface(QPainter& painter, double logicalPerPixel)
    : m_painter(painter), m_k(logicalPerPixel > 0 ? logicalPerPixel : 1.0) {
    m_painter.setBrush(Qt::white);
    ApplyPen();
    SelectFont(CFontSpec{});
}

void CQtSurface::ApplyPen() {
    // A pen is never thinner than one device pixel, as on a window.
    QPen pen(ToQt(m_pen.colour), std::max(1.0, m_pen.width / m_k));
    pen.setCapStyle(Qt::FlatCap);
    if (m_pen.inverting) {
        pen.setColor(Qt::white);
        m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    } else {
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    m_painter.setPen(pen);
}

CPen CQtSurface::SelectPen(const CPen& pen) {
    const CPen old = m_pen;
    m_pen = pen;
    ApplyPen();
    return old;
}

CFontSpec CQtSurface::SelectFont(const CFontSpec& font) {
    const CFontSpec old = m_font;
    m_font = font;
    m_qfont = QFont(QString::fromStdString(font.face));
    m_qfont.setPixelSize(std::max(1, static_cast<int>(std::lround(font.height / m_k))));
    m_qfont.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 100, 900)));
    // Shaping would swap in glyph variants without character codes, and text copied from a
    // PDF or SVG would lose its digits; the drawings' texts need none.
    m_qfont.setStyleStrategy(QFont::PreferNoShaping);
    return old;
}

CColour CQtSurface::SetTextColour(CColour colour) {
    const CColour old = m_textColour;
    m_textColour = colour;
    return old;
}

void CQtSurface::MoveTo(int x, int y) {
    m_current = {x, y};
}

void CQtSurface::LineTo(int x, int y) {
    m_painter.drawLine(ToDevice(m_current.x, m_current.y), ToDevice(x, y));
    m_current = {x, y};
}

void CQtSurface::Polyline(const std::vector<CLPoint>& points) {
    if (points.size() < 2) return;
    QPolygonF poly;
    poly.reserve(static_cast<qsizetype>(points.size()));
    for (const CLPoint& p : points) poly.append(ToDevice(p.x, p.y));
    m_painter.drawPolyline(poly);
}

void CQtSurface::Rectangle(int x1, int y1, int x2, int y2) {
    m_painter.drawRect(QRectF(ToDevice(x1, y1), ToDevice(x2, y2)).normalized());
}

void CQtSurface::Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) {
    const double cx = (x1 + x2) * 0.5, cy = (y1 + y2) * 0.5;
    // Angles in the y-up logical plane; Qt's positive angles turn counter-clockwise as seen,
    // which is the same sense once y points up.
    const double start = std::atan2(sy - cy, sx - cx) * 180 / M_PI;
    double span = std::atan2(ey - cy, ex - cx) * 180 / M_PI - start;
    while (span <= 0) span += 360;
    const QRectF box = QRectF(ToDevice(x1, y1), ToDevice(x2, y2)).normalized();
    QPainterPath path;
    path.arcMoveTo(box, start);
    path.arcTo(box, start, span);
    m_painter.save();
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPath(path);
    m_painter.restore();
}

void CQtSurface::SetPixel(int x, int y, CColour colour) {
    const QPointF p = ToDevice(x, y);
    // One device pixel, but never smaller than 0.1 mm on a fine printer or image.
    const double size = std::max(1.0, std::round(1.0 / m_k));
    m_painter.fillRect(QRectF(std::floor(p.x()), std::floor(p.y()), size, size), ToQt(colour));
}

void CQtSurface::TextOut(int x, int y, const std::string& text) {
    const QString s = QString::fromStdString(text);
    const QFontMetricsF metrics(m_qfont, m_painter.device());
    const QPointF topLeft = ToDevice(x, y);
    m_painter.save();
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    m_painter.setFont(m_qfont);
    m_painter.fillRect(QRectF(topLeft, QSizeF(metrics.horizontalAdvance(s), metrics.height())),
                       Qt::white);
    m_painter.setPen(ToQt(m_textColour));
    m_painter.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), s);
    m_painter.restore();
}
