// The current graph over the structure: displaced shapes and influence lines as curves,
// force diagrams and edge stresses as ordinates read from the per-case files, the labels
// of the extremes and the caption.
#include <algorithm>
#include <cmath>

#include "dynamics/ResponseExtraction.h"
#include "engine/BeamShape.h"
#include "engine/CaseFile.h"
#include "engine/PlaneFrame.h"
#include "liveload/LiveLoad.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "view/BoxPlacer.h"
#include "view/MorvexView.h"

namespace {

constexpr CColour kPositive = Rgb(255, 0, 255);
constexpr CColour kNegative = Rgb(0, 128, 0);

// The SI unit of the ordinates of a graph kind (empty where the ordinate has none of its own).
const char* OrdinateUnit(int kind) {
    switch (kind) {
        case graph::kDisplaced:
        case graph::kDynamic:
            return " m";
        case graph::kMoment:
        case graph::kMomentEnvelope:
            return " N·m";
        case graph::kShear:
        case graph::kAxial:
        case graph::kShearEnvelope:
        case graph::kAxialEnvelope:
            return " N";
        case graph::kUpperStress:
        case graph::kLowerStress:
            return " Pa";
        default:
            return "";
    }
}

// The name of quantity 1 N, 2 Q, 3 M on the combination graph.
const char* QuantityWord(int quantity) {
    return quantity == 1 ? "轴力" : quantity == 2 ? "剪力" : "弯矩";
}

}  // namespace

void CMorvexView::PrepareSurface() {
    if (m_graphKind == graph::kDisplaced) m_curveSource = &m_pFrame->m_disp;
    if (m_graphKind == graph::kInfluence) m_curveSource = &m_pFrame->m_ilStates;
    if (m_graphKind == graph::kMode) m_curveSource = &m_pFrame->m_modeShapes;
}

