// The live-load drawings of the result view: envelope diagrams read from the envelope
// files, and the vehicles placed on the influence line with the total they cause.
#include <algorithm>
#include <cmath>

#include "engine/PlaneFrame.h"
#include "liveload/Combination.h"
#include "liveload/Envelope.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "view/MorvexView.h"

namespace {

constexpr int kPoints = 11;
constexpr CColour kMaximumColour = Rgb(255, 0, 255);
constexpr CColour kMinimumColour = Rgb(0, 128, 0);
constexpr CColour kHeavyVehicleColour = Rgb(50, 150, 50);

}  // namespace

void CMorvexView::EnvelopePoints(int e, double d, double f, int quantity, CWorldOffset& base,
                                 CWorldOffset& tip) const {
    const Element& el = m_pFrame->m_elements[e];
    const Node& ni = m_pFrame->m_nodes[el.iNode];
    base = {ni.x - m_worldCx + d * el.cos, ni.y - m_worldCy + d * el.sin};
    // Moment ordinates point to the right of the element's direction, shear and axial
    // force ordinates to its left.
    if (quantity == 3)
        tip = {base.x + el.sin * f, base.y - el.cos * f};
    else
        tip = {base.x - el.sin * f, base.y + el.cos * f};
}

void CMorvexView::SetEnvelopeExtremes(const EnvelopeData& data, int quantity, double factor) {
    CWorldOffset base, tip;
    EnvelopePoints(data.maxElement, data.maxDistance, data.maxValue * factor, quantity, base, tip);
    m_maxValue = data.maxValue * factor;
    m_maxBase = base;
    m_maxTip = tip;
    EnvelopePoints(data.minElement, data.minDistance, data.minValue * factor, quantity, base, tip);
    m_minValue = data.minValue * factor;
    m_minBase = base;
    m_minTip = tip;
    m_extremeSeen = true;
}

bool CMorvexView::DrawEnvelope(CDrawSurface& s, int quantity) {
    if (!m_pFrame || quantity < 1 || quantity > 3) return false;
    if (m_envelopeType < 0 || m_envelopeType >= kLiveLoadTypes) {
        ShowMessage("请先选择活载类型！");
        return false;
    }
    EnvelopeData data;
    if (!m_pFrame->ReadEnvelope(m_envelopeType, quantity, data)) return false;

    DrawEnvelopeLines(s, data, quantity, LiveLoadEnvelopeLabel(m_envelopeType));
    return true;
}

bool CMorvexView::CombinationPicture(std::string& name, int& quantity) const {
    const int n = static_cast<int>(m_combinations.size());
    if (m_combinationIndex < 0 || m_combinationIndex >= 3 * n) return false;
    name = m_combinations[static_cast<size_t>(m_combinationIndex / 3)];
    quantity = 3 - m_combinationIndex % 3;
    return true;
}

bool CMorvexView::DrawCombination(CDrawSurface& s) {
    std::string name;
    int quantity = 3;
    EnvelopeData data;
    if (!m_pFrame || !CombinationPicture(name, quantity) ||
        !ReadCombinationEnvelope(*m_pFrame, name, quantity, data))
        return false;
    DrawEnvelopeLines(s, data, quantity, "荷载组合：" + name);
    return true;
}

void CMorvexView::DrawEnvelopeLines(CDrawSurface& s, const EnvelopeData& data, int quantity,
                                    const std::string& label) {
    const double factor = DiagramFactor(std::max(std::abs(data.maxValue), std::abs(data.minValue)));
    SetEnvelopeExtremes(data, quantity, factor);

    std::vector<CLPoint> upper(kPoints), lower(kPoints);
    for (int e = 0; e < m_pFrame->m_nElements; ++e) {
        const double length = m_pFrame->m_elements[e].length;
        for (int j = 0; j < kPoints; ++j) {
            const size_t at = static_cast<size_t>(e) * kPoints + j;
            const double d = j * 0.1 * length;
            CWorldOffset base, tip;
            m_trackSpan = SpanOf(e);
            EnvelopePoints(e, d, data.maxima[at] * factor, quantity, base, tip);
            upper[j] = OffsetToLogical(tip);
            TrackExtreme(data.maxima[at] * factor, base, tip);
            EnvelopePoints(e, d, data.minima[at] * factor, quantity, base, tip);
            lower[j] = OffsetToLogical(tip);
            TrackExtreme(data.minima[at] * factor, base, tip);
        }
        const CPen old = s.SelectPen(CPen{kMaximumColour, 1});
        s.Polyline(upper);
        s.SelectPen(CPen{kMinimumColour, 1});
        s.Polyline(lower);
        s.SelectPen(old);
    }
    s.SetLayer(DrawLayer::kAnnotation);
    s.TextOut(0, 0, label);
    s.SetLayer(DrawLayer::kGraph);
}

