// The undeformed structure under every graph: nodes, elements, numbers, section outlines
// and support symbols. Symbol and label sizes are in logical units, so they keep their
// size when zooming.
#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "engine/PlaneFrame.h"
#include "platform/Format.h"
#include "view/BoxPlacer.h"
#include "view/MorvexView.h"
#include "view/Symbols.h"

namespace {

int Digits(int n) {
    int d = 1;
    for (; n >= 10; n /= 10) ++d;
    return d;
}

}  // namespace

void CMorvexView::DrawStructure(CDrawSurface& s) {
    const CPlaneFrame& f = *m_pFrame;
    // A crowded picture (a long girder of many elements seen whole) leaves out a number
    // that would overlap one of its kind, and draws a node square once where several fall
    // on the same pixel: what is drawn stays readable, and 10^5 nodes draw at once.
    const bool all = s.KeepsCrowdedDetail();
    CBoxPlacer nodeNumbers, elementNumbers;
    std::unordered_set<long long> nodePixels;
    const double pixel = std::max(m_logicalPerPixel, 1.0);

    s.SetTextColour(Rgb(30, 100, 255));
    for (int n = 0; n < f.m_nNodes; ++n) {
        const CLPoint p = WorldToLogical(f.m_nodes[n].x, f.m_nodes[n].y);
        s.SetLayer(DrawLayer::kStructure);
        const long long px = std::lround(p.x / pixel), py = std::lround(p.y / pixel);
        if (all || nodePixels.insert(px * 1000003LL + py).second)
            s.Rectangle(p.x - 5, p.y - 5, p.x + 5, p.y + 5);
        s.SetLayer(DrawLayer::kNodeNumbers);
        if (m_showNodeNumbers &&
            (all || nodeNumbers.Place(TextBox(p.x + 1, p.y + 31, Digits(n + 1) + 1))))
            s.TextOut(p.x + 1, p.y + 31, FormatString("%d", n + 1));
    }

    s.SetTextColour(Rgb(255, 0, 0));
    for (int e = 0; e < f.m_nElements; ++e) {
        const Element& el = f.m_elements[e];
        const Node& ni = f.m_nodes[el.iNode];
        const Node& nj = f.m_nodes[el.jNode];
        const CLPoint a = WorldToLogical(ni.x, ni.y), b = WorldToLogical(nj.x, nj.y);
        const CLPoint mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
        s.SetLayer(DrawLayer::kElementNumbers);
        if (m_showElementNumbers &&
            (all || elementNumbers.Place(TextBox(mid.x, mid.y, Digits(e + 1) + 1))))
            s.TextOut(mid.x, mid.y, FormatString("%d", e + 1));
        s.SetLayer(DrawLayer::kStructure);
        s.MoveTo(a.x, a.y);
        s.LineTo(b.x, b.y);
        if (m_showSections) {
            const double c = el.cos, sn = el.sin;
            const Section& si = f.m_sections[el.iSection];
            const Section& sj = f.m_sections[el.jSection];
            const CLPoint topI = WorldToLogical(ni.x - sn * si.hTop, ni.y + c * si.hTop);
            const CLPoint outline[5] = {
                topI,
                WorldToLogical(ni.x + sn * si.hBottom, ni.y - c * si.hBottom),
                WorldToLogical(nj.x + sn * sj.hBottom, nj.y - c * sj.hBottom),
                WorldToLogical(nj.x - sn * sj.hTop, nj.y + c * sj.hTop),
                topI,
            };
            const CPen old = s.SelectPen(CPen{Rgb(150, 150, 150), 1});
            s.Polyline(std::vector<CLPoint>(outline, outline + 5));
            s.SelectPen(old);
        }
    }

    s.SetTextColour(Rgb(0, 0, 0));

    if (!m_showConstraints) return;
    s.SetLayer(DrawLayer::kSupports);
    const CPen old = s.SelectPen(CPen{Rgb(0, 0, 255), 1});
    // Symbols that would overlap those of another node are left out like the numbers; the
    // several supports of one node all draw.
    CBoxPlacer symbols;
    std::unordered_set<int> symbolNodes;
    for (int r = 0; r < f.m_nSupports; ++r) {
        const Support& sup = f.m_supports[r];
        const Node& node = f.m_nodes[sup.node];
        const CLPoint p = WorldToLogical(node.x, node.y);
        const int X = p.x, Y = p.y;
        if (!all && !symbolNodes.count(sup.node)) {
            if (!symbols.Place({X - 35, Y - 70, X + 35, Y + 35})) continue;
            symbolNodes.insert(sup.node);
        }
        int k = sup.code;
        if (k > 99) {
            // The arrow points away from the middle of the picture.
            DrawHorizontalArrow(s, X, Y, node.x > m_worldCx ? 1 : -1);
        }
        k %= 100;
        if (k > 9) DrawUpwardArrow(s, X, Y);
        if (k % 10 > 0) DrawRotationArc(s, X, Y);
    }
    s.SelectPen(old);
    s.SetLayer(DrawLayer::kStructure);
}