void CMorvexView::DrawGraph(CDrawSurface& s) {
    if (!m_pFrame) return;
    PrepareSurface();
    m_extremeSeen = false;
    m_spanExtremes.clear();
    m_trackSpan = 0;
    m_drawnScale = m_scale;
    const CFontSpec oldFont = s.SelectFont(CFontSpec{"宋体", 25, 400});
    s.SetLayer(DrawLayer::kStructure);
    DrawStructure(s);
    s.SetLayer(DrawLayer::kGraph);
    const CPen oldPen = s.SelectPen(CPen{m_displacementColour, 1});

    bool labels = true;
    switch (m_graphKind) {
        case graph::kDisplaced:
            DiagramFactor(LargestTranslation(m_pFrame->m_disp, m_caseIndex));
            for (int e = 0; e < m_nElements; ++e) DrawElementCurve(s, e, m_caseIndex, false);
            m_caption = FormatString("工况：%d", m_caseIndex + 1);
            break;
        case graph::kMoment:
        case graph::kShear:
        case graph::kAxial:
        case graph::kUpperStress:
        case graph::kLowerStress: {
            const bool stress = m_graphKind >= graph::kUpperStress;
            m_caption = FormatString("工况：%d", m_caseIndex + 1);
            // Without its internal-force file the case can show the structure only; the
            // caption says why the diagram is missing.
            if (!(stress ? DrawEdgeStress(s) : DrawForceDiagram(s))) {
                m_caption += "（内力文件无法打开）";
                labels = false;
            }
            break;
        }
        case graph::kMomentEnvelope:
        case graph::kShearEnvelope:
        case graph::kAxialEnvelope:
            labels = false;
            if (m_envelopeEnabled) {
                m_envelopeEnabled = DrawEnvelope(s, 8 - m_graphKind);
                labels = m_envelopeEnabled;
            }
            m_caption = "包络图";
            break;
        case graph::kCombination: {
            labels = false;
            std::string name;
            int quantity = 3;
            if (m_envelopeEnabled) {
                m_envelopeEnabled = DrawCombination(s);
                labels = m_envelopeEnabled;
            }
            m_caption = "组合包络图";
            if (CombinationPicture(name, quantity))
                m_caption += FormatString("：%s %s", name.c_str(), QuantityWord(quantity));
            break;
        }
        case graph::kInfluence:
            DrawInfluenceLine(s);
            m_caption = FormatString("影响线：%d", m_lineIndex + 1);
            break;
        case graph::kMode: {
            // Modes are shown in ascending order of frequency.
            const CPlaneFrame& f = *m_pFrame;
            const bool valid = m_modeIndex >= 0 && m_modeIndex < f.m_nModes &&
                               static_cast<size_t>(m_modeIndex) < f.m_modeOrder.size();
            const int mode = valid ? f.m_modeOrder[m_modeIndex] : -1;
            if (mode >= 0 && static_cast<size_t>(mode) < f.m_omega.size()) {
                DiagramFactor(LargestTranslation(f.m_modeShapes, mode));
                for (int e = 0; e < m_nElements; ++e) DrawElementCurve(s, e, mode, false);
                // The circular frequency first, then what engineers quote: Hz and the period.
                const double omega = f.m_omega[mode];
                m_caption = FormatString("频率%d：%.4e", m_modeIndex + 1, omega) +
                            FormatString("  %.4f Hz  T = %.4f s", omega / (2 * M_PI),
                                         omega > 0 ? 2 * M_PI / omega : 0.0);
            } else {
                labels = false;
                m_caption = "结构图";
            }
            break;
        }
        case graph::kDynamic:
            // A run in progress owns the excitations and the record buffer.
            if (m_pFrame->m_busy != 0) {
                labels = false;
                m_caption = "动力响应分析进行中";
                break;
            }
            m_caption = FormatString("时间：%.4e", DrawDynamicResponse(s));
            if (m_dynamicMoment) m_caption += "  弯矩";
            break;
        default:  // the structure alone
            labels = false;
            m_caption = "结构图";
            break;
    }
    if (labels && m_extremeSeen) {
        s.SetLayer(DrawLayer::kAnnotation);
        DrawExtremeLabels(s);
    }
    s.SetLayer(DrawLayer::kGraph);

    m_mainWindow.SetStatusPane(1, m_caption);
    s.SelectPen(oldPen);
    s.SelectFont(oldFont);

    if (m_graphKind == graph::kInfluence) DrawPlacedVehicles(s);
    s.SetLayer(DrawLayer::kStructure);
}

void CMorvexView::DrawCurvePiece(CDrawSurface& s, CWorldOffset a, double c, double sn, double len,
                                 const double d[6], int n, bool verticalOnly) {
    if (n <= 0) return;
    std::vector<CLPoint> points;
    points.reserve(static_cast<size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        const double t = static_cast<double>(i) / n;
        double dx = 0, dy = 0;
        BeamShapeOffset(c, sn, len, d, t, dx, dy);
        if (verticalOnly) dx = 0;
        const CWorldOffset base{a.x + t * len * c, a.y + t * len * sn};
        const CWorldOffset tip{base.x + dx, base.y + dy};
        TrackExtreme(dy, base, tip);
        points.push_back(OffsetToLogical(tip));
    }
    s.Polyline(points);
}

bool CMorvexView::DrawElementCurve(CDrawSurface& s, int element, int state, bool verticalOnly) {
    const CPlaneFrame& f = *m_pFrame;
    if (!m_curveSource || state < 0 || element < 0 || element >= f.m_nElements) return false;
    const std::vector<double>& src = *m_curveSource;
    const size_t offset = static_cast<size_t>(state) * static_cast<size_t>(f.m_nDof);
    if (src.size() < offset + static_cast<size_t>(f.m_nDof)) return false;
    const Element& el = f.m_elements[element];
    m_trackSpan = SpanOf(element);
    double factor = m_graphScale[m_graphKind].factor;
    // An animated mode shape swings through its period.
    if (m_graphKind == graph::kMode) factor *= std::cos(2 * M_PI * m_modePhase / kModePhases);
    double d[6];
    ElementEndValues(f, element, src.data() + offset, d);
    for (double& v : d) v *= factor;
    const Node& ni = f.m_nodes[el.iNode];
    DrawCurvePiece(s, {ni.x - m_worldCx, ni.y - m_worldCy}, el.cos, el.sin, el.length, d,
                   m_segments, verticalOnly);
    return true;
}

