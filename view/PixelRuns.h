// A surface in front of another that turns runs of single pixels (the dotted force and
// stress diagrams of the screen) into polylines, for vector output where a device pixel is
// too small to see and a CAD program wants lines. A run ends where a new piece of the
// drawing begins (SetLayer) or the colour changes; other operations pass straight through.
#pragma once

#include <vector>

#include "view/DrawSurface.h"

class CPixelRunSurface : public CDrawSurface {
public:
    explicit CPixelRunSurface(CDrawSurface& target) : m_target(target) {}
    ~CPixelRunSurface() override { Flush(); }

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
    void SetLayer(DrawLayer layer) override;

    // Draws the pending run.
    void Flush();

private:
    CDrawSurface& m_target;
    std::vector<CLPoint> m_run;
    CColour m_runColour;
};
