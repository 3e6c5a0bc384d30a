// The envelope search: at 11 points of every element, the largest and smallest value a
// live load can produce, found on the sampled influence line of the point.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <new>
#include <system_error>
#include <thread>

#include "engine/PlaneFrame.h"
#include "liveload/LiveLoad.h"
#include "liveload/PlacementMath.h"
#include "platform/BinaryFile.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Memory.h"

namespace {

const char* const kHeaderWords[4] = {
    "", "轴力包络图数据:   ", "剪力包络图数据:   ", "弯矩包络图数据:   "};
const char* const kCommandWords[4] = {"", "轴力包络图", "剪力包络图", "弯矩包络图"};
constexpr int kPoints = 11;

// Where one load of a vehicle reads the sampled line: on most models the sample index is
// the step plus a constant, which turns a placement sweep into a correlation that the
// compiler vectorises; otherwise every step looks its index up as InfluenceValue does.
struct LoadShift {
    bool uniform = false;
    long long shift = 0;
};

// What every worker shares, read-only: the path location of each sample and the index
// shifts of every load in both directions.
struct SearchPlan {
    std::vector<int> sampleElement;  // -1 = off the path
    std::vector<double> sampleT;
    std::vector<LoadShift> heavyShift[2], mainShift[2];  // [0] rightward, [1] leftward
    std::vector<PathPiece> pieces;  // the path between element ends (lane loads)
};

std::vector<LoadShift> Shifts(const CPlaneFrame& f, const CLiveLoad& ld,
                              const std::vector<double>& offsets, bool rightward) {
    std::vector<LoadShift> out(offsets.size());
    for (size_t j = 0; j < offsets.size(); ++j) {
        LoadShift& s = out[j];
        auto index = [&](int k) {
            const double x = ld.m_xStart + 0.1 * k;
            return f.SampleIndex(rightward ? x - offsets[j] : x + offsets[j]);
        };
        const double c = index(0);
        if (!(std::fabs(c) < 1e9)) continue;
        s.uniform = true;
        for (int k = 1; k <= ld.m_nSteps && s.uniform; ++k) s.uniform = index(k) - k == c;
        s.shift = static_cast<long long>(c);
    }
    return out;
}

// One worker's own scratch line and sweep buffers.
class CEnvelopeWorker {
public:
    CEnvelopeWorker(const CPlaneFrame& frame, const CLiveLoad& load, const SearchPlan& plan,
                    int quantity)
        : m_f(frame), m_ld(load), m_plan(plan) {
        m_request.quantity = quantity;
        const size_t n = static_cast<size_t>(load.m_nSteps) + 1;
        m_state.resize(static_cast<size_t>(frame.m_nDof));
        m_samples.resize(static_cast<size_t>(frame.m_ilSampleCount) + 1);
        for (int d = 0; d < 2; ++d) {
            if (load.HasHeavy()) m_heavy[d].resize(n);
            if (load.HasMain()) m_main[d].resize(n);
        }
        if (load.HasMain()) m_effect.resize(n), m_upTo.resize(n), m_from.resize(n);
    }