void CMorvexView::DrawInfluenceLine(CDrawSurface& s) {
    const CPlaneFrame& f = *m_pFrame;
    if (f.m_nIlLines <= 0 || m_lineIndex < 0 || m_lineIndex >= f.m_nIlLines) return;
    if (static_cast<int>(f.m_ilRequests.size()) <= m_lineIndex) return;
    if (f.m_ilStates.size() < static_cast<size_t>(m_lineIndex + 1) * static_cast<size_t>(f.m_nDof))
        return;
    const InfluenceRequest& req = f.m_ilRequests[m_lineIndex];
    double largest = LargestTranslation(f.m_ilStates, m_lineIndex);
    if (req.quantity <= 3) {
        // The jump at the section may be the largest ordinate.
        const double* line = &f.m_ilStates[static_cast<size_t>(m_lineIndex) * f.m_nDof];
        const double xi = std::clamp(req.position, 0.0, 1.0);
        for (double t : {xi, xi * (1 - 1e-12)})
            largest = std::max(largest, std::fabs(f.ValueOnPathElement(req.element, t, req, line)));
    }
    const double factor = DiagramFactor(largest);
    const size_t offset = static_cast<size_t>(m_lineIndex) * static_cast<size_t>(f.m_nDof);
    for (int i = 0; i < f.m_nIlElements && i < static_cast<int>(f.m_ilElements.size()); ++i) {
        const int e = f.m_ilElements[i];
        if (e != req.element || req.quantity > 3) {
            DrawElementCurve(s, e, m_lineIndex, true);
            continue;
        }
        // A force line jumps at the section: one piece on each side of the cut, each ending
        // at its own side's value there.
        const Element& el = f.m_elements[e];
        const Node& ni = f.m_nodes[el.iNode];
        const double xi = std::clamp(req.position, 0.0, 1.0);
        const double* state = &f.m_ilStates[offset];
        const int k = static_cast<int>(20 * xi + 1);
        auto piece = [&](double t0, double t1, int n) {
            std::vector<CLPoint> points;
            for (int i = 0; i <= n; ++i) {
                // The cut itself belongs to the piece being drawn.
                const double t = i == n && t0 == 0 ? t1 * (1 - 1e-12) : t0 + (t1 - t0) * i / n;
                const CWorldOffset base{ni.x - m_worldCx + t * el.length * el.cos,
                                        ni.y - m_worldCy + t * el.length * el.sin};
                const double dy = f.ValueOnPathElement(e, t, req, state) * factor;
                const CWorldOffset tip{base.x, base.y + dy};
                TrackExtreme(dy, base, tip);
                points.push_back(OffsetToLogical(tip));
            }
            s.Polyline(points);
        };
        if (xi > 0) piece(0, xi, k);
        if (xi < 1) piece(xi, 1, 21 - k);
    }
}

