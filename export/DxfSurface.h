// The result view's drawing as a DXF file: every line, polyline, arc and text on a named
// layer, with the structure at its real size in metres.
#pragma once

#include <string>
#include <vector>

#include "view/DrawSurface.h"

class CExportProgress;
class CMorvexView;

// The DXF name of a layer ("结构", "节点号", "单元号", "图形", "标注", "支座").
const char* DxfLayerName(DrawLayer layer);
// Text for the DXF file: the UTF-8 text in the Chinese code page (936) the file declares;
// a character the code page lacks becomes '?'.
std::string DxfText(const std::string& utf8);

// Collects what the view draws, taking logical points back to world coordinates through
// the view's mapping; points at a node's logical position are the node's own coordinates,
// so the structure is exact whatever the picture's resolution.
class CDxfSurface : public CDrawSurface {
public:
    explicit CDxfSurface(const CMorvexView& mapping);

    CPen SelectPen(const CPen& pen) override;
    CFontSpec SelectFont(const CFontSpec& font) override;
    CColour SetTextColour(CColour colour) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const std::vector<CLPoint>& points) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) override;
    void SetPixel(int x, int y, CColour colour) override;
    bool KeepsCrowdedDetail() const override { return true; }
    void TextOut(int x, int y, const std::string& text) override;
    void SetLayer(DrawLayer layer) override { m_layer = layer; }

    // Writes the collected drawing; the file replaces one at path only when complete. False
    // after the message, or without one when the progress reports a stop.
    bool Write(const std::string& path, CExportProgress* progress = nullptr) const;

    struct Entity {
        enum Kind { Line, Polyline, ClosedPolyline, Arc, Point, Text } kind = Line;
        DrawLayer layer = DrawLayer::kStructure;
        CColour colour;
        std::vector<double> xy;  // world points; arc: centre; text: top-left corner
        double radius = 0, startAngle = 0, endAngle = 0;  // arc, degrees
        double height = 0;                                // text
        std::string text;
    };
    const std::vector<Entity>& Entities() const { return m_entities; }

private:
    void World(CLPoint p, std::vector<double>& xy);
    Entity Make(Entity::Kind kind, CColour colour) const;

    const CMorvexView& m_mapping;
    std::vector<std::pair<CLPoint, std::pair<double, double>>> m_nodes;  // sorted by point
    bool m_nodesReady = false;
    std::vector<Entity> m_entities;
    DrawLayer m_layer = DrawLayer::kStructure;
    CPen m_pen;
    CFontSpec m_font;
    CColour m_textColour;
    CLPoint m_current;
};

// Draws the view's current graph as the window shows it (fitted to its client area unless
// the user zoomed), with the caption under it when asked, into a DXF file. False after the
// message, or without one when the progress reports a stop.
bool WriteViewDxf(CMorvexView& view, const std::string& path, bool caption,
                  CExportProgress* progress = nullptr);
