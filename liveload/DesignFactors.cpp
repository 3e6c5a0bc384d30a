// The calculation span and the factors of a design-load envelope.
#include <algorithm>
#include <cmath>

#include "engine/PlaneFrame.h"
#include "platform/Host.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

}  // namespace

double CPlaneFrame::DesignSpan() const {
    if (m_designLoad.span > 0) return m_designLoad.span;
    std::vector<int> onPath(static_cast<size_t>(m_nNodes), 0);
    for (int f : m_ilElements) onPath[m_elements[f].iNode] = onPath[m_elements[f].jNode] = 1;
    std::vector<double> xs;
    for (const Support& s : m_supports)
        if (s.code % 100 >= 10 && onPath[s.node]) xs.push_back(m_nodes[s.node].x);
    std::sort(xs.begin(), xs.end());
    if (xs.size() < 2) return m_ilXMax - m_ilXMin;
    double span = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) span = std::max(span, xs[i + 1] - xs[i]);
    return span;
}

bool CPlaneFrame::ComputeDesignFactors(int type, DesignFactorSet& out) {
    out = DesignFactorSet{};
    out.span = DesignSpan();
    if (type < kLaneLoadClassI || type > kVehicleLoad) return true;
    const DesignLoadOptions& o = m_designLoad;
    switch (o.impact) {
        case DesignLoadOptions::kNone:
            break;
        case DesignLoadOptions::kMu:
            out.mu = o.impactValue;
            break;
        case DesignLoadOptions::kFrequency:
            out.frequency = o.impactValue;
            out.mu = ImpactFactor(out.frequency);
            break;
        case DesignLoadOptions::kAuto: {
            if (m_nModes < 1) {
                m_busy = 1;
                const bool ok = NaturalVibration();
                m_busy = 0;
                if (!ok || m_nModes < 1) {
                    // A stopped analysis (the window's cancel) is no failure to report.
                    if (m_keepRunning == 0) return false;
                    ShowMessage("错误：固有振动分析失败，无法由基频确定冲击系数!");
                    return false;
                }
            }
            out.mode = 1;
            out.frequency = m_omega[m_modeOrder[0]] / kTwoPi;
            out.mu = ImpactFactor(out.frequency);
            break;
        }
    }
    if (o.lanes > 0) {
        out.lane = o.lanes * LaneReductionFactor(o.lanes);
        out.longitudinal = LongitudinalReductionFactor(out.span);
    }
    out.distribution = o.distribution;
    out.total = (1 + out.mu) * out.lane * out.longitudinal * out.distribution;
    return true;
}