bool CMorvexView::DrawForceDiagram(CDrawSurface& s) {
    const CPlaneFrame& f = *m_pFrame;
    const int value = m_graphKind == graph::kMoment ? 2 : m_graphKind == graph::kShear ? 1 : 0;
    CCaseFileIn in;
    if (m_caseIndex < 0 || !in.Open(f.CaseBinaryPath(m_caseIndex + 1))) return false;
    ExtremeRecord x;
    if (!in.Extreme(f.m_nElements, value, x)) x.maxValue = x.minValue = 0;
    const double factor = DiagramFactor(std::max(std::fabs(x.maxValue), std::fabs(x.minValue)));
    const CPen oldPen = s.SelectPen(CPen{Rgb(150, 150, 150), 1});
    const int step = std::max(1, m_groupStep);
    for (int e = std::max(0, m_groupFirst); e < std::min(m_groupLast, f.m_nElements); e += step) {
        if (!in.SeekElement(e)) break;
        s.SetLayer(DrawLayer::kGraph);  // every element's ordinates apart
        const Element& el = f.m_elements[e];
        const Node& ni = f.m_nodes[el.iNode];
        m_trackSpan = SpanOf(e);
        CWorldOffset base{ni.x - m_worldCx, ni.y - m_worldCy};
        const double ax = el.length / 100 * el.cos, ay = el.length / 100 * el.sin;
        bool complete = true;
        for (int i = 0; i < casefile::kPoints; ++i, base.x += ax, base.y += ay) {
            double rec[casefile::kValues];
            if (!in.Next(rec)) {
                complete = false;
                break;
            }
            const double v = factor * rec[value];
            const CWorldOffset tip{base.x - el.sin * v, base.y + el.cos * v};
            TrackExtreme(v, base, tip);
            const CLPoint p = OffsetToLogical(tip);
            if (i == 0 || i == 100) {
                const CLPoint b = OffsetToLogical(base);
                s.MoveTo(b.x, b.y);
                s.LineTo(p.x, p.y);
            }
            s.SetPixel(p.x, p.y, v > 0 ? kPositive : kNegative);
        }
        if (!complete) break;
    }
    s.SelectPen(oldPen);
    return true;
}

bool CMorvexView::DrawEdgeStress(CDrawSurface& s) {
    const CPlaneFrame& f = *m_pFrame;
    const bool upper = m_graphKind == graph::kUpperStress;
    CCaseFileIn in;
    if (m_caseIndex < 0 || !in.Open(f.CaseBinaryPath(m_caseIndex + 1))) return false;
    const int step = std::max(1, m_groupStep);
    const int first = std::max(0, m_groupFirst), end = std::min(m_groupLast, f.m_nElements);

    // Visits every record of the group with the stress there, up to the end of the file.
    auto forEachStress = [&](auto&& visit) {
        for (int e = first; e < end; e += step) {
            if (!in.SeekElement(e)) return;
            const Element& el = f.m_elements[e];
            const Section& si = f.m_sections[el.iSection];
            const Section& sj = f.m_sections[el.jSection];
            for (int r = 0; r < casefile::kPoints; ++r) {
                double rec[casefile::kValues];
                if (!in.Next(rec)) return;
                visit(e, r, EdgeStress(si, sj, upper, r / 100.0, rec[0], rec[2]));
            }
        }
    };

    double largest = 0;
    forEachStress([&](int, int, double sigma) {
        if (std::isfinite(sigma)) largest = std::max(largest, std::fabs(sigma));
    });
    const double factor = DiagramFactor(largest);
    forEachStress([&](int e, int r, double sigma) {
        if (r == 0) s.SetLayer(DrawLayer::kGraph);  // every element's ordinates apart
        // A section without height or area has no edge stress to show.
        if (!std::isfinite(sigma)) return;
        const Element& el = f.m_elements[e];
        const Node& ni = f.m_nodes[el.iNode];
        const double along = el.length * r / 100;
        const CWorldOffset base{ni.x - m_worldCx + along * el.cos,
                                ni.y - m_worldCy + along * el.sin};
        const double v = factor * sigma;
        const CWorldOffset tip{base.x - el.sin * v, base.y + el.cos * v};
        if (r == 0) m_trackSpan = SpanOf(e);
        TrackExtreme(v, base, tip);
        const CLPoint p = OffsetToLogical(tip);
        s.SetPixel(p.x, p.y, v > 0 ? kPositive : kNegative);
    });
    return true;
}