    // Maximum and minimum at relative position xi of element e.
    void Evaluate(int e, double xi, double& maxValue, double& minValue) {
        m_request.element = e;
        m_request.position = xi;
        m_f.ComputeInfluenceLineInto(m_request, m_state.data());
        if (m_ld.IsLane()) {
            // The uniform load wherever the line is adverse, the concentrated load at its
            // largest adverse ordinate (loads are downward, negative).
            m_f.LinePieces(m_plan.pieces, m_request, m_state.data(), m_cubics);
            LaneLineSummary s;
            SummariseLine(m_cubics, s);
            const double q = m_ld.m_laneUniform, p = m_ld.LanePoint(m_request.quantity);
            maxValue = q * s.negativeArea + p * s.smallest.value;
            minValue = q * s.positiveArea + p * s.largest.value;
            return;
        }
        for (size_t i = 0; i < m_samples.size(); ++i) {
            const int f = m_plan.sampleElement[i];
            m_samples[i] =
                f < 0 ? 0.0
                      : m_f.ValueOnPathElement(f, m_plan.sampleT[i], m_request, m_state.data());
        }
        double atSection = 0, beside = 0;
        bool besideOnPath = false;
        const long long k =
            m_f.SectionSample(m_request, m_state.data(), atSection, beside, besideOnPath);
        if (k >= 0) m_samples[static_cast<size_t>(k)] = atSection;
        Search(maxValue, minValue);
        if (k < 0 || beside == atSection) return;
        // A load standing at the section counts on the worse side of the jump.
        double maxBeside = 0, minBeside = 0;
        m_samples[static_cast<size_t>(k)] = beside;
        Search(maxBeside, minBeside);
        maxValue = std::max(maxValue, maxBeside);
        minValue = std::min(minValue, minBeside);
    }

private:
    // Maximum and minimum over every placement on the current samples.
    void Search(double& maxValue, double& minValue) {
        for (int d = 0; d < 2; ++d) {
            if (m_ld.HasHeavy())
                Correlate(m_ld.m_heavyLoads, m_ld.m_heavyOffsets, d == 0, m_plan.heavyShift[d],
                          m_heavy[d]);
            if (m_ld.HasMain())
                Correlate(m_ld.m_mainLoads, m_ld.m_mainOffsets, d == 0, m_plan.mainShift[d],
                          m_main[d]);
        }
        maxValue = Best(true);
        minValue = -Best(false);
    }

    // out[k] = sum over the loads, in their order, of load * eta at step k. Loads off the
    // sampled range add a zero in the direct evaluation, which leaves every sum unchanged.
    void Correlate(const std::vector<double>& loads, const std::vector<double>& offsets,
                   bool rightward, const std::vector<LoadShift>& shifts, std::vector<double>& out) {
        const long long n = m_ld.m_nSteps, last = m_f.m_ilSampleCount;
        std::fill(out.begin(), out.end(), 0.0);
        for (size_t j = 0; j < loads.size(); ++j) {
            const double p = loads[j];
            if (shifts[j].uniform) {
                const long long c = shifts[j].shift;
                const long long lo = std::max(0LL, -c), hi = std::min(n, last - c);
                for (long long k = lo; k <= hi; ++k) out[k] += p * m_samples[k + c];
                continue;
            }
            for (long long k = 0; k <= n; ++k) {
                const double x = m_ld.m_xStart + 0.1 * static_cast<int>(k);
                const double idx = m_f.SampleIndex(rightward ? x - offsets[j] : x + offsets[j]);
                if (idx >= 0 && idx <= last) out[k] += p * m_samples[static_cast<size_t>(idx)];
            }
        }
    }

    // The largest value of the effect (sign true) or of its negation over both directions.
    double Best(bool sign) {
        const int n = m_ld.m_nSteps;
        double best = 0;
        bool first = true;
        for (int d = 0; d < 2; ++d) {
            if (m_ld.HasMain()) {
                for (int k = 0; k <= n; ++k) m_effect[k] = sign ? m_main[d][k] : -m_main[d][k];
                BuildBestTables(m_effect.data(), n, m_ld.m_stepsMain, m_upTo.data(), m_from.data());
            }
            if (m_ld.HasHeavy()) {
                int back = 0, front = 0;
                PlacementReach(m_ld, d == 0, back, front);
                for (int k = 0; k <= n; ++k) {
                    const double h = sign ? m_heavy[d][k] : -m_heavy[d][k];
                    const double v = m_ld.HasMain() ? CombinePlacement(h, k, n, back, front,
                                                                       m_upTo.data(), m_from.data())
                                                    : h;
                    best = first ? v : std::max(best, v);
                    first = false;
                }
            } else if (m_ld.HasMain()) {
                // A train without a heavy vehicle: its best arrangement over the whole path.
                best = first ? m_upTo[n] : std::max(best, m_upTo[n]);
                first = false;
            }
        }
        return best;
    }

