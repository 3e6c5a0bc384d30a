// The worst placement of a live load on an influence line with its data file B_活载.fem,
// and the influence-line listing.
#include <algorithm>
#include <cmath>

#include "engine/PlaneFrame.h"
#include "liveload/LiveLoad.h"
#include "liveload/LiveLoadPlacement.h"
#include "liveload/PlacementMath.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/TextFile.h"

namespace {

constexpr const char* kNotFinite = "错误：活载布置的计算结果不是有限数值(数据过大)!";

const char* const kQuantityNames[7] = {"", "轴力", "剪力", "弯矩", "x位移", "y位移", "转角"};

}  // namespace

bool CPlaneFrame::PlaceLiveLoad(int line, int entry, CLiveLoad& load,
                                LiveLoadPlacement& placement) {
    const LiveLoadEntry& choice = LiveLoadListEntry(entry);
    placement = LiveLoadPlacement{};
    // The placement file always belongs to the present choice: one that places nothing
    // (no live load, a user train that cannot be read) leaves no earlier placement behind.
    RemoveFile(PlacementPath());
    placement.rightward = choice.rightward;
    if (choice.type < 0 || choice.type >= kLiveLoadTypes) return false;
    if (line < 0 || line >= m_nIlLines || m_ilStates.empty()) {
        ShowMessage("影响线序号错误！");
        return false;
    }
    load.m_userTrainFile = UserTrainPath(m_userTrainFile, m_baseName);
    if (!load.BuildLiveLoad(choice.type, m_ilXMin, m_ilXMax, DesignSpan())) return false;
    const bool sign = choice.sign, right = choice.rightward;
    if (load.IsLane()) return PlaceLaneLoad(line, sign, load, placement);
    // The placement reads the line's samples exactly as the envelope search does, so that
    // both find the same extreme.
    SampleInfluenceLine(line);
    if (!m_ilSamplesReady) {
        ShowMessage("内存不够！");
        return false;
    }
    const int n = load.m_nSteps;
    auto sweep = [&](int& best, double& bestValue) {
        if (load.HasMain() && !BuildMainVehicleTables(load, sign, right, line)) return false;
        best = 0;
        bestValue = load.HasMain() ? m_trainBestUpTo[static_cast<size_t>(n)] : 0;
        if (load.HasHeavy()) {
            bestValue = PlacementValue(0, sign, right, load, line);
            for (int k = 1; k <= n; ++k) {
                const double v = PlacementValue(k, sign, right, load, line);
                if (v > bestValue) bestValue = v, best = k;
            }
        }
        return true;
    };
    const InfluenceRequest& request = m_ilRequests[line];
    const double* state = &m_ilStates[static_cast<size_t>(line) * m_nDof];
    double atSection = 0, beside = 0;
    bool besideOnPath = false;
    const long long section = SectionSample(request, state, atSection, beside, besideOnPath);
    int best = 0;
    double bestValue = 0;
    bool ok = sweep(best, bestValue), onBeside = false;
    if (ok && section >= 0 && beside != atSection) {
        // A load standing at the section counts on the worse side of the jump.
        int otherBest = 0;
        double otherValue = 0;
        m_ilSamples[static_cast<size_t>(section)] = beside;
        ok = sweep(otherBest, otherValue);
        if (ok && otherValue > bestValue) {
            onBeside = true;
            best = otherBest;
        } else if (ok) {
            m_ilSamples[static_cast<size_t>(section)] = atSection;
            if (load.HasMain()) ok = BuildMainVehicleTables(load, sign, right, line);
        }
    }
    if (!ok) {
        m_ilSamplesReady = false;
        return false;
    }
    m_ilSectionSample = section;
    m_ilSectionShift = section >= 0 ? SectionShift(request, onBeside ? -1 : 1) : 0;

    std::vector<double>& placed = placement.placements;
    if (load.HasHeavy()) placed.push_back(load.m_xStart + 0.1 * best);
    if (load.HasMain()) {
        const std::vector<double>& upTo = m_trainBestUpTo;
        const std::vector<double>& from = m_trainBestFrom;
        const int s = std::max(1, load.m_stepsMain);
        int back = 0, front = 0;
        PlacementReach(load, right, back, front);
        // Without a heavy vehicle the main vehicles take their best arrangement anywhere.
        long long f = load.HasHeavy() ? static_cast<long long>(best) - back : n;
        if (f > n) f = -1;
        while (f >= 0) {
            const double p = f == 0 ? 0.0 : upTo[f - 1];
            if (p >= upTo[f]) {
                --f;
            } else {
                placed.push_back(load.m_xStart + 0.1 * static_cast<int>(f));
                f -= s;
            }
        }
        long long g = load.HasHeavy() ? static_cast<long long>(best) + front : n + 1LL;
        if (g < 0) g = n + 1LL;
        while (g <= n) {
            const double q = g == n ? 0.0 : from[g + 1];
            if (q >= from[g]) {
                ++g;
            } else {
                placed.push_back(load.m_xStart + 0.1 * static_cast<int>(g));
                g += s;
            }
        }
    }

    std::string loads;
    for (size_t p = 0; p < placed.size(); ++p)
        WriteVehicleLoads(placed[p], static_cast<int>(p) + 1, load, right, loads,
                          placement.placeCount);
    for (size_t p = 0; p < placed.size(); ++p)
        placement.total += VehicleEffect(placed[p], static_cast<int>(p) + 1, load, right, line);
    m_ilSamplesReady = false;
    m_ilSectionSample = -1;
    if (!std::isfinite(placement.total)) {
        ShowMessage(kNotFinite);
        return false;
    }
    return WritePlacementFile(loads, placement.placeCount);
}

