// The commands of the result view: graph selection, previous/next, magnification, colour,
// display switches, element group, mouse modes, their enable rules and the context menus.
#include <algorithm>

#include "engine/PlaneFrame.h"
#include "view/MorvexView.h"
#include "view/ViewCommands.h"

using namespace viewcmd;

namespace {

struct GraphCommandEntry {
    int kind;
    int id;
    const char* text;
};

// The graph selector's index -> command table, with the commands' menu texts.
constexpr GraphCommandEntry kGraphCommands[] = {
    {graph::kDisplaced, kDisplaced, "位移状态"},
    {graph::kMoment, kMoment, "弯矩图"},
    {graph::kShear, kShear, "剪力图"},
    {graph::kAxial, kAxial, "轴力图"},
    {graph::kMomentEnvelope, kMomentEnvelope, "弯矩包络图"},
    {graph::kShearEnvelope, kShearEnvelope, "剪力包络图"},
    {graph::kAxialEnvelope, kAxialEnvelope, "轴力包络图"},
    {graph::kInfluence, kInfluenceLine, "影响线"},
    {graph::kMode, kModeShape, "主振型"},
    {graph::kUpperStress, kUpperStress, "上缘拉应力"},
    {graph::kLowerStress, kLowerStress, "下缘拉应力"},
    {graph::kDynamic, kDynamicResponse, "动力响应"},
    {graph::kCombination, kCombinationEnvelope, "组合包络图"},
};

const char* FixedText(int id) {
    for (const GraphCommandEntry& g : kGraphCommands)
        if (g.id == id) return g.text;
    switch (id) {
        case kLeaveMode:
            return "退出";
        case kPan:
            return "移动图形";
        case kZoom:
            return "缩放图形";
        case kWindowZoom:
            return "窗选放大";
        case kInitialWindow:
            return "初始窗口";
        case kElementGroup:
            return "单元组选择";
        case kEngineeringUnits:
            return "工程单位(kN, kN·m, mm)";
        default:
            return "";
    }
}

bool IsDiagramKind(int kind) {
    return kind == graph::kMoment || kind == graph::kShear || kind == graph::kAxial ||
           kind == graph::kUpperStress || kind == graph::kLowerStress;
}

}  // namespace

const char* CMorvexView::GraphName(int kind) {
    static constexpr const char* kNames[graph::kCount] = {
        "结构图",     "位移图", "弯矩图", "剪力图",     "轴力图",     "弯矩包络图", "剪力包络图",
        "轴力包络图", "影响线", "主振型", "上缘拉应力", "下缘拉应力", "动力响应",   "组合包络图"};
    return kind >= 0 && kind < graph::kCount ? kNames[kind] : "";
}

int CMorvexView::GraphCommand(int kind) {
    for (const GraphCommandEntry& g : kGraphCommands)
        if (g.kind == kind) return g.id;
    return 0;
}

int CMorvexView::*CMorvexView::CurrentIndexMember() const {
    switch (m_graphKind) {
        case graph::kInfluence:
            return &CMorvexView::m_lineIndex;
        case graph::kMode:
            return &CMorvexView::m_modeIndex;
        case graph::kDynamic:
            return &CMorvexView::m_timeIndex;
        case graph::kCombination:
            return &CMorvexView::m_combinationIndex;
        default:
            return &CMorvexView::m_caseIndex;
    }
}

int CMorvexView::CurrentIndexLimit() const {
    switch (m_graphKind) {
        case graph::kInfluence:
            return m_nIlLines - 1;
        case graph::kMode:
            return m_nModes - 1;
        case graph::kDynamic:
            return m_nTimeSteps - 1;
        case graph::kCombination:
            return 3 * static_cast<int>(m_combinations.size()) - 1;
        default:
            return m_nCases - 1;
    }
}