void CMorvexView::DrawExtremeLabels(CDrawSurface& s) {
    const double factor = m_graphScale[m_graphKind].factor;
    if (!(factor != 0)) return;
    const CPen oldPen = s.SelectPen(CPen{Rgb(0, 0, 255), 1});
    // A label that would overlap one drawn before is left out.
    CBoxPlacer placed;
    double largest = std::max(std::fabs(m_maxValue), std::fabs(m_minValue));
    // A combined envelope is labelled as the envelope of its quantity.
    int kind = m_graphKind;
    std::string name;
    int quantity = 3;
    if (kind == graph::kCombination && CombinationPicture(name, quantity))
        kind = quantity == 1   ? graph::kAxialEnvelope
               : quantity == 2 ? graph::kShearEnvelope
                               : graph::kMomentEnvelope;
    auto label = [&](CWorldOffset base, CWorldOffset tip, double value, int dy) {
        const std::string text = LabelText(kind, value / factor, m_engineeringUnits);
        const CLPoint b = OffsetToLogical(base), t = OffsetToLogical(tip);
        int chars = 0;
        for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
        if (!placed.Place(TextBox(t.x - 50, t.y + dy, chars))) return;
        s.MoveTo(b.x, b.y);
        s.LineTo(t.x, t.y);
        s.TextOut(t.x - 50, t.y + dy, text);
    };
    // The overall extremes always, then the largest and smallest of every span that matter.
    label(m_maxBase, m_maxTip, m_maxValue, 60);
    label(m_minBase, m_minTip, m_minValue, -20);
    for (const CSpanExtreme& sp : m_spanExtremes) {
        if (!sp.seen) continue;
        if (sp.maxValue > 0.01 * largest) label(sp.maxBase, sp.maxTip, sp.maxValue, 60);
        if (sp.minValue < -0.01 * largest) label(sp.minBase, sp.minTip, sp.minValue, -20);
    }
    s.SelectPen(oldPen);
}

std::string LabelText(int kind, double value, bool engineering) {
    if (!engineering) return FormatString("%.4g", value);
    switch (kind) {
        case graph::kDisplaced:
        case graph::kDynamic:
            return FormatString("%.4g mm", value * 1000);
        case graph::kMoment:
        case graph::kMomentEnvelope:
            return FormatString("%.4g kN·m", value / 1000);
        case graph::kShear:
        case graph::kAxial:
        case graph::kShearEnvelope:
        case graph::kAxialEnvelope:
            return FormatString("%.4g kN", value / 1000);
        case graph::kUpperStress:
        case graph::kLowerStress:
            return FormatString("%.4g MPa", value / 1e6);
        default:
            return FormatString("%.4g", value);
    }
}

double CMorvexView::DiagramFactor(double largest) {
    CGraphScale& gs = m_graphScale[std::clamp(m_graphKind, 0, graph::kCount - 1)];
    const CLPoint corner = DeviceToLogical({m_clientWidthPx, m_clientHeightPx});
    const double fitted = FittedScale();
    double automatic = 1.0;
    // The reference is the drawing with the whole structure fitted, so zooming and panning
    // move the diagram with the structure; nothing to show (all zero, a broken file) keeps
    // factor one.
    if (std::isfinite(largest) && largest > 0) {
        if (fitted > 0 && corner.y < 0) {
            automatic = kOrdinateShare * -corner.y / fitted / largest;
        } else {
            // No window size yet: a share of the structure's extent.
            const double extent = std::max(
                {m_pFrame->m_xMax - m_pFrame->m_xMin, m_pFrame->m_yMax - m_pFrame->m_yMin, 1.0});
            automatic = kOrdinateShare * extent / largest;
        }
        if (!std::isfinite(automatic) || automatic <= 0) automatic = 1.0;
    }
    gs.factor = automatic * gs.relative;
    m_mainWindow.SetCurrentScale(gs.factor);
    return gs.factor;
}

double CMorvexView::LargestTranslation(const std::vector<double>& source, int state) const {
    const CPlaneFrame& f = *m_pFrame;
    if (state < 0) return 0;
    const size_t offset = static_cast<size_t>(state) * static_cast<size_t>(f.m_nDof);
    if (source.size() < offset + static_cast<size_t>(f.m_nDof)) return 0;
    return LargestTranslationOf(source.data() + offset);
}

