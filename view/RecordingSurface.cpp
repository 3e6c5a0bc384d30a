#include "view/RecordingSurface.h"

CDrawOp CRecordingSurface::Op(CDrawOp::Kind kind) const {
    CDrawOp op;
    op.kind = kind;
    op.pen = pen;
    op.font = font;
    op.colour = textColour;
    op.layer = layer;
    return op;
}

CPen CRecordingSurface::SelectPen(const CPen& p) {
    const CPen old = pen;
    pen = p;
    return old;
}

CFontSpec CRecordingSurface::SelectFont(const CFontSpec& f) {
    const CFontSpec old = font;
    font = f;
    return old;
}

CColour CRecordingSurface::SetTextColour(CColour colour) {
    const CColour old = textColour;
    textColour = colour;
    return old;
}

void CRecordingSurface::MoveTo(int x, int y) {
    m_current = {x, y};
}

void CRecordingSurface::LineTo(int x, int y) {
    CDrawOp op = Op(CDrawOp::Line);
    op.points = {m_current, {x, y}};
    ops.push_back(std::move(op));
    m_current = {x, y};
}

void CRecordingSurface::Polyline(const std::vector<CLPoint>& points) {
    CDrawOp op = Op(CDrawOp::Polyline);
    op.points = points;
    ops.push_back(std::move(op));
}

void CRecordingSurface::Rectangle(int x1, int y1, int x2, int y2) {
    CDrawOp op = Op(CDrawOp::Rectangle);
    op.points = {{x1, y1}, {x2, y2}};
    ops.push_back(std::move(op));
}

void CRecordingSurface::Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) {
    CDrawOp op = Op(CDrawOp::Arc);
    op.points = {{x1, y1}, {x2, y2}, {sx, sy}, {ex, ey}};
    ops.push_back(std::move(op));
}

void CRecordingSurface::SetPixel(int x, int y, CColour colour) {
    CDrawOp op = Op(CDrawOp::Pixel);
    op.points = {{x, y}};
    op.colour = colour;
    ops.push_back(std::move(op));
}

void CRecordingSurface::TextOut(int x, int y, const std::string& text) {
    CDrawOp op = Op(CDrawOp::Text);
    op.points = {{x, y}};
    op.text = text;
    ops.push_back(std::move(op));
}

std::vector<CDrawOp> CRecordingSurface::OfKind(CDrawOp::Kind kind) const {
    std::vector<CDrawOp> out;
    for (const CDrawOp& op : ops)
        if (op.kind == kind) out.push_back(op);
    return out;
}

std::vector<CDrawOp> CRecordingSurface::Texts(const std::string& text) const {
    std::vector<CDrawOp> out;
    for (const CDrawOp& op : ops)
        if (op.kind == CDrawOp::Text && op.text == text) out.push_back(op);
    return out;
}
