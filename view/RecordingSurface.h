// A drawing surface that keeps a list of what was drawn, for tests and inspection.
#pragma once

#include <string>
#include <vector>

#include "view/DrawSurface.h"

// One drawing operation with the pen, font and text colour in effect when it was made.
struct CDrawOp {
    enum Kind { Line, Polyline, Rectangle, Arc, Pixel, Text };
    Kind kind = Line;
    std::vector<CLPoint> points;  // line: from, to; rectangle: corners; arc: box, start, end
    CPen pen;
    CColour colour;  // pixel colour, or the text colour for text
    CFontSpec font;
    std::string text;
    DrawLayer layer = DrawLayer::kStructure;
};

// Records every operation in order; draws nothing.
class CRecordingSurface : public CDrawSurface {
public:
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
    void SetLayer(DrawLayer l) override { layer = l; }

    // The operations of one kind, in drawing order.
    std::vector<CDrawOp> OfKind(CDrawOp::Kind kind) const;
    // The text operations whose text equals the given one.
    std::vector<CDrawOp> Texts(const std::string& text) const;

    std::vector<CDrawOp> ops;
    CPen pen;
    CFontSpec font;
    CColour textColour;
    DrawLayer layer = DrawLayer::kStructure;

private:
    CDrawOp Op(CDrawOp::Kind kind) const;
    CLPoint m_current;
};