bool CPlaneFrame::PlaceLaneLoad(int line, bool sign, const CLiveLoad& load,
                                LiveLoadPlacement& placement) {
    const InfluenceRequest& r = m_ilRequests[line];
    std::vector<PathPiece> path;
    std::vector<PieceCubic> cubics;
    PathPieces(path);
    LinePieces(path, r, &m_ilStates[static_cast<size_t>(line) * m_nDof], cubics);
    LaneLineSummary s;
    std::vector<LaneRegion> positive, negative;
    SummariseLine(cubics, s, &positive, &negative);
    // Loads act downward (negative): the largest value loads where the line is negative.
    placement.laneRegions = sign ? negative : positive;
    placement.lanePoint = sign ? s.smallest : s.largest;
    placement.laneUniform = load.m_laneUniform;
    placement.laneConcentrated = load.LanePoint(r.quantity);
    const double area = sign ? s.negativeArea : s.positiveArea;
    placement.total = load.m_laneUniform * area + placement.laneConcentrated * placement.lanePoint.value;

    // Each region as uniform loads from node i (over t1 L, less the part up to t0 L), in
    // global y per unit element length so that each metre of path carries qk.
    std::string loads = "\n均布荷载：";
    int& count = placement.placeCount;
    for (const LaneRegion& g : placement.laneRegions) {
        const Element& el = m_elements[g.element];
        const double dx = std::fabs(m_nodes[el.jNode].x - m_nodes[el.iNode].x);
        const double q = load.m_laneUniform * dx / el.length;
        const double ta = std::min(g.t0, g.t1), tb = std::max(g.t0, g.t1);
        const double parts[2][2] = {{tb, q}, {ta, -q}};
        for (const auto& part : parts) {
            if (part[0] <= 0) continue;
            ++count;
            AppendFormat(loads, "\n%5d %5d %5d %20.12g %20.12g %20.12g %20.12g", g.element + 1, 1,
                         4, part[0] * el.length, 0.0, part[1], 0.0);
        }
        AppendFormat(loads, "   x坐标: %lf ... %lf", g.x0, g.x1);
    }
    if (placement.lanePoint.element >= 0) {
        const LaneOrdinate& o = placement.lanePoint;
        ++count;
        AppendFormat(loads, "\n集中荷载：\n%5d %5d %5d %20.12g %20.12g %20.12g %20.12g",
                     o.element + 1, 1, 2, o.t * m_elements[o.element].length, 0.0,
                     placement.laneConcentrated, 0.0);
        AppendFormat(loads, "   x坐标: %lf", o.x);
    }
    if (!std::isfinite(placement.total)) {
        ShowMessage(kNotFinite);
        return false;
    }
    return WritePlacementFile(loads, count);
}

