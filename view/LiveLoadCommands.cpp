// The live-load commands of the result view: the placement chosen in the live-load selector,
// the influence-line listing, the live-load type dialog and the envelope searches.
#include "engine/PlaneFrame.h"
#include "liveload/Combination.h"
#include "liveload/LiveLoadPlacement.h"
#include "platform/Host.h"
#include "view/MorvexView.h"
#include "view/ViewCommands.h"

void CMorvexView::OnLiveLoadChoice(int entry) {
    if (!m_pFrame || m_graphKind != graph::kInfluence) return;
    if (entry < 0 || entry >= kLiveLoadEntries) return;
    m_liveLoadPlacements.clear();
    m_placeCount = 0;
    m_laneRegions.clear();
    m_lanePoint = LaneOrdinate{};
    const LiveLoadEntry& choice = LiveLoadListEntry(entry);
    m_liveLoadClass = choice.type;
    m_placeSign = choice.sign;
    m_placeRightward = choice.rightward;
    m_liveLoadItem = entry;
    m_placeLoad.ClearLiveLoad();
    LiveLoadPlacement placement;
    if (m_pFrame->PlaceLiveLoad(m_lineIndex, entry, m_placeLoad, placement)) {
        m_liveLoadPlacements = placement.placements;
        m_placeCount = placement.placeCount;
        m_laneRegions = placement.laneRegions;
        m_lanePoint = placement.lanePoint;
        m_laneTotal = placement.total;
    } else {
        // A failed placement (its message is shown) draws no vehicles and no total, and
        // leaves no placement file of an earlier choice.
        m_liveLoadClass = -1;
        if (entry > 0) ShowStatus("布载未完成，已删除" + m_pFrame->PlacementPath());
    }
    m_window.Redraw();
}

bool CMorvexView::ExecuteLiveLoadCommand(int id) {
    switch (id) {
        case ID_INFLUENCE_OUTPUT:
            if (m_pFrame && m_pFrame->WriteInfluenceListing(m_lineIndex))
                m_mainWindow.OpenTextFile(m_pFrame->InfluenceListingPath(m_lineIndex));
            return true;
        case ID_LIVE_LOAD_TYPE: {
            int type = m_envelopeType;
            DesignLoadOptions design = m_designLoad;
            if (m_window.ChooseLiveLoadType(type, design)) {
                m_envelopeType = type;
                m_designLoad = design;
            }
            return true;
        }
        case ID_MOMENT_ENVELOPE:
        case ID_SHEAR_ENVELOPE:
        case ID_AXIAL_ENVELOPE: {
            if (!m_pFrame) return true;
            const int quantity = id == ID_MOMENT_ENVELOPE ? 3 : id == ID_SHEAR_ENVELOPE ? 2 : 1;
            // The search writes its progress into status pane 0 and the progress window as it
            // goes; afterwards an envelope graph on screen is drawn again from the new file.
            m_pFrame->m_designLoad = m_designLoad;
            const bool ok = m_window.RunWithProgress(
                quantity == 3   ? "弯矩包络图"
                : quantity == 2 ? "剪力包络图"
                                : "轴力包络图",
                m_pFrame->m_keepRunning,
                [&] { return m_pFrame->RunEnvelopeCommand(m_envelopeType, quantity); });
            m_pFrame->m_designLoad = DesignLoadOptions{};
            if (ok) {
                m_envelopeEnabled = true;
                m_window.Redraw();
            }
            return true;
        }
        case ID_COMBINATION: {
            if (!m_pFrame) return true;
            // The combination file beside the data file, every combination in it; then the
            // combination graph shows the first.
            const std::string path = m_pFrame->m_baseName + "_组合.txt";
            const bool ok = m_window.RunWithProgress("荷载组合", m_pFrame->m_keepRunning, [&] {
                return m_pFrame->RunCombinations(path, "");
            });
            if (!ok) return true;  // after its message, or stopped
            std::vector<Combination> all;
            if (ReadCombinationFile(path, m_pFrame->m_nCases, all)) {
                m_combinations.clear();
                for (const Combination& c : all) m_combinations.push_back(c.name);
            }
            m_combinationIndex = 0;
            m_envelopeEnabled = true;
            ShowStatus("");
            ShowMessage("荷载组合计算完毕！");
            SelectGraph(graph::kCombination);
            return true;
        }
        default:
            return false;
    }
}
