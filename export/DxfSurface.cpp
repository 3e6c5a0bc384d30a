#include "export/DxfSurface.h"

#include <dl_dxf.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <memory>

#include "engine/PlaneFrame.h"
#include "export/ExportProgress.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/ReplacingFile.h"
#include "view/MorvexView.h"
#include "view/PixelRuns.h"

namespace {

constexpr DrawLayer kLayers[] = {DrawLayer::kStructure,      DrawLayer::kNodeNumbers,
                                 DrawLayer::kElementNumbers, DrawLayer::kGraph,
                                 DrawLayer::kAnnotation,     DrawLayer::kSupports};
// The text style of every text: the TrueType family SimSun (dxflib stores the family in
// the style's extended data), which has the Chinese characters and which CAD programs
// replace by a font of their own where it is missing.
const char* const kTextStyle = "MORVEX_CJK";
// Character height of a TEXT relative to the font's em height on the screen.
constexpr double kCapHeight = 0.7;

bool PointLess(const CLPoint& a, const CLPoint& b) {
    return a.x != b.x ? a.x < b.x : a.y < b.y;
}

// The nearest of the AutoCAD index colours 1 to 8 (black shows as 7, white on black).
int IndexColour(CColour c) {
    static const int kIndex[8][4] = {{1, 255, 0, 0},   {2, 255, 255, 0},  {3, 0, 255, 0},
                                     {4, 0, 255, 255}, {5, 0, 0, 255},    {6, 255, 0, 255},
                                     {7, 0, 0, 0},     {8, 128, 128, 128}};
    int best = 7;
    long bestDistance = -1;
    for (const auto& k : kIndex) {
        const long d =
            (c.r - k[1]) * (c.r - k[1]) + (c.g - k[2]) * (c.g - k[2]) + (c.b - k[3]) * (c.b - k[3]);
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = k[0];
        }
    }
    return best;
}

}  // namespace

const char* DxfLayerName(DrawLayer layer) {
    switch (layer) {
        case DrawLayer::kStructure:
            return "结构";
        case DrawLayer::kNodeNumbers:
            return "节点号";
        case DrawLayer::kElementNumbers:
            return "单元号";
        case DrawLayer::kGraph:
            return "图形";
        case DrawLayer::kAnnotation:
            return "标注";
        case DrawLayer::kSupports:
            return "支座";
    }
    return "0";
}

std::string DxfText(const std::string& s) {
    std::string out;
    iconv_t cd = iconv_open("CP936", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return s;
    char* in = const_cast<char*>(s.data());
    size_t inLeft = s.size();
    char buf[256];
    while (inLeft > 0) {
        char* o = buf;
        size_t outLeft = sizeof buf;
        const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
        out.append(buf, static_cast<size_t>(o - buf));
        if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
        // A character the code page lacks, or a broken sequence: one '?' for it.
        out += '?';
        ++in;
        --inLeft;
        while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) ++in, --inLeft;
    }
    iconv_close(cd);
    return out;
}

CDxfSurface::CDxfSurface(const CMorvexView& mapping) : m_mapping(mapping) {}

void CDxfSurface::World(CLPoint p, std::vector<double>& xy) {
    // The nodes' logical points are taken at the first point drawn, once the view has
    // fitted the picture.
    if (!m_nodesReady && m_mapping.m_pFrame) {
        for (const Node& n : m_mapping.m_pFrame->m_nodes)
            m_nodes.push_back({m_mapping.WorldToLogical(n.x, n.y), {n.x, n.y}});
        std::stable_sort(m_nodes.begin(), m_nodes.end(),
                         [](const auto& a, const auto& b) { return PointLess(a.first, b.first); });
    }
    m_nodesReady = true;
    const auto it = std::lower_bound(
        m_nodes.begin(), m_nodes.end(), p,
        [](const auto& entry, const CLPoint& q) { return PointLess(entry.first, q); });
    if (it != m_nodes.end() && it->first == p) {
        xy.push_back(it->second.first);
        xy.push_back(it->second.second);
        return;
    }
    double x = 0, y = 0;
    m_mapping.LogicalToWorld(p.x, p.y, x, y);
    xy.push_back(x);
    xy.push_back(y);
}

CDxfSurface::Entity CDxfSurface::Make(Entity::Kind kind, CColour colour) const {
    Entity e;
    e.kind = kind;
    e.layer = m_layer;
    e.colour = colour;
    return e;
}

CPen CDxfSurface::SelectPen(const CPen& pen) {
    const CPen old = m_pen;
    m_pen = pen;
    return old;
}