bool CPlaneFrame::WritePlacementFile(const std::string& loads, int count) {
    // The model copy of this engine, then the placed loads as the element loads of its
    // single load case: a data file ready to be opened.
    std::string text = m_hzText;
    AppendFormat(text, "\n单元荷载个数:");
    AppendFormat(text, "\n%d", count);
    size_t start = 0;
    for (;;) {
        const size_t end = loads.find('\n', start);
        AppendFormat(text, "\n%s", loads.substr(start, end - start).c_str());
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (!WriteWholeFile(PlacementPath(), text)) {
        ShowMessage(FormatString("错误：无法写入文件%s!", PlacementPath().c_str()));
        return false;
    }
    return true;
}

void CPlaneFrame::WriteVehicleLoads(double x, int place, const CLiveLoad& load, bool rightward,
                                    std::string& text, int& placeCount) const {
    const bool heavy = place == 1 && load.HasHeavy();
    const std::vector<double>& loads = heavy ? load.m_heavyLoads : load.m_mainLoads;
    const std::vector<double>& offsets = heavy ? load.m_heavyOffsets : load.m_mainOffsets;
    text += heavy ? "\n重车：" : "\n主车：";
    for (size_t i = 0; i < loads.size(); ++i) {
        // Each load goes where it was counted: the sample it read, a load at the section to
        // the side of the jump the samples hold, one off the path nowhere.
        const double k = SampleIndex(rightward ? x - offsets[i] : x + offsets[i]);
        if (!(k >= 0 && k <= m_ilSampleCount)) continue;
        double at = SampleX(static_cast<long long>(k));
        int f = 0;
        double t = 0;
        if (static_cast<long long>(k) == m_ilSectionSample &&
            LocateOnPath(at + m_ilSectionShift, f, t))
            at += m_ilSectionShift;
        if (!LocateOnPath(at, f, t)) continue;
        ++placeCount;
        const double L = m_elements[f].length;
        // At the j end the distance is rounded up: the reader takes it as the end, where the
        // sample was, and never as a point just before it.
        const double a = t == 1 ? std::ceil(L * 1e6) / 1e6 : t * L;
        AppendFormat(text, "\n%5d %5d %5d %16.6lf %16.6lf %16.6lf %16.6lf", f + 1, 1, 2, a, 0.0,
                     loads[i], 0.0);
        AppendFormat(text, "   x坐标: %lf", at);
    }
}

double CPlaneFrame::VehicleEffect(double x, int place, const CLiveLoad& load, bool rightward,
                                  int line) const {
    const bool heavy = place == 1 && load.HasHeavy();
    const std::vector<double>& loads = heavy ? load.m_heavyLoads : load.m_mainLoads;
    const std::vector<double>& offsets = heavy ? load.m_heavyOffsets : load.m_mainOffsets;
    double e = 0;
    for (size_t i = 0; i < loads.size(); ++i)
        e += loads[i] * InfluenceValue(rightward ? x - offsets[i] : x + offsets[i], line);
    return e;
}

std::string CPlaneFrame::InfluenceListingPath(int line) const {
    return FormatString("%s_影响线数据%d.out", m_baseName.c_str(), line + 1);
}

bool CPlaneFrame::WriteInfluenceListing(int line) {
    if (line < 0 || line >= m_nIlLines || m_ilStates.empty()) {
        ShowMessage("影响线序号错误！");
        return false;
    }
    const InfluenceRequest& r = m_ilRequests[line];
    CTextOut out;
    const std::string path = InfluenceListingPath(line);
    if (!out.Open(path)) {
        ShowMessage(FormatString("错误：无法写入文件%s!", path.c_str()));
        return false;
    }
    out.Printf("\n第%d条影响线：", line + 1);
    out.Printf("\n\n单元：%5d   位置：%12.6lf   性质：%s\n", r.element + 1, r.position,
               kQuantityNames[r.quantity]);
    // Every sample of the path, its end included.
    for (long long i = 0; i <= m_ilSampleCount && SampleX(i) <= m_ilXMax + 1e-9; ++i)
        out.Printf("\n%14.6lf %20.6e", SampleX(i), InfluenceValue(SampleX(i), line));
    if (!out.Close()) {
        ShowMessage(FormatString("错误：无法写入文件%s!", path.c_str()));
        return false;
    }
    return true;
}
