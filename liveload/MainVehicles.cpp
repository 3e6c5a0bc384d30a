// Main-vehicle effects, their best-arrangement tables and the value of one placement,
// evaluated through InfluenceValue.
#include <new>

#include "engine/PlaneFrame.h"
#include "liveload/LiveLoad.h"
#include "liveload/PlacementMath.h"
#include "platform/Host.h"
#include "platform/Memory.h"

double CPlaneFrame::MainVehicleEffect(double x, int line, const CLiveLoad& load, bool sign,
                                      bool rightward) const {
    double e = 0;
    for (int j = 0; j < load.m_nMainAxles; ++j) {
        const double at = rightward ? x - load.m_mainOffsets[j] : x + load.m_mainOffsets[j];
        e += load.m_mainLoads[j] * InfluenceValue(at, line);
    }
    return sign ? e : -e;
}

bool CPlaneFrame::BuildMainVehicleTables(const CLiveLoad& load, bool sign, bool rightward,
                                         int line) {
    const int n = load.m_nSteps;
    std::vector<double> E;
    bool ok = FitsInMemory(24.0 * (static_cast<double>(n) + 1));
    if (ok) {
        try {
            m_trainBestUpTo.assign(static_cast<size_t>(n) + 1, 0.0);
            m_trainBestFrom.assign(static_cast<size_t>(n) + 1, 0.0);
            E.resize(static_cast<size_t>(n) + 1);
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    if (!ok) {
        m_trainBestUpTo = {};
        m_trainBestFrom = {};
        ShowMessage("内存不够！");
        return false;
    }
    for (int k = 0; k <= n; ++k)
        E[k] = MainVehicleEffect(load.m_xStart + 0.1 * k, line, load, sign, rightward);
    BuildBestTables(E.data(), n, load.m_stepsMain, m_trainBestUpTo.data(), m_trainBestFrom.data());
    return true;
}

double CPlaneFrame::PlacementValue(int k, bool sign, bool rightward, const CLiveLoad& load,
                                   int line) const {
    const double x = load.m_xStart + 0.1 * k;
    double v = 0;
    for (int i = 0; i < load.m_nHeavyAxles; ++i) {
        const double at = rightward ? x - load.m_heavyOffsets[i] : x + load.m_heavyOffsets[i];
        v += load.m_heavyLoads[i] * InfluenceValue(at, line);
    }
    if (!sign) v = -v;
    // Without tables of this sweep (not built yet) there is nothing to add safely.
    if (!load.HasMain() || m_trainBestUpTo.size() != static_cast<size_t>(load.m_nSteps) + 1)
        return v;
    int back = 0, front = 0;
    PlacementReach(load, rightward, back, front);
    return CombinePlacement(v, k, load.m_nSteps, back, front, m_trainBestUpTo.data(),
                            m_trainBestFrom.data());
}