void CMorvexView::DrawPlacedVehicles(CDrawSurface& s) {
    if (!m_pFrame) return;
    if (m_placeLoad.IsLane()) {
        DrawPlacedLaneLoad(s);
        return;
    }
    const double d = m_placeRightward ? 1.0 : -1.0;
    double sum = 0;
    for (size_t p = 0; p < m_liveLoadPlacements.size(); ++p) {
        const int place = static_cast<int>(p) + 1;
        const double x0 = m_liveLoadPlacements[p];
        const bool heavy = place == 1 && m_placeLoad.HasHeavy();
        const std::vector<double>& offsets =
            heavy ? m_placeLoad.m_heavyOffsets : m_placeLoad.m_mainOffsets;
        const CPen old =
            s.SelectPen(place == 1 ? CPen{kHeavyVehicleColour, 1} : CPen{Rgb(0, 0, 0), 1});
        const CLPoint ref = WorldToLogical(x0, 3.0);
        const int g = ref.y;
        int lastX = ref.x;
        for (double offset : offsets) {
            const int x = WorldToLogical(x0 - d * offset, 3.0).x;
            s.MoveTo(x, g + 30);
            s.LineTo(x, g);
            s.LineTo(x - 3, g + 12);
            s.MoveTo(x, g);
            s.LineTo(x + 3, g + 12);
            lastX = x;
        }
        if (offsets.size() >= 2) {
            s.MoveTo(ref.x, g);
            s.LineTo(lastX, g);
        }
        s.SelectPen(old);
        sum += m_pFrame->VehicleEffect(x0, place, m_placeLoad, m_placeRightward, m_lineIndex);
    }
    s.SetLayer(DrawLayer::kAnnotation);
    if (m_liveLoadClass != -1) s.TextOut(0, 0, FormatString("%s %e", "荷载引起的最值为：", sum));
    s.SetLayer(DrawLayer::kGraph);
}

void CMorvexView::DrawPlacedLaneLoad(CDrawSurface& s) {
    // One arrow as the vehicles' are drawn: from the tail row down to the load row g.
    const int g = WorldToLogical(0, 3.0).y;
    auto arrow = [&](int x, int tail) {
        s.MoveTo(x, g + tail);
        s.LineTo(x, g);
        s.LineTo(x - 3, g + 12);
        s.MoveTo(x, g);
        s.LineTo(x + 3, g + 12);
    };
    // The uniform load qk over each loaded region: a line along the tails and arrows at
    // most 40 logical units apart, one at each end.
    CPen old = s.SelectPen(CPen{Rgb(0, 0, 0), 1});
    for (const LaneRegion& r : m_laneRegions) {
        const int a = WorldToLogical(r.x0, 3.0).x, b = WorldToLogical(r.x1, 3.0).x;
        s.MoveTo(a, g + 30);
        s.LineTo(b, g + 30);
        const int n = std::max(1, (std::abs(b - a) + 39) / 40);
        for (int k = 0; k <= n; ++k) arrow(a + (b - a) * k / n, 30);
    }
    // The concentrated load Pk: a longer arrow in the heavy vehicle's colour.
    if (m_lanePoint.element >= 0) {
        s.SelectPen(CPen{kHeavyVehicleColour, 1});
        arrow(WorldToLogical(m_lanePoint.x, 3.0).x, 60);
    }
    s.SelectPen(old);
    s.SetLayer(DrawLayer::kAnnotation);
    if (m_liveLoadClass != -1)
        s.TextOut(0, 0, FormatString("%s %e", "荷载引起的最值为：", m_laneTotal));
    s.SetLayer(DrawLayer::kGraph);
}