    const CPlaneFrame& m_f;
    const CLiveLoad& m_ld;
    const SearchPlan& m_plan;
    InfluenceRequest m_request;
    std::vector<PieceCubic> m_cubics;
    std::vector<double> m_state, m_samples, m_heavy[2], m_main[2], m_effect, m_upTo, m_from;
};

}  // namespace

bool CPlaneFrame::ComputeEnvelope(int type, int quantity) {
    if (type < 0 || type >= kLiveLoadTypes) {
        ShowMessage("请先选择活载类型！");
        return false;
    }
    if (quantity < 1 || quantity > 3) return false;
    if (m_nIlElements < 1 || m_ilStates.empty()) {
        ShowMessage("没有影响线单元（加载路径），无法计算活载！");
        return false;
    }
    CLiveLoad load;
    if (!load.BuildLiveLoad(type, m_ilXMin, m_ilXMax, DesignSpan())) return false;
    if (!ComputeDesignFactors(type, m_designFactors)) return false;

    // Every buffer of the search is sized before anything is computed or written.
    const int nWorkers = std::max(1, std::min(m_envelopeWorkers, m_nElements));
    const double perWorker = 8.0 * (m_nDof + m_ilSampleCount + 8.0 * (load.m_nSteps + 1.0));
    SearchPlan plan;
    std::vector<std::unique_ptr<CEnvelopeWorker>> workers;
    std::vector<double> maxima, minima;
    bool ok = FitsInMemory(perWorker * nWorkers + 16.0 * m_ilSampleCount + 176.0 * m_nElements +
                           16.0 * (load.m_nHeavyAxles + load.m_nMainAxles));
    if (ok) {
        try {
            plan.sampleElement.assign(static_cast<size_t>(m_ilSampleCount) + 1, -1);
            plan.sampleT.assign(static_cast<size_t>(m_ilSampleCount) + 1, 0.0);
            if (load.IsLane()) PathPieces(plan.pieces);
            for (int d = 0; d < 2; ++d) {
                plan.heavyShift[d] = Shifts(*this, load, load.m_heavyOffsets, d == 0);
                plan.mainShift[d] = Shifts(*this, load, load.m_mainOffsets, d == 0);
            }
            for (int w = 0; w < nWorkers; ++w)
                workers.push_back(std::make_unique<CEnvelopeWorker>(*this, load, plan, quantity));
            maxima.resize(static_cast<size_t>(m_nElements) * kPoints);
            minima.resize(static_cast<size_t>(m_nElements) * kPoints);
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    if (!ok) {
        ShowMessage("内存不够！");
        return false;
    }
    for (int i = 0; i <= m_ilSampleCount; ++i)
        LocateOnPath(SampleX(i), plan.sampleElement[i], plan.sampleT[i]);

    // The files are created first, so that a folder without write access is reported before
    // the long computation rather than after it.
    CBinaryOut bin;
    CTextOut txt;
    const std::string binPath = EnvelopeBinaryPath(type, quantity);
    const std::string txtPath = EnvelopeTextPath(type, quantity);
    if (!bin.Open(binPath)) {
        ShowMessage(FormatString("错误：无法写入文件%s!", binPath.c_str()));
        return false;
    }
    if (!txt.Open(txtPath)) {
        ShowMessage(FormatString("错误：无法写入文件%s!", txtPath.c_str()));
        return false;
    }

    double xis[kPoints];
    for (int j = 0; j < kPoints; ++j) xis[j] = j / 10.0;
    std::atomic<int> next{0}, done{0};
    auto run = [&](CEnvelopeWorker& w, bool report) {
        int lastPercent = -1;
        for (int e = next++; e < m_nElements; e = next++) {
            for (int j = 0; j < kPoints; ++j) {
                const size_t at = static_cast<size_t>(e) * kPoints + j;
                w.Evaluate(e, xis[j], maxima[at], minima[at]);
            }
            const int finished = ++done;
            if (!report) continue;
            const int percent = static_cast<int>(100.0 * finished / m_nElements);
            if (percent != lastPercent) {
                ShowStatus(
                    FormatString("%s计算中，请等待...(%d%%)", kCommandWords[quantity], percent));
                lastPercent = percent;
            }
        }
    };
    std::vector<std::thread> threads;
    try {
        for (int w = 1; w < nWorkers; ++w) threads.emplace_back(run, std::ref(*workers[w]), false);
    } catch (const std::system_error&) {
        // No thread to be had: the calling thread takes the elements that are left.
    } catch (const std::bad_alloc&) {
        // Nor memory for its start or its handle: the same.
    }
    run(*workers[0], true);
    for (std::thread& t : threads) t.join();

    // A design load's effects carry its factors, which the text file states.
    const double factor = m_designFactors.total;
    if (factor != 1)
        for (size_t i = 0; i < maxima.size(); ++i) maxima[i] *= factor, minima[i] *= factor;
    for (size_t at = 0; at < maxima.size(); ++at) {
        if (std::isfinite(maxima[at]) && std::isfinite(minima[at])) continue;
        ShowMessage(
            FormatString("错误：%s包络计算结果不是有限数值(数据过大)!", kCommandWords[quantity]),
            FormatString("单元%d", static_cast<int>(at / kPoints) + 1));
        return false;
    }
    txt.Printf("%s%s", kHeaderWords[quantity], LiveLoadDialogName(type));
    if (IsDesignLoadType(type)) txt.Printf("\n%s", DescribeFactors(m_designFactors).c_str());
    txt.Printf("\n\n单元       位置                 最大值                最小值");
    int maxElement = 0, minElement = 0;
    double maxXi = 0, minXi = 0, maxValue = maxima[0], minValue = minima[0];
    for (int e = 0; e < m_nElements; ++e) {
        txt.Printf("\n\n%5d", e + 1);
        for (int j = 0; j < kPoints; ++j) {
            const size_t at = static_cast<size_t>(e) * kPoints + j;
            bin.Double(maxima[at]);
            bin.Double(minima[at]);
            txt.Printf("\n%19.6lf %21.6e %21.6e", xis[j], maxima[at], minima[at]);
            if (maxima[at] > maxValue) maxValue = maxima[at], maxElement = e, maxXi = xis[j];
            if (minima[at] < minValue) minValue = minima[at], minElement = e, minXi = xis[j];
        }
    }
    bin.Int32(maxElement);
    bin.Int32(0);
    bin.Double(maxXi * m_elements[maxElement].length);
    bin.Double(maxValue);
    bin.Int32(minElement);
    bin.Int32(0);
    bin.Double(minXi * m_elements[minElement].length);
    bin.Double(minValue);
    const bool binWritten = bin.Close(), txtWritten = txt.Close();

    // The engine's scratch line, samples and tables are left as the last point left them.
    InfluenceRequest& scratch = m_ilRequests[m_nIlLines];
    scratch = InfluenceRequest{};
    scratch.element = m_nElements - 1;
    scratch.position = xis[kPoints - 1];
    scratch.quantity = quantity;
    ComputeInfluenceLine(m_nIlLines);
    SampleInfluenceLine();
    if (load.HasMain()) BuildMainVehicleTables(load, false, false, m_nIlLines);
    m_ilSamplesReady = false;

    if (!binWritten || !txtWritten) {
        ShowMessage(
            FormatString("错误：无法写入文件%s!", (binWritten ? txtPath : binPath).c_str()));
        return false;
    }
    return true;
}

bool CPlaneFrame::RunEnvelopeCommand(int type, int quantity) {
    if (quantity < 1 || quantity > 3) return false;
    const std::string word = kCommandWords[quantity];
    ShowStatus(word + "计算中，请等待...");
    const bool ok = ComputeEnvelope(type, quantity);
    if (ok) {
        ShowStatus(word + "计算完毕");
        ShowMessage(word + "计算完毕！");
    }
    ShowStatus("");
    return ok;
}
