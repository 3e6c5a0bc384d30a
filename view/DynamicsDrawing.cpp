// The dynamics graphs of the result view: the dynamic response of one record of B.tim with
// the symbols of the excitations acting at its time (the mode shapes are element curves of
// the graph frame).
#include <algorithm>
#include <cmath>
#include <vector>

#include "dynamics/DynamicLoad.h"
#include "dynamics/ResponseExtraction.h"
#include "engine/PlaneFrame.h"
#include "platform/BinaryFile.h"
#include "view/MorvexView.h"
#include "view/Symbols.h"

namespace {

constexpr CColour kSymbolColour = Rgb(43, 174, 49);

}  // namespace

void DrawSymbol(CDrawSurface& s, const CMorvexView& mapping, const CDynamicLoad& load, double t) {
    const CPlaneFrame& f = *mapping.m_pFrame;
    double x = 0, y = 0;
    if (load.m_type == CDynamicLoad::kMoving) {
        // Drawn wherever the load is, before its start and beyond the path too.
        x = load.m_x0 + load.m_speed * (t - load.m_startTime);
    } else if (load.m_type == CDynamicLoad::kNodal || load.m_type == CDynamicLoad::kPrescribed) {
        if (load.m_node < 0 || load.m_node >= f.m_nNodes) return;
        x = f.m_nodes[load.m_node].x;
        y = f.m_nodes[load.m_node].y;
    } else {
        return;
    }
    const CLPoint p = mapping.WorldToLogical(x, y);
    const int X = p.x, Y = p.y;
    const CPen old = s.SelectPen(CPen{kSymbolColour, 1});
    if (load.m_type == CDynamicLoad::kMoving || load.m_dof == 1)
        DrawUpwardArrow(s, X, Y);
    else if (load.m_dof == 0)
        DrawHorizontalArrow(s, X, Y, 1);  // a leftward arrow whose tip is the point
    else
        DrawRotationArc(s, X, Y);
    s.SelectPen(old);
}

double CMorvexView::DrawDynamicResponse(CDrawSurface& s) {
    CPlaneFrame& f = *m_pFrame;
    const int n = f.m_nDof;
    CBinaryIn in;
    if (n <= 0 || m_timeIndex < 0 || !in.Open(f.ResponsePath())) return 0.0;
    const long long bytes = ResponseRecordBytes(n);
    // A record beyond the present file (after a shorter run) shows as a missing file does.
    if (in.Size() < (m_timeIndex + 1LL) * bytes || !in.Seek(m_timeIndex * bytes)) return 0.0;
    if (f.m_dynRecord.size() < static_cast<size_t>(n))
        f.m_dynRecord.assign(2 * static_cast<size_t>(n), 0.0);
    double t = 0;
    if (!in.Double(t)) return 0.0;
    for (int i = 0; i < n; ++i)
        if (!in.Double(f.m_dynRecord[i])) return 0.0;
    if (m_dynamicMoment) {
        DrawDynamicMoment(s);
    } else {
        m_curveSource = &f.m_dynRecord;
        DiagramFactor(LargestResponse());
        for (int e = 0; e < m_nElements; ++e) DrawElementCurve(s, e, 0, false);
    }
    for (const auto& load : f.m_dynLoads)
        if (load) DrawSymbol(s, *this, *load, t);
    return t;
}

void CMorvexView::DrawDynamicMoment(CDrawSurface& s) {
    const CPlaneFrame& f = *m_pFrame;
    const double factor = DiagramFactor(LargestResponseMoment());
    const int step = std::max(1, m_groupStep);
    for (int e = std::max(0, m_groupFirst); e < std::min(m_groupLast, f.m_nElements); e += step) {
        s.SetLayer(DrawLayer::kGraph);  // every element's ordinates apart
        const Element& el = f.m_elements[e];
        const Node& ni = f.m_nodes[el.iNode];
        // Without loads between its nodes the moment is linear along the element: its ends
        // and the points of the static diagram's grid are enough.
        std::vector<CLPoint> tips;
        CWorldOffset first{}, last{};
        for (int i = 0; i <= 10; ++i) {
            double N = 0, Q = 0, M = 0;
            ResponseForces(f, e, i / 10.0, f.m_dynRecord.data(), N, Q, M);
            const double along = el.length * i / 10;
            const CWorldOffset base{ni.x - m_worldCx + along * el.cos,
                                    ni.y - m_worldCy + along * el.sin};
            const double v = std::isfinite(M) ? factor * M : 0.0;
            const CWorldOffset tip{base.x - el.sin * v, base.y + el.cos * v};
            TrackExtreme(v, base, tip);
            tips.push_back(OffsetToLogical(tip));
            if (i == 0) first = base;
            last = base;
        }
        const CLPoint a = OffsetToLogical(first), b = OffsetToLogical(last);
        s.MoveTo(a.x, a.y);
        s.LineTo(tips.front().x, tips.front().y);
        s.Polyline(tips);
        s.MoveTo(b.x, b.y);
        s.LineTo(tips.back().x, tips.back().y);
    }
}

double CMorvexView::LargestResponseMoment() {
    // One scale for the whole run, as the displaced shapes have: the largest end moment.
    const CPlaneFrame& f = *m_pFrame;
    return LargestOverResponse(m_responseMomentLargest, [&f](const double* state) {
        double largest = 0;
        for (int e = 0; e < f.m_nElements; ++e)
            for (double xi : {0.0, 1.0}) {
                double N = 0, Q = 0, M = 0;
                ResponseForces(f, e, xi, state, N, Q, M);
                if (std::isfinite(M)) largest = std::max(largest, std::fabs(M));
            }
        return largest;
    });
}