CFontSpec CDxfSurface::SelectFont(const CFontSpec& font) {
    const CFontSpec old = m_font;
    m_font = font;
    return old;
}

CColour CDxfSurface::SetTextColour(CColour colour) {
    const CColour old = m_textColour;
    m_textColour = colour;
    return old;
}

void CDxfSurface::MoveTo(int x, int y) {
    m_current = {x, y};
}

void CDxfSurface::LineTo(int x, int y) {
    Entity e = Make(Entity::Line, m_pen.colour);
    World(m_current, e.xy);
    World({x, y}, e.xy);
    m_entities.push_back(std::move(e));
    m_current = {x, y};
}

void CDxfSurface::Polyline(const std::vector<CLPoint>& points) {
    if (points.size() < 2) return;
    Entity e = Make(Entity::Polyline, m_pen.colour);
    for (const CLPoint& p : points) World(p, e.xy);
    m_entities.push_back(std::move(e));
}

void CDxfSurface::Rectangle(int x1, int y1, int x2, int y2) {
    Entity e = Make(Entity::ClosedPolyline, m_pen.colour);
    for (const CLPoint& p : {CLPoint{x1, y1}, CLPoint{x2, y1}, CLPoint{x2, y2}, CLPoint{x1, y2}})
        World(p, e.xy);
    m_entities.push_back(std::move(e));
}

void CDxfSurface::Arc(int x1, int y1, int x2, int y2, int sx, int sy, int ex, int ey) {
    const double cx = (x1 + x2) * 0.5, cy = (y1 + y2) * 0.5;
    Entity e = Make(Entity::Arc, m_pen.colour);
    double wx = 0, wy = 0;
    m_mapping.LogicalToWorld(cx, cy, wx, wy);
    e.xy = {wx, wy};
    // The view's arcs are circular; the mean of the two half-axes keeps a rounded box whole.
    e.radius = (std::abs(x2 - x1) + std::abs(y2 - y1)) * 0.25 / m_mapping.m_scale;
    e.startAngle = std::atan2(sy - cy, sx - cx) * 180 / M_PI;
    e.endAngle = std::atan2(ey - cy, ex - cx) * 180 / M_PI;
    m_entities.push_back(std::move(e));
}

void CDxfSurface::SetPixel(int x, int y, CColour colour) {
    Entity e = Make(Entity::Point, colour);
    World({x, y}, e.xy);
    m_entities.push_back(std::move(e));
}

void CDxfSurface::TextOut(int x, int y, const std::string& text) {
    Entity e = Make(Entity::Text, m_textColour);
    double wx = 0, wy = 0;
    m_mapping.LogicalToWorld(x, y, wx, wy);
    e.xy = {wx, wy};
    e.height = kCapHeight * m_font.height / m_mapping.m_scale;
    e.text = text;
    m_entities.push_back(std::move(e));
}

