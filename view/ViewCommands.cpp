// The commands of the result view: graph selection, previous/next, magnification, colour,
// display switches, element group, mouse modes, their enable rules and the context menus.
#include <algorithm>
#include <initializer_list>

#include "engine/PlaneFrame.h"
#include "platform/Assert.h"
#include "view/MorvexView.h"
#include "view/ViewCommands.h"


namespace {

struct GraphCommandEntry {
    int kind;
    int id;
    const char* text;
};

// The graph selector's index -> command table, with the commands' menu texts.
constexpr GraphCommandEntry kGraphCommands[] = {
    {graph::kDisplaced, ID_DISPLACED_SHAPE, "位移状态"},
    {graph::kMoment, ID_MOMENT, "弯矩图"},
    {graph::kShear, ID_SHEAR, "剪力图"},
    {graph::kAxial, ID_AXIAL, "轴力图"},
    {graph::kMomentEnvelope, ID_MOMENT_ENVELOPE_GRAPH, "弯矩包络图"},
    {graph::kShearEnvelope, ID_SHEAR_ENVELOPE_GRAPH, "剪力包络图"},
    {graph::kAxialEnvelope, ID_AXIAL_ENVELOPE_GRAPH, "轴力包络图"},
    {graph::kInfluence, ID_INFLUENCE_LINE, "影响线"},
    {graph::kMode, ID_MODE_SHAPE, "主振型"},
    {graph::kUpperStress, ID_UPPER_STRESS, "上缘拉应力"},
    {graph::kLowerStress, ID_LOWER_STRESS, "下缘拉应力"},
    {graph::kDynamic, ID_DYNAMIC_RESPONSE_GRAPH, "动力响应"},
    {graph::kCombination, ID_COMBINATION_ENVELOPE_GRAPH, "组合包络图"},
};

const char* FixedText(int id) {
    for (const GraphCommandEntry& g : kGraphCommands)
        if (g.id == id) return g.text;
    switch (id) {
        case ID_LEAVE_MODE:
            return "退出";
        case ID_PAN:
            return "移动图形";
        case ID_ZOOM:
            return "缩放图形";
        case ID_WINDOW_ZOOM:
            return "窗选放大";
        case ID_INITIAL_WINDOW:
            return "初始窗口";
        case ID_ELEMENT_GROUP:
            return "单元组选择";
        case ID_ENGINEERING_UNITS:
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
        case ID_DISPLACED_SHAPE:
            st.enabled = m_nCases > 0;
            st.checked = m_graphKind == graph::kDisplaced;
            break;
        case ID_MOMENT:
        case ID_SHEAR:
        case ID_AXIAL:
        case ID_UPPER_STRESS:
        case ID_LOWER_STRESS:
        case ID_GRAPH_SELECTOR:
        case ID_MAGNIFY:
        case ID_REDUCE:
        case ID_DISPLACEMENT_COLOUR:
        case ID_WINDOW_ZOOM:
        case ID_ZOOM:
        case ID_PAN:
        case ID_LEAVE_MODE:
        case ID_INITIAL_WINDOW:
        case ID_FILE_PRINT:
        case ID_FILE_PRINT_DIRECT:
        case ID_FILE_PRINT_PREVIEW:
            st.enabled = true;
            break;
        case ID_INFLUENCE_LINE:
            st.enabled = m_nIlLines > 0 && m_nIlElements > 0;
            st.checked = m_graphKind == graph::kInfluence;
            break;
        case ID_PREVIOUS:
            st.enabled = index >= 1;
            break;
        case ID_NEXT:
            st.enabled = index < CurrentIndexLimit();
            break;
        case ID_NODE_NUMBERS:
            st.enabled = true;
            st.text = m_showNodeNumbers ? "隐藏节点号" : "显示节点号";
            break;
        case ID_ELEMENT_NUMBERS:
            st.enabled = true;
            st.text = m_showElementNumbers ? "隐藏单元号" : "显示单元号";
            break;
        case ID_CONSTRAINTS:
            st.enabled = true;
            st.text = m_showConstraints ? "隐藏约束" : "显示约束";
            break;
        case ID_SECTIONS:
            st.enabled = true;
            st.text = m_showSections ? "隐藏截面" : "显示截面";
            break;
        case ID_ELEMENT_GROUP:
            st.enabled = IsDiagramKind(m_graphKind);
            break;
        case ID_ENGINEERING_UNITS:
            st.enabled = true;
            st.checked = m_engineeringUnits;
            break;
        case ID_MOMENT_ENVELOPE_GRAPH:
        case ID_SHEAR_ENVELOPE_GRAPH:
        case ID_AXIAL_ENVELOPE_GRAPH:
        case ID_LIVE_LOAD_TYPE:
            st.enabled = m_nIlElements > 0;
            break;
        case ID_MOMENT_ENVELOPE:
        case ID_SHEAR_ENVELOPE:
        case ID_AXIAL_ENVELOPE:
            // A design load may analyse the vibration for its impact factor: not beside a
            // worker that owns the engine's matrices.
            st.enabled = m_nIlElements > 0 && !VibrationRunning();
            break;
        case ID_COMBINATION:
            st.enabled = m_nElements > 0 && !VibrationRunning();
            break;
        case ID_COMBINATION_ENVELOPE_GRAPH:
            st.enabled = !m_combinations.empty();
            st.checked = m_graphKind == graph::kCombination;
            break;
        case ID_LIVE_LOAD_SELECTOR:
        case ID_INFLUENCE_OUTPUT:
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
        m_mainWindow.SetStatusPane(0, "就绪");
        m_window.ShowProbe({}, {});
        m_probeShown = false;
    }
    m_graphKind = kind;
    m_mainWindow.SetGraphSelector(kind);
    m_mainWindow.SetCurrentScale(m_graphScale[kind].factor);
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
    m_mainWindow.SetGraphSelector(m_graphKind);
    m_mainWindow.SetLiveLoadSelector(m_liveLoadItem);
    const int kind = std::clamp(m_graphKind, 0, graph::kCount - 1);
    m_mainWindow.SetCurrentScale(m_graphScale[kind].factor);
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
        case ID_DISPLACED_SHAPE:
            SelectGraph(m_nCases > 0 ? graph::kDisplaced : graph::kStructure);
            return true;
        case ID_MOMENT:
        case ID_SHEAR:
        case ID_AXIAL:
        case ID_UPPER_STRESS:
        case ID_LOWER_STRESS: {
            int kind = graph::kStructure;
            for (const GraphCommandEntry& g : kGraphCommands)
                if (g.id == id) kind = g.kind;
            SelectGraph(m_nCases > 0 ? kind : graph::kStructure);
            return true;
        }
        case ID_INFLUENCE_LINE:
            SelectGraph(m_nIlLines > 0 && m_nIlElements > 0 ? graph::kInfluence
                                                            : graph::kStructure);
            return true;
        case ID_MOMENT_ENVELOPE_GRAPH:
        case ID_SHEAR_ENVELOPE_GRAPH:
        case ID_AXIAL_ENVELOPE_GRAPH:
            // Chosen again, an envelope whose file was missing is looked for once more.
            m_envelopeEnabled = true;
            SelectGraph(id == ID_MOMENT_ENVELOPE_GRAPH  ? graph::kMomentEnvelope
                        : id == ID_SHEAR_ENVELOPE_GRAPH ? graph::kShearEnvelope
                                               : graph::kAxialEnvelope);
            return true;
        case ID_COMBINATION_ENVELOPE_GRAPH:
            // Chosen again, a combination whose file was missing is looked for once more.
            m_combinationIndex =
                std::clamp(m_combinationIndex, 0, 3 * static_cast<int>(m_combinations.size()) - 1);
            m_envelopeEnabled = true;
            SelectGraph(graph::kCombination);
            return true;
        case ID_PREVIOUS: {
            int& index = this->*CurrentIndexMember();
            MORVEX_ASSERT(index >= 0 && index <= std::max(CurrentIndexLimit(), 0));
            if (index > 0) --index;
            m_window.Redraw();
            return true;
        }
        case ID_NEXT: {
            const int limit = CurrentIndexLimit();
            int& index = this->*CurrentIndexMember();
            MORVEX_ASSERT(index >= 0 && index <= std::max(limit, 0));
            if (index < limit) ++index;
            m_window.Redraw();
            return true;
        }
        case ID_MAGNIFY:
        case ID_REDUCE:
            if (m_graphKind > 0 && m_graphKind < graph::kCount) {
                // The user's choice is kept relative to the automatic factor, which follows
                // every change of picture.
                CGraphScale& gs = m_graphScale[m_graphKind];
                gs.relative *= id == ID_MAGNIFY ? 2.0 : 0.5;
                gs.factor *= id == ID_MAGNIFY ? 2.0 : 0.5;
                m_mainWindow.SetCurrentScale(gs.factor);
            }
            m_window.Redraw();
            return true;
        case ID_DISPLACEMENT_COLOUR: {
            CColour chosen;
            if (m_window.ChooseColour(Rgb(0, 0, 0), chosen)) {
                m_displacementColour = chosen;
                m_window.Redraw();
            }
            return true;
        }
        case ID_NODE_NUMBERS:
            m_showNodeNumbers = !m_showNodeNumbers;
            m_window.Redraw();
            return true;
        case ID_ELEMENT_NUMBERS:
            m_showElementNumbers = !m_showElementNumbers;
            m_window.Redraw();
            return true;
        case ID_CONSTRAINTS:
            m_showConstraints = !m_showConstraints;
            m_window.Redraw();
            return true;
        case ID_SECTIONS:
            m_showSections = !m_showSections;
            m_window.Redraw();
            return true;
        case ID_ENGINEERING_UNITS:
            m_engineeringUnits = !m_engineeringUnits;
            m_window.Redraw();
            return true;
        case ID_ELEMENT_GROUP: {
            CElementGroup fields{m_groupFirst + 1, m_groupLast, m_groupStep};
            if (m_window.EditElementGroup(m_nElements, fields)) ApplyElementGroup(fields);
            return true;
        }
        case ID_WINDOW_ZOOM:
            m_userWindow = true;
            modes(true, false, false);
            return true;
        case ID_ZOOM:
            m_userWindow = true;
            modes(false, true, false);
            return true;
        case ID_PAN:
            m_userWindow = true;
            modes(false, false, true);
            return true;
        case ID_LEAVE_MODE:
            modes(false, false, false);
            m_window.Redraw();
            return true;
        case ID_INITIAL_WINDOW:
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
        for (int id : std::initializer_list<int>{ID_DISPLACED_SHAPE, ID_MOMENT, ID_SHEAR, ID_AXIAL, ID_UPPER_STRESS, ID_LOWER_STRESS, ID_MOMENT_ENVELOPE_GRAPH,
              ID_SHEAR_ENVELOPE_GRAPH, ID_AXIAL_ENVELOPE_GRAPH, ID_INFLUENCE_LINE, ID_MODE_SHAPE, ID_DYNAMIC_RESPONSE_GRAPH,
              ID_DYNAMIC_MOMENT, ID_COMBINATION_ENVELOPE_GRAPH, 0, ID_NODE_NUMBERS, ID_ELEMENT_NUMBERS, ID_CONSTRAINTS,
              ID_SECTIONS})
            add(id);
    } else {
        for (int id : std::initializer_list<int>{ID_LEAVE_MODE, 0, ID_PAN, ID_ZOOM, ID_WINDOW_ZOOM, ID_INITIAL_WINDOW}) add(id);
    }
    return menu;
}
