// Reading values off the drawing: the element nearest to the mouse and the present graph's
// value there.
#include <algorithm>
#include <cmath>

#include "dynamics/ResponseExtraction.h"
#include "engine/BeamShape.h"
#include "engine/CaseFile.h"
#include "engine/PlaneFrame.h"
#include "liveload/Combination.h"
#include "liveload/Envelope.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "platform/TextFile.h"
#include "view/MorvexView.h"

namespace {

// How near the mouse must be to an element, in logical units (3 mm).
constexpr double kProbeReach = 30;

// "最大 … 最小 …" of an envelope (11 points per element) at relative position t of element
// e, between the two points around it; empty when the data do not reach that far.
std::string EnvelopeAt(const EnvelopeData& data, int e, double t) {
    const double at = t * 10;
    const int j = std::min(9, static_cast<int>(at));
    const size_t k = static_cast<size_t>(e) * 11 + j;
    if (data.maxima.size() < k + 2 || data.minima.size() < k + 2) return {};
    const double w = at - j;
    const double hi = (1 - w) * data.maxima[k] + w * data.maxima[k + 1];
    const double lo = (1 - w) * data.minima[k] + w * data.minima[k + 1];
    return FormatString("最大 %.4e  最小 %.4e", hi, lo);
}

}  // namespace

std::string CMorvexView::ProbeText(CLPoint device) const {
    if (!m_pFrame || m_graphKind <= graph::kStructure || m_graphKind >= graph::kCount) return {};
    const CPlaneFrame& f = *m_pFrame;
    if (m_scale <= 0 || f.m_nElements <= 0) return {};
    const CLPoint p = DeviceToLogical(device);
    double x = 0, y = 0;
    LogicalToWorld(p.x, p.y, x, y);

    // The nearest element within reach, and where along it.
    int best = -1;
    double bestDistance = kProbeReach / m_scale, bestT = 0;
    for (int e = 0; e < f.m_nElements; ++e) {
        const Element& el = f.m_elements[e];
        const Node& a = f.m_nodes[el.iNode];
        if (!(el.length > 0)) continue;
        const double t =
            std::clamp(((x - a.x) * el.cos + (y - a.y) * el.sin) / el.length, 0.0, 1.0);
        const double dx = x - (a.x + t * el.length * el.cos),
                     dy = y - (a.y + t * el.length * el.sin);
        const double d = std::hypot(dx, dy);
        // The first of two equally near elements (a shared node belongs to the left one).
        if (d < bestDistance) best = e, bestDistance = d, bestT = t;
    }
    if (best < 0) return {};
    const Element& el = f.m_elements[best];
    std::string text = FormatString("单元%d  x=%.3f m  ", best + 1, bestT * el.length);

    // A curve state (case, line, mode, response record): the displacement there.
    double ux = 0, uy = 0;
    auto curve = [&](const std::vector<double>& src, int state) {
        const size_t offset = static_cast<size_t>(state) * static_cast<size_t>(f.m_nDof);
        if (state < 0 || src.size() < offset + static_cast<size_t>(f.m_nDof)) return false;
        double d[6];
        ElementEndValues(f, best, src.data() + offset, d);
        BeamShapeOffset(el.cos, el.sin, el.length, d, bestT, ux, uy);
        return true;
    };
    switch (m_graphKind) {
        case graph::kDisplaced:
            if (!curve(f.m_disp, m_caseIndex)) return {};
            return text + FormatString("工况%d  ux=%.4e m  uy=%.4e m", m_caseIndex + 1, ux, uy);
        case graph::kInfluence:
            if (!curve(f.m_ilStates, m_lineIndex)) return {};
            return text + FormatString("影响线%d  纵标 %.4e", m_lineIndex + 1, uy);
        case graph::kMode:
            if (m_modeIndex < 0 || static_cast<size_t>(m_modeIndex) >= f.m_modeOrder.size() ||
                !curve(f.m_modeShapes, f.m_modeOrder[m_modeIndex]))
                return {};
            return text + FormatString("振型%d  x %.4e  y %.4e", m_modeIndex + 1, ux, uy);
        case graph::kDynamic:
            // The record buffer holds the step on screen; a run in progress owns it.
            if (f.m_busy != 0 || !curve(f.m_dynRecord, 0)) return {};
            return text + FormatString("时间步%d  ux=%.4e m  uy=%.4e m", m_timeIndex + 1, ux, uy);
        case graph::kMoment:
        case graph::kShear:
        case graph::kAxial:
        case graph::kUpperStress:
        case graph::kLowerStress: {
            CCaseFileIn in;
            double rec[casefile::kValues];
            const int r = static_cast<int>(std::lround(bestT * (casefile::kPoints - 1)));
            if (m_caseIndex < 0 || !in.Open(f.CaseBinaryPath(m_caseIndex + 1)) ||
                !in.Point(best, r, rec))
                return {};
            // Adding zero turns a negative zero into a plain one.
            return text + FormatString("工况%d  N=%.4e N  Q=%.4e N  M=%.4e N·m", m_caseIndex + 1,
                                       rec[0] + 0.0, rec[1] + 0.0, rec[2] + 0.0);
        }
        case graph::kMomentEnvelope:
        case graph::kShearEnvelope:
        case graph::kAxialEnvelope: {
            EnvelopeData data;
            // Only a file the drawing found: a missing one was reported there already.
            if (!m_envelopeEnabled || !f.ReadEnvelope(m_envelopeType, 8 - m_graphKind, data))
                return {};
            const std::string value = EnvelopeAt(data, best, bestT);
            return value.empty() ? std::string() : text + value;
        }
        case graph::kCombination: {
            std::string name;
            int quantity = 3;
            EnvelopeData data;
            // As above: a file the drawing could not read gives no value (and no second
            // message at every move of the mouse).
            if (!m_envelopeEnabled || !CombinationPicture(name, quantity) ||
                !FileExists(f.CombinationBinaryPath(name)) ||
                !ReadCombinationEnvelope(f, name, quantity, data))
                return {};
            const std::string value = EnvelopeAt(data, best, bestT);
            if (value.empty()) return {};
            return text + "组合" + name + "  " + value;
        }
        default:
            return {};
    }
}