CCommandState CMorvexView::CommandState(int id) const {
    CCommandState st;
    st.text = FixedText(id);
    const int index = this->*CurrentIndexMember();
    switch (id) {
        case kDisplaced:
            st.enabled = m_nCases > 0;
            st.checked = m_graphKind == graph::kDisplaced;
            break;
        case kMoment:
        case kShear:
        case kAxial:
        case kUpperStress:
        case kLowerStress:
        case kGraphSelector:
        case kMagnify:
        case kReduce:
        case kColour:
        case kWindowZoom:
        case kZoom:
        case kPan:
        case kLeaveMode:
        case kInitialWindow:
        case kPrint:
        case kPrintDirect:
        case kPrintPreview:
            st.enabled = true;
            break;
        case kInfluenceLine:
            st.enabled = m_nIlLines > 0 && m_nIlElements > 0;
            st.checked = m_graphKind == graph::kInfluence;
            break;
        case kPrevious:
            st.enabled = index >= 1;
            break;
        case kNext:
            st.enabled = index < CurrentIndexLimit();
            break;
        case kNodeNumbers:
            st.enabled = true;
            st.text = m_showNodeNumbers ? "隐藏节点号" : "显示节点号";
            break;
        case kElementNumbers:
            st.enabled = true;
            st.text = m_showElementNumbers ? "隐藏单元号" : "显示单元号";
            break;
        case kConstraints:
            st.enabled = true;
            st.text = m_showConstraints ? "隐藏约束" : "显示约束";
            break;
        case kSections:
            st.enabled = true;
            st.text = m_showSections ? "隐藏截面" : "显示截面";
            break;
        case kElementGroup:
            st.enabled = IsDiagramKind(m_graphKind);
            break;
        case kEngineeringUnits:
            st.enabled = true;
            st.checked = m_engineeringUnits;
            break;
        case kMomentEnvelope:
        case kShearEnvelope:
        case kAxialEnvelope:
        case kLiveLoadType:
            st.enabled = m_nIlElements > 0;
            break;
        case kMomentEnvelopeRun:
        case kShearEnvelopeRun:
        case kAxialEnvelopeRun:
            // A design load may analyse the vibration for its impact factor: not beside a
            // worker that owns the engine's matrices.
            st.enabled = m_nIlElements > 0 && !VibrationRunning();
            break;
        case kCombinationRun:
            st.enabled = m_nElements > 0 && !VibrationRunning();
            break;
        case kCombinationEnvelope:
            st.enabled = !m_combinations.empty();
            st.checked = m_graphKind == graph::kCombination;
            break;
        case kLiveLoadSelector:
        case kInfluenceOutput:
            st.enabled = m_graphKind == graph::kInfluence;
            break;
        default:
            // A result document is never saved.
            st.enabled = false;
            DynamicsCommandState(id, st);
            break;
    }
    return st;
}

void CMorvexView::SelectGraph(int kind) {
    // A new graph stands still.
    m_animating = false;
    m_modePhase = 0;
    // A value read off the previous graph does not belong to the new one.
    if (m_probeShown) {
        m_frame.SetStatusPane(0, "就绪");
        m_window.ShowProbe({}, {});
        m_probeShown = false;
    }
    m_graphKind = kind;
    m_frame.SetGraphSelector(kind);
    m_frame.SetCurrentScale(m_graphScale[kind].factor);
    m_window.Redraw();
}

void CMorvexView::OnGraphSelector(int index) {
    if (index < 0 || index >= graph::kCount) return;
    m_graphKind = index;
    if (index == graph::kStructure) {
        SelectGraph(index);
        return;
    }
    // A graph whose command is unavailable falls back to the structure, as a graph command
    // without its data does.
    if (!Execute(GraphCommand(index))) SelectGraph(graph::kStructure);
}

void CMorvexView::OnSetFocus() {
    m_frame.SetGraphSelector(m_graphKind);
    m_frame.SetLiveLoadSelector(m_liveLoadItem);
    const int kind = std::clamp(m_graphKind, 0, graph::kCount - 1);
    m_frame.SetCurrentScale(m_graphScale[kind].factor);
}

std::string CMorvexView::CheckElementGroupFields(const CElementGroup& fields) {
    // With an increment of 0 or less the diagrams would never reach the last element.
    if (fields.step <= 0) return "增量单元必须大于0！";
    return std::string();
}

bool CMorvexView::ApplyElementGroup(const CElementGroup& fields) {
    if (!CheckElementGroupFields(fields).empty()) return false;
    if (fields.first <= 0 || fields.last > m_nElements) return false;
    m_groupFirst = fields.first - 1;
    m_groupLast = fields.last;
    m_groupStep = fields.step;
    m_window.Redraw();
    return true;
}