bool CDxfSurface::Write(const std::string& path, CExportProgress* progress) const {
    // dxflib writes the scratch file beside path by its name; it replaces path only when
    // complete, so a failed or stopped export leaves the old file as it was.
    CReplacingFile file;
    DL_Dxf dxf;
    const DL_Codes::version version = DL_Codes::AC1015;
    std::unique_ptr<DL_WriterA> dw(file.Open(path) ? dxf.out(file.ScratchPath().c_str(), version)
                                                   : nullptr);
    if (!dw || dw->openFailed()) {
        ShowMessage(FormatString("错误：无法写入文件%s!", path.c_str()));
        return false;
    }
    dxf.writeHeader(*dw);
    // Texts and layer names are in the Chinese code page, as CAD programs expect them in a
    // file of this version.
    dw->dxfString(9, "$DWGCODEPAGE");
    dw->dxfString(3, "ANSI_936");
    // Drawing units: metres.
    dw->dxfString(9, "$INSUNITS");
    dw->dxfInt(70, 6);
    dw->sectionEnd();

    dw->sectionTables();
    dxf.writeVPort(*dw);
    dw->tableLinetypes(3);
    dxf.writeLinetype(*dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(*dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    dw->tableEnd();
    dw->tableLayers(1 + static_cast<int>(std::size(kLayers)));
    dxf.writeLayer(*dw, DL_LayerData("0", 0), DL_Attributes("", 7, 0x00000000, "CONTINUOUS", 1.0));
    static const int kLayerColours[] = {7, 5, 1, 6, 5, 5};
    for (size_t i = 0; i < std::size(kLayers); ++i)
        dxf.writeLayer(*dw, DL_LayerData(DxfText(DxfLayerName(kLayers[i])), 0),
                       DL_Attributes("", kLayerColours[i], 0x00000000, "CONTINUOUS", 1.0));
    dw->tableEnd();
    dw->tableStyle(2);
    dxf.writeStyle(*dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    dxf.writeStyle(*dw, DL_StyleData(kTextStyle, 0, 0.0, 1.0, 0.0, 0, 1.0, "SimSun", ""));
    dw->tableEnd();
    dxf.writeView(*dw);
    dxf.writeUcs(*dw);
    dw->tableAppid(1);
    dxf.writeAppid(*dw, "ACAD");
    dw->tableEnd();
    dxf.writeDimStyle(*dw, 1, 1, 1, 1, 1);
    dxf.writeBlockRecord(*dw);
    dw->tableEnd();
    dw->sectionEnd();

    dw->sectionBlocks();
    for (const char* block : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
        dxf.writeBlock(*dw, DL_BlockData(block, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(*dw, block);
    }
    dw->sectionEnd();

    dw->sectionEntities();
    for (size_t i = 0; i < m_entities.size(); ++i) {
        if (progress && i % 4096 == 0 &&
            !progress->Step(static_cast<double>(i) / static_cast<double>(m_entities.size())))
            return false;
        const Entity& e = m_entities[i];
        DL_Attributes a(DxfText(DxfLayerName(e.layer)), IndexColour(e.colour), 0, "BYLAYER", 1.0);
        a.setColor24((e.colour.r << 16) | (e.colour.g << 8) | e.colour.b);
        switch (e.kind) {
            case Entity::Line:
                dxf.writeLine(*dw, DL_LineData(e.xy[0], e.xy[1], 0, e.xy[2], e.xy[3], 0), a);
                break;
            case Entity::Polyline:
            case Entity::ClosedPolyline: {
                const int n = static_cast<int>(e.xy.size() / 2);
                dxf.writePolyline(
                    *dw, DL_PolylineData(n, 0, 0, e.kind == Entity::ClosedPolyline ? 1 : 0), a);
                for (int i = 0; i < n; ++i)
                    dxf.writeVertex(*dw, DL_VertexData(e.xy[2 * i], e.xy[2 * i + 1], 0, 0));
                dxf.writePolylineEnd(*dw);
                break;
            }
            case Entity::Arc:
                dxf.writeArc(
                    *dw, DL_ArcData(e.xy[0], e.xy[1], 0, e.radius, e.startAngle, e.endAngle), a);
                break;
            case Entity::Point:
                dxf.writePoint(*dw, DL_PointData(e.xy[0], e.xy[1], 0), a);
                break;
            case Entity::Text:
                // Top-left alignment, as the view places its texts.
                dxf.writeText(*dw,
                              DL_TextData(e.xy[0], e.xy[1], 0, e.xy[0], e.xy[1], 0, e.height, 1.0,
                                          0, 0, 3, DxfText(e.text), kTextStyle, 0.0),
                              a);
                break;
        }
    }
    dw->sectionEnd();
    dxf.writeObjects(*dw);
    dxf.writeObjectsEnd(*dw);
    dw->dxfEOF();
    dw->close();
    // The writer does not report a failed write; a complete file ends with EOF.
    std::FILE* fp = std::fopen(file.ScratchPath().c_str(), "rb");
    bool complete = false;
    if (fp) {
        char tail[16] = {};
        if (std::fseek(fp, -8, SEEK_END) == 0) {
            const size_t n = std::fread(tail, 1, 8, fp);
            complete = std::string(tail, n).find("EOF") != std::string::npos;
        }
        std::fclose(fp);
    }
    // The last look at the stop flag, before the file replaces the old one.
    if (progress && !progress->Step(1)) return false;
    if (!complete || !file.Commit()) {
        ShowMessage(FormatString("错误：无法写入文件%s!", path.c_str()));
        return false;
    }
    return true;
}

bool WriteViewDxf(CMorvexView& view, const std::string& path, bool caption,
                  CExportProgress* progress) {
    if (progress && !progress->Step(0)) return false;
    CDxfSurface dxf(view);
    {
        CPixelRunSurface runs(dxf);
        view.Draw(runs);
        runs.Flush();
        if (caption && !view.Caption().empty()) {
            // Under the drawing at its lower left, as the picture files show it.
            runs.SetLayer(DrawLayer::kAnnotation);
            runs.SelectFont(CFontSpec{"宋体", 40, 400});
            runs.SetTextColour(Rgb(0, 0, 0));
            const int bottom = static_cast<int>(
                std::lround(-(view.m_clientHeightPx * view.m_logicalPerPixel) + 70));
            runs.TextOut(20, bottom, view.Caption());
        }
    }
    return dxf.Write(path, progress);
}
