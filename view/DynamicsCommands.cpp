// The dynamics commands of the result view: the natural-vibration analysis, the mode
// graph, the dynamic response run and its graph, and the extraction of a time history.
#include <algorithm>
#include <filesystem>

#include "dynamics/ResponseExtraction.h"
#include "engine/PlaneFrame.h"
#include "platform/Host.h"
#include "platform/TextFile.h"
#include "view/MorvexView.h"
#include "view/ViewCommands.h"

bool CPlainViewDocument::StartNaturalVibration() {
    if (!m_engine || m_modesReady || m_engine->m_busy != 0) return false;
    m_engine->m_busy = 1;
    m_modesReady = m_engine->NaturalVibration();
    m_engine->m_busy = 0;
    return m_modesReady;
}

bool CPlainViewDocument::StartDynamicResponse(const std::string& loadPath) {
    if (!m_engine || m_engine->m_busy != 0) return false;
    m_engine->m_keepRunning = 1;
    ShowStatus("动力响应分析进行中，请等待...");
    const bool ok = m_engine->DynamicResponse(loadPath);
    ShowStatus("");
    ShowMessage(ok ? "动力响应分析完成！" : "动力响应未能顺利完成！");
    return true;
}

bool CMorvexView::ModesReady() const {
    return m_document && m_document->ModesReady();
}

bool CMorvexView::VibrationRunning() const {
    return m_pFrame && m_pFrame->m_busy != 0;
}

bool CMorvexView::ResponseExists() const {
    std::error_code ec;
    return m_pFrame && std::filesystem::exists(m_pFrame->ResponsePath(), ec);
}

bool CMorvexView::DynamicsCommandState(int id, CCommandState& st) const {
    switch (id) {
        case ID_NATURAL_VIBRATION:
            // A second analysis must not start while one is running.
            st.enabled = m_document && !ModesReady() && !VibrationRunning();
            return true;
        case ID_MODE_SHAPE:
            st.enabled = ModesReady();
            st.checked = m_graphKind == graph::kMode;
            return true;
        case ID_DYNAMIC_RESPONSE:
            // The response run uses the matrices that a running eigen-solution fills.
            st.enabled = m_pFrame && !VibrationRunning();
            return true;
        case ID_DYNAMIC_MOMENT:
            st.text = "动力响应弯矩图";
            st.enabled = ResponseExists() && !VibrationRunning();
            st.checked = m_graphKind == graph::kDynamic && m_dynamicMoment;
            return true;
        case ID_CANCEL_RUN:
            st.enabled = m_document && VibrationRunning();
            return true;
        case ID_ANIMATE:
            st.enabled = AnimationFrameLimit() > 0;
            st.checked = m_animating;
            st.text = m_animating ? "暂停" : "播放";
            return true;
        case ID_DYNAMIC_RESPONSE_GRAPH:
        case ID_DYNAMIC_DATA:
            // Not while a run is writing the file and the excitations.
            st.enabled = ResponseExists() && !VibrationRunning();
            st.checked = id == ID_DYNAMIC_RESPONSE_GRAPH && m_graphKind == graph::kDynamic;
            return true;
        default:
            return false;
    }
}

bool CMorvexView::ExecuteDynamicsCommand(int id) {
    switch (id) {
        case ID_NATURAL_VIBRATION:
            m_document->StartNaturalVibration();
            return true;
        case ID_MODE_SHAPE:
            m_nModes = m_pFrame->m_nModes;
            if (m_modeIndex >= m_nModes) m_modeIndex = 0;
            SelectGraph(ModesReady() && m_nModes > 0 ? graph::kMode : graph::kStructure);
            return true;
        case ID_DYNAMIC_RESPONSE:
            // The run goes on beside the window (in the desktop program on a worker); its
            // end is reported by the document.
            {
                // A new run may write a file of the old size: neither scale may outlive it.
                m_responseLargest = {};
                m_responseMomentLargest = {};
                const std::string path = SideFilePath(m_pFrame->m_baseName, kDynamicLoadFile);
                if (m_document)
                    m_document->StartDynamicResponse(path);
                else
                    CPlainViewDocument(m_pFrame).StartDynamicResponse(path);
                m_window.Redraw();
                return true;
            }
        case ID_CANCEL_RUN:
            m_document->CancelRun();
            return true;
        case ID_ANIMATE:
            m_animating = !m_animating;
            // Paused, a mode shape stands at its full ordinates again.
            if (!m_animating && m_graphKind == graph::kMode) m_modePhase = 0;
            m_window.Redraw();
            return true;
        case ID_DYNAMIC_RESPONSE_GRAPH:
        case ID_DYNAMIC_MOMENT: {
            // The moment command switches between moment and shape on the response graph.
            const bool moment =
                id == ID_DYNAMIC_MOMENT && !(m_graphKind == graph::kDynamic && m_dynamicMoment);
            const long long records = CheckedResponseRecords(*m_pFrame);
            if (records < 1) return true;
            m_nTimeSteps = records > 1000000000 ? 1000000000 : static_cast<int>(records);
            if (m_timeIndex > m_nTimeSteps - 1) m_timeIndex = m_nTimeSteps - 1;
            m_dynamicMoment = moment;
            SelectGraph(graph::kDynamic);
            return true;
        }
        case ID_DYNAMIC_DATA: {
            int node = 0, direction = 0;
            if (!m_window.ChooseResponseComponent(node, direction)) return true;
            if (ExtractResponse(*m_pFrame, node, direction) == ExtractResult::kWritten)
                m_mainWindow.OpenTextFile(ResponseHistoryPath(*m_pFrame, node, direction));
            return true;
        }
        default:
            return false;
    }
}

int CMorvexView::AnimationFrameLimit() const {
    if (m_graphKind == graph::kMode && ModesReady() && m_nModes > 0) return kModePhases - 1;
    if (m_graphKind == graph::kDynamic && m_nTimeSteps > 1 && !VibrationRunning())
        return m_nTimeSteps - 1;
    return -1;
}

int CMorvexView::AnimationFrame() const {
    return m_graphKind == graph::kMode ? m_modePhase : m_timeIndex;
}

void CMorvexView::SetAnimationFrame(int frame) {
    const int limit = AnimationFrameLimit();
    if (limit < 0) return;
    (m_graphKind == graph::kMode ? m_modePhase : m_timeIndex) = std::clamp(frame, 0, limit);
    m_window.Redraw();
}

bool CMorvexView::AnimationStep() {
    const int limit = AnimationFrameLimit();
    if (limit <= 0) return false;
    // The response moves on by whole records, exactly as "显示后一个" does.
    const int step = m_graphKind == graph::kMode ? 1 : std::max(1, m_animationSpeed);
    const int next = AnimationFrame() + step;
    SetAnimationFrame(next > limit ? 0 : next);
    return true;
}