bool CMorvexView::Execute(int id) {
    if (!CommandState(id).enabled) return false;
    auto modes = [this](bool windowZoom, bool zoom, bool pan) {
        if (m_dragState == 1) {
            m_window.InvertRectangle(m_dragAnchor, m_lastMouse);
            m_window.CaptureMouse(false);
        }
        m_dragState = 0;
        m_windowZoomMode = windowZoom;
        m_zoomMode = zoom;
        m_panMode = pan;
    };
    switch (id) {
        case kDisplaced:
            SelectGraph(m_nCases > 0 ? graph::kDisplaced : graph::kStructure);
            return true;
        case kMoment:
        case kShear:
        case kAxial:
        case kUpperStress:
        case kLowerStress: {
            int kind = graph::kStructure;
            for (const GraphCommandEntry& g : kGraphCommands)
                if (g.id == id) kind = g.kind;
            SelectGraph(m_nCases > 0 ? kind : graph::kStructure);
            return true;
        }
        case kInfluenceLine:
            SelectGraph(m_nIlLines > 0 && m_nIlElements > 0 ? graph::kInfluence
                                                            : graph::kStructure);
            return true;
        case kMomentEnvelope:
        case kShearEnvelope:
        case kAxialEnvelope:
            // Chosen again, an envelope whose file was missing is looked for once more.
            m_envelopeEnabled = true;
            SelectGraph(id == kMomentEnvelope  ? graph::kMomentEnvelope
                        : id == kShearEnvelope ? graph::kShearEnvelope
                                               : graph::kAxialEnvelope);
            return true;
        case kCombinationEnvelope:
            // Chosen again, a combination whose file was missing is looked for once more.
            m_combinationIndex =
                std::clamp(m_combinationIndex, 0, 3 * static_cast<int>(m_combinations.size()) - 1);
            m_envelopeEnabled = true;
            SelectGraph(graph::kCombination);
            return true;
        case kPrevious: {
            int& index = this->*CurrentIndexMember();
            if (index > 0) --index;
            m_window.Redraw();
            return true;
        }
        case kNext: {
            const int limit = CurrentIndexLimit();
            int& index = this->*CurrentIndexMember();
            if (index < limit) ++index;
            m_window.Redraw();
            return true;
        }
        case kMagnify:
        case kReduce:
            if (m_graphKind > 0 && m_graphKind < graph::kCount) {
                // The user's choice is kept relative to the automatic factor, which follows
                // every change of picture.
                CGraphScale& gs = m_graphScale[m_graphKind];
                gs.relative *= id == kMagnify ? 2.0 : 0.5;
                gs.factor *= id == kMagnify ? 2.0 : 0.5;
                m_frame.SetCurrentScale(gs.factor);
            }
            m_window.Redraw();
            return true;
        case kColour: {
            CColour chosen;
            if (m_window.ChooseColour(Rgb(0, 0, 0), chosen)) {
                m_displacementColour = chosen;
                m_window.Redraw();
            }
            return true;
        }
        case kNodeNumbers:
            m_showNodeNumbers = !m_showNodeNumbers;
            m_window.Redraw();
            return true;
        case kElementNumbers:
            m_showElementNumbers = !m_showElementNumbers;
            m_window.Redraw();
            return true;
        case kConstraints:
            m_showConstraints = !m_showConstraints;
            m_window.Redraw();
            return true;
        case kSections:
            m_showSections = !m_showSections;
            m_window.Redraw();
            return true;
        case kEngineeringUnits:
            m_engineeringUnits = !m_engineeringUnits;
            m_window.Redraw();
            return true;
        case kElementGroup: {
            CElementGroup fields{m_groupFirst + 1, m_groupLast, m_groupStep};
            if (m_window.EditElementGroup(m_nElements, fields)) ApplyElementGroup(fields);
            return true;
        }
        case kWindowZoom:
            m_userWindow = true;
            modes(true, false, false);
            return true;
        case kZoom:
            m_userWindow = true;
            modes(false, true, false);
            return true;
        case kPan:
            m_userWindow = true;
            modes(false, false, true);
            return true;
        case kLeaveMode:
            modes(false, false, false);
            m_window.Redraw();
            return true;
        case kInitialWindow:
            modes(false, false, false);
            m_userWindow = false;
            if (m_pFrame) {
                m_worldXMin = m_pFrame->m_xMin;
                m_worldYMin = m_pFrame->m_yMin;
                m_worldXMax = m_pFrame->m_xMax;
                m_worldYMax = m_pFrame->m_yMax;
            }
            m_window.Redraw();
            return true;
        default:
            // The graph selector and printing belong to the frame and window.
            return ExecuteLiveLoadCommand(id) || ExecuteDynamicsCommand(id);
    }
}

std::vector<CMenuEntry> CMorvexView::ContextMenu() const {
    std::vector<CMenuEntry> menu;
    auto add = [&](int id) { menu.push_back({id, id ? CommandState(id).text : std::string()}); };
    if (!m_panMode && !m_zoomMode && !m_windowZoomMode) {
        for (int id :
             {kDisplaced, kMoment, kShear, kAxial, kUpperStress, kLowerStress, kMomentEnvelope,
              kShearEnvelope, kAxialEnvelope, kInfluenceLine, kModeShape, kDynamicResponse,
              kDynamicMoment, kCombinationEnvelope, 0, kNodeNumbers, kElementNumbers, kConstraints,
              kSections})
            add(id);
    } else {
        for (int id : {kLeaveMode, 0, kPan, kZoom, kWindowZoom, kInitialWindow}) add(id);
    }
    return menu;
}