double CMorvexView::LargestTranslationOf(const double* state) const {
    const CPlaneFrame& f = *m_pFrame;
    double largest = 0;
    for (int n = 0; n < f.m_nNodes && n < static_cast<int>(f.m_dofNum.size()); ++n)
        for (int k = 0; k < 2; ++k) {
            const double v = state[f.m_dofNum[n][k]];
            if (std::isfinite(v)) largest = std::max(largest, std::fabs(v));
        }
    return largest;
}

double CMorvexView::LargestOverResponse(CRunLargest& cache,
                                        const std::function<double(const double*)>& ofRecord) {
    const CPlaneFrame& f = *m_pFrame;
    CBinaryIn in;
    if (f.m_nDof <= 0 || !in.Open(f.ResponsePath())) return 0;
    // One scale for the whole run, so that stepping shows the motion growing and dying away.
    if (in.Size() == cache.bytes) return cache.largest;
    cache.bytes = in.Size();
    cache.largest = 0;
    const long long bytes = ResponseRecordBytes(f.m_nDof);
    std::vector<double> record(static_cast<size_t>(f.m_nDof) + 1);
    for (long long r = 0; in.Seek(r * bytes) && in.Doubles(record.data(), record.size()); ++r)
        cache.largest = std::max(cache.largest, ofRecord(record.data() + 1));
    return cache.largest;
}

double CMorvexView::LargestResponse() {
    return LargestOverResponse(m_responseLargest,
                               [this](const double* state) { return LargestTranslationOf(state); });
}

std::string CMorvexView::PictureTitle() const {
    std::string title = GraphName(m_graphKind);
    switch (m_graphKind) {
        case graph::kDisplaced:
        case graph::kMoment:
        case graph::kShear:
        case graph::kAxial:
        case graph::kUpperStress:
        case graph::kLowerStress:
            return title + FormatString("  工况 %d", m_caseIndex + 1);
        case graph::kMomentEnvelope:
        case graph::kShearEnvelope:
        case graph::kAxialEnvelope:
            if (m_envelopeType >= 0 && m_envelopeType < kLiveLoadTypes)
                title += std::string("  ") + LiveLoadEnvelopeLabel(m_envelopeType);
            return title;
        case graph::kInfluence:
            return title + FormatString("  第 %d 条", m_lineIndex + 1);
        case graph::kMode:
            return title + FormatString("  第 %d 阶  ", m_modeIndex + 1) + m_caption;
        case graph::kDynamic:
            return title + FormatString("  第 %d 步  ", m_timeIndex + 1) + m_caption;
        case graph::kCombination: {
            std::string name;
            int quantity = 3;
            if (CombinationPicture(name, quantity))
                title += "  " + name + " " + QuantityWord(quantity);
            return title;
        }
        default:
            return title;
    }
}

std::string CMorvexView::ScaleText() const {
    // Logical units are 0.1 mm: one metre of the structure is m_drawnScale / 10 mm on paper.
    if (!(m_drawnScale > 0)) return std::string();
    std::string text = FormatString("结构 1:%.0f", 10000.0 / m_drawnScale);
    if (m_graphKind <= graph::kStructure || m_graphKind >= graph::kCount) return text;
    const double factor = m_graphScale[m_graphKind].factor;
    if (!(factor > 0)) return text;
    std::string name;
    int quantity = 3;
    const char* unit = OrdinateUnit(
        m_graphKind == graph::kDynamic && m_dynamicMoment ? graph::kMoment : m_graphKind);
    if (m_graphKind == graph::kCombination && CombinationPicture(name, quantity))
        unit = quantity == 3 ? " N·m" : " N";
    return text + FormatString("，纵标 1 mm = %.3g", 10.0 / (factor * m_drawnScale)) + unit;
}
