// The Qt backend of the drawing surface: a QPainter on a widget, printer, image or SVG.
#pragma once

#include <QPainter>

#include "view/DrawSurface.h"

// Maps logical units (0.1 mm, y upward) onto the painter's device pixels; text stays upright.
class CQtSurface : public CDrawSurface {
public:
    // logicalPerPixel: logical units in one device pixel (254 / dots per inch).
    CQtSurface(QPainter& painter, double logicalPerPixel);

    CPen SelectPen(const CPen& pen) override;
    CFontSpec SelectFont(const CFontSpec& font) override;
    CColour SetTextColour(CColour colour) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const std::vector<CLPoint>& points) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) override;
    void SetPixel(int x, int y, CColour colour) override;
    void TextOut(int x, int y, const std::string& text) override;

    QPointF ToDevice(double x, double y) const { return {x / m_k, -y / m_k}; }

private:
    void ApplyPen();

    QPainter& m_painter;
    double m_k;
    CPen m_pen;
    CFontSpec m_font;
    CColour m_textColour;
    QFont m_qfont;
    CLPoint m_current;
};

// Maps the face "宋体" of the drawings to the CJK fonts installed here. Call once after the
// application object exists.
void InstallViewFonts();
