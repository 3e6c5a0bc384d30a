// The envelope search: at 11 points of every element, the largest and smallest value a
// live load can produce, found on the sampled influence line of the point.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <thread>

#include "engine/CaseFile.h"
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
const char* const kConcurrentWords[4] = {
    "", "轴力包络图同时内力:   ", "剪力包络图同时内力:   ", "弯矩包络图同时内力:   "};
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
    std::vector<PieceWeights> weights;  // what a line reads at their fit and check positions
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

// The forces of the governing placements at one point: [0] of the maximum, [1] of the
// minimum; N, Q, M, and where the loads stand.
struct PointConcurrent {
    double forces[2][3] = {{0, 0, 0}, {0, 0, 0}};
    std::string where[2];
};

// One worker's own scratch line and sweep buffers.
class CEnvelopeWorker {
public:
    CEnvelopeWorker(const CPlaneFrame& frame, const CLiveLoad& load, const SearchPlan& plan,
                    int quantity, const double* xis, int batchPoints)
        : m_f(frame), m_ld(load), m_plan(plan), m_xis(xis), m_batchPoints(batchPoints) {
        m_request.quantity = quantity;
        const size_t n = static_cast<size_t>(load.m_nSteps) + 1;
        m_samples.resize(static_cast<size_t>(frame.m_ilSampleCount) + 1);
        for (int d = 0; d < 2; ++d) {
            if (load.HasHeavy()) m_heavy[d].resize(n);
            if (load.HasMain()) m_main[d].resize(n);
        }
        if (load.HasMain()) m_effect.resize(n), m_upTo.resize(n), m_from.resize(n);
        for (int o = 0; o < 2; ++o)
            if (!load.IsLane()) m_otherSamples[o].resize(m_samples.size());
        m_states.resize(static_cast<size_t>(frame.m_nDof) * 3 * batchPoints);
        m_scratch.resize(m_states.size());
    }

    // Maximum and minimum at point j (relative position xis[j]) of element e.
    void Evaluate(int e, int j, double& maxValue, double& minValue) {
        m_request.element = e;
        m_request.position = m_xis[j];
        SetStates(e, j);
        if (m_ld.IsLane()) {
            // The uniform load wherever the line is adverse, the concentrated load at its
            // largest adverse ordinate (loads are downward, negative).
            m_f.LinePieces(m_plan.pieces, m_request, m_state, m_cubics, &m_plan.weights);
            LaneLineSummary& s = m_lane;
            m_regions[0].clear(), m_regions[1].clear();
            SummariseLine(m_cubics, s, &m_regions[1], &m_regions[0]);
            const double q = m_ld.m_laneUniform, p = m_ld.LanePoint(m_request.quantity);
            maxValue = q * s.negativeArea + p * s.smallest.value;
            minValue = q * s.positiveArea + p * s.largest.value;
            return;
        }
        for (size_t i = 0; i < m_samples.size(); ++i) {
            const int f = m_plan.sampleElement[i];
            m_samples[i] =
                f < 0 ? 0.0
                      : m_f.ValueOnPathElement(f, m_plan.sampleT[i], m_request, m_state);
        }
        double atSection = 0, beside = 0;
        bool besideOnPath = false;
        const long long k =
            m_f.SectionSample(m_request, m_state, atSection, beside, besideOnPath);
        m_section = k;
        m_sectionValue[0] = atSection, m_sectionValue[1] = beside;
        if (k >= 0) m_samples[static_cast<size_t>(k)] = atSection;
        Search(maxValue, minValue, m_governing);
        if (k < 0 || beside == atSection) return;
        // A load standing at the section counts on the worse side of the jump.
        double maxBeside = 0, minBeside = 0;
        Governing other[2];
        m_samples[static_cast<size_t>(k)] = beside;
        Search(maxBeside, minBeside, other);
        other[0].beside = other[1].beside = true;
        if (maxBeside > maxValue) maxValue = maxBeside, m_governing[0] = other[0];
        if (minBeside < minValue) minValue = minBeside, m_governing[1] = other[1];
    }

private:
    // Points the states at those of point j of element e, solving the batch of points from j
    // on, all three quantities, when they are not at hand. The batch gives each state bit
    // for bit as one solution would.
    void SetStates(int e, int j) {
        if (e != m_batchElement || j < m_batchFirst || j >= m_batchFirst + m_batchCount) {
            m_batchElement = e;
            m_batchFirst = j;
            m_batchCount = std::min(m_batchPoints, kPoints - j);
            InfluenceRequest r[3 * kPoints];
            for (int p = 0; p < m_batchCount; ++p)
                for (int k = 0; k < 3; ++k) {
                    InfluenceRequest& q = r[3 * p + k];
                    q.element = e, q.position = m_xis[j + p], q.quantity = k + 1;
                }
            m_f.ComputeInfluenceLinesInto(r, 3 * m_batchCount, m_states.data(), m_scratch);
        }
        const size_t n = static_cast<size_t>(m_f.m_nDof);
        const double* at = m_states.data() + static_cast<size_t>(3 * (j - m_batchFirst)) * n;
        m_state = at + static_cast<size_t>(m_request.quantity - 1) * n;
        for (int o = 0, k = 0; k < 3; ++k)
            if (k + 1 != m_request.quantity) m_otherState[o++] = at + static_cast<size_t>(k) * n;
    }

    // The placement that gives one extreme: whether the section's sample held the value of
    // a load just before the section, the direction (0 rightward) and the heavy vehicle's
    // step (-1: a train without one).
    struct Governing {
        bool beside = false;
        int dir = 0;
        long long step = 0;
    };

    // Maximum and minimum over every placement on the current samples, and their placements.
    void Search(double& maxValue, double& minValue, Governing governing[2]) {
        for (int d = 0; d < 2; ++d) {
            if (m_ld.HasHeavy())
                Correlate(m_ld.m_heavyLoads, m_ld.m_heavyOffsets, d == 0, m_plan.heavyShift[d],
                          m_heavy[d]);
            if (m_ld.HasMain())
                Correlate(m_ld.m_mainLoads, m_ld.m_mainOffsets, d == 0, m_plan.mainShift[d],
                          m_main[d]);
        }
        governing[0] = governing[1] = Governing{};
        maxValue = Best(true, &governing[0].dir, &governing[0].step);
        minValue = -Best(false, &governing[1].dir, &governing[1].step);
    }

public:
    // The three forces that the governing placements of the maximum ([0]) and the minimum
    // ([1]) produce together at the point of the last Evaluate, and where the loads stand.
    void Concurrent(PointConcurrent& out) {
        const int q = m_request.quantity;
        for (int o = 0, k = 0; k < 3; ++k) {
            if (k + 1 == q) continue;
            InfluenceRequest& r = m_other[o];
            r = InfluenceRequest{};
            r.element = m_request.element, r.position = m_request.position, r.quantity = k + 1;
            ++o;
        }
        if (m_ld.IsLane()) {
            LaneConcurrent(out);
            return;
        }
        // The other lines are sampled as the searched one, where a load reads them (NaN: not
        // yet): a force that jumps at the section holds, at the section's sample, the value
        // of the side the extreme was found on.
        double otherSection[2][2] = {{0, 0}, {0, 0}};
        for (int o = 0; o < 2; ++o) {
            std::fill(m_otherSamples[o].begin(), m_otherSamples[o].end(), NAN);
            bool onPath = false;
            const long long k = m_f.SectionSample(m_other[o], m_otherState[o],
                                                  otherSection[o][0], otherSection[o][1], onPath);
            if (k < 0) {
                otherSection[o][0] = otherSection[o][1] = NAN;
            } else if (m_section < 0) {
                // The moment is searched: it does not jump, but a load at its section decides
                // the other forces, and it stands there as the static analysis takes it.
                m_section = k;
                m_sectionValue[0] = m_sectionValue[1] = m_samples[static_cast<size_t>(k)];
            }
        }
        for (int o = 0; o < 2; ++o)
            if (m_section >= 0 && std::isnan(otherSection[o][0]))
                otherSection[o][0] = otherSection[o][1] = OtherSample(o, m_section);
        for (int side = 0; side < 2; ++side) {
            const bool sign = side == 0;
            const Governing& g = m_governing[side];
            const bool right = g.dir == 0;
            if (m_section >= 0) {
                const size_t k = static_cast<size_t>(m_section);
                m_samples[k] = m_sectionValue[g.beside ? 1 : 0];
                for (int o = 0; o < 2; ++o)
                    m_otherSamples[o][k] = otherSection[o][g.beside ? 1 : 0];
            }
            std::vector<long long> mains;
            if (m_ld.HasMain()) {
                // The tables of the governing side, sign and direction, as the search had them.
                const int n = m_ld.m_nSteps;
                Correlate(m_ld.m_mainLoads, m_ld.m_mainOffsets, right, m_plan.mainShift[g.dir],
                          m_main[g.dir]);
                for (int k = 0; k <= n; ++k)
                    m_effect[k] = sign ? m_main[g.dir][k] : -m_main[g.dir][k];
                BuildBestTables(m_effect.data(), n, m_ld.m_stepsMain, m_upTo.data(), m_from.data());
                MainSteps(g.step, right, mains);
            }
            std::string where = right ? "→" : "←";
            if (m_ld.HasHeavy())
                where += FormatString(" 重车 %.6f", m_ld.m_xStart + 0.1 * static_cast<int>(g.step));
            if (!mains.empty()) where += " 主车 " + Runs(mains);
            bool atSection = m_ld.HasHeavy() && ReadsSection(m_ld.m_heavyOffsets, g.step, right);
            for (long long s : mains)
                atSection = atSection || ReadsSection(m_ld.m_mainOffsets, s, right);
            if (atSection) where += SectionSide(m_f.SectionShift(m_request, g.beside ? -1 : 1) < 0);
            out.where[side] = where;
            for (int o = -1, k = 0; k < 3; ++k) {
                const int line = k + 1 == q ? -1 : ++o;
                double v = 0;
                if (m_ld.HasHeavy())
                    v += OnSamples(line, m_ld.m_heavyLoads, m_ld.m_heavyOffsets, g.step, right);
                for (long long s : mains)
                    v += OnSamples(line, m_ld.m_mainLoads, m_ld.m_mainOffsets, s, right);
                out.forces[side][k] = v;
            }
        }
    }

private:
    // The lane load of each extreme on the other two lines: the same regions and the same
    // concentrated load.
    void LaneConcurrent(PointConcurrent& out) {
        const LaneLineSummary& s = m_lane;
        const double qd = m_ld.m_laneUniform, pd = m_ld.LanePoint(m_request.quantity);
        for (int side = 0; side < 2; ++side) {
            const std::vector<LaneRegion>& regions = m_regions[side];
            const LaneOrdinate& at = side == 0 ? s.smallest : s.largest;
            std::string where = "均布";
            // Regions that continue each other across element ends are written as one.
            for (size_t i = 0; i < regions.size();) {
                size_t j = i;
                while (j + 1 < regions.size() && std::fabs(regions[j + 1].x0 - regions[j].x1) <=
                                                     1e-9 * (1 + std::fabs(regions[j].x1)))
                    ++j;
                where += FormatString(" %.6f~%.6f", regions[i].x0, regions[j].x1);
                i = j + 1;
            }
            if (regions.empty()) where += " 无";
            if (at.element >= 0) {
                where += FormatString("; 集中 %.6f", at.x);
                // On a section where the line jumps the concentrated load stands a hair to
                // one side of it; the side decides the shear that goes with it.
                double xs = 0;
                if (SectionAbscissa(xs) && std::fabs(at.x - xs) <= 1e-6 * (1 + std::fabs(xs)))
                    where += SectionSide(at.x < xs);
            }
            out.where[side] = where;
            for (int o = 0, k = 0; k < 3; ++k) {
                double v = 0;
                if (k + 1 == m_request.quantity) {
                    v = qd * IntegrateOver(m_cubics, regions);
                    if (at.element >= 0) v += pd * at.value;
                } else {
                    const InfluenceRequest& r = m_other[o];
                    const double* state = m_otherState[o++];
                    v = qd * IntegrateLine(regions, r, state);
                    if (at.element >= 0)
                        v += pd * m_f.ValueOnPathElement(at.element, at.t, r, state);
                }
                out.forces[side][k] = v;
            }
        }
    }

    // Integral over the regions (ordinate x m) of a line given by its request and state. On
    // each part of a region where the line is one cubic (the region, or its two sides of the
    // section) two Gauss points give it exactly, without fitting the whole line.
    double IntegrateLine(const std::vector<LaneRegion>& regions, const InfluenceRequest& r,
                         const double* state) const {
        const double g = 0.5 / std::sqrt(3.0);
        double sum = 0;
        for (const LaneRegion& region : regions) {
            const Element& el = m_f.m_elements[region.element];
            const double dx = std::fabs(m_f.m_nodes[el.jNode].x - m_f.m_nodes[el.iNode].x);
            double cuts[3] = {region.t0, region.t1, 0};
            int n = 2;
            if (region.element == r.element &&
                (r.position - region.t0) * (r.position - region.t1) < 0)
                cuts[1] = r.position, cuts[2] = region.t1, n = 3;
            for (int i = 0; i + 1 < n; ++i) {
                const double a = cuts[i], b = cuts[i + 1];
                const double v =
                    m_f.ValueOnPathElement(region.element, a + (0.5 - g) * (b - a), r, state) +
                    m_f.ValueOnPathElement(region.element, a + (0.5 + g) * (b - a), r, state);
                sum += 0.5 * v * std::fabs(b - a) * dx;
            }
        }
        return sum;
    }

    // Abscissa of the point's section when its element carries the loading path.
    bool SectionAbscissa(double& xs) const {
        const Element& el = m_f.m_elements[m_request.element];
        const double xi = m_f.m_nodes[el.iNode].x, xj = m_f.m_nodes[el.jNode].x;
        const std::vector<int>& path = m_f.m_ilElements;
        if (xi == xj || std::find(path.begin(), path.end(), m_request.element) == path.end())
            return false;
        xs = xi + m_request.position * (xj - xi);
        return true;
    }

    // Where a load standing at the section acts: on its smaller-x side or its other side.
    static std::string SectionSide(bool left) {
        return left ? "; 截面处荷载在左侧" : "; 截面处荷载在右侧";
    }

    // Whether a load of the vehicle at step k reads the sample of the section.
    bool ReadsSection(const std::vector<double>& offsets, long long k, bool right) const {
        const double x = m_ld.m_xStart + 0.1 * static_cast<int>(k);
        for (double d : offsets)
            if (m_f.SampleIndex(right ? x - d : x + d) == static_cast<double>(m_section))
                return true;
        return false;
    }

    // Steps of the main vehicles that go with the heavy vehicle at `step`, from the tables
    // of the governing sign and direction (as the placement traces them).
    void MainSteps(long long step, bool right, std::vector<long long>& out) const {
        const int n = m_ld.m_nSteps, s = std::max(1, m_ld.m_stepsMain);
        int back = 0, front = 0;
        PlacementReach(m_ld, right, back, front);
        long long f = m_ld.HasHeavy() ? step - back : n;
        if (f > n) f = -1;
        while (f >= 0) {
            if ((f == 0 ? 0.0 : m_upTo[f - 1]) >= m_upTo[f]) {
                --f;
            } else {
                out.push_back(f);
                f -= s;
            }
        }
        long long g = m_ld.HasHeavy() ? step + front : n + 1LL;
        if (g < 0) g = n + 1LL;
        while (g <= n) {
            if ((g == n ? 0.0 : m_from[g + 1]) >= m_from[g]) {
                ++g;
            } else {
                out.push_back(g);
                g += s;
            }
        }
        std::sort(out.begin(), out.end());
    }

    // Reference abscissae of main vehicles, runs of evenly spaced ones as "a~b (n)".
    std::string Runs(const std::vector<long long>& steps) const {
        std::string text;
        const long long s = std::max(1, m_ld.m_stepsMain);
        for (size_t i = 0; i < steps.size();) {
            size_t j = i;
            while (j + 1 < steps.size() && steps[j + 1] - steps[j] == s) ++j;
            const double a = m_ld.m_xStart + 0.1 * static_cast<int>(steps[i]);
            const double b = m_ld.m_xStart + 0.1 * static_cast<int>(steps[j]);
            if (!text.empty()) text += ",";
            text += j == i ? FormatString("%.6f", a)
                           : FormatString("%.6f~%.6f(%d)", a, b, static_cast<int>(j - i + 1));
            i = j + 1;
        }
        return text;
    }

    // One vehicle at step k on the searched line (line -1) or on other line `line`, read from
    // the samples as the search reads them.
    double OnSamples(int line, const std::vector<double>& loads, const std::vector<double>& offsets,
                     long long k, bool right) {
        const double x = m_ld.m_xStart + 0.1 * static_cast<int>(k);
        const long long last = m_f.m_ilSampleCount;
        double v = 0;
        for (size_t j = 0; j < loads.size(); ++j) {
            const double idx = m_f.SampleIndex(right ? x - offsets[j] : x + offsets[j]);
            if (!(idx >= 0 && idx <= last)) continue;
            const long long i = static_cast<long long>(idx);
            v += loads[j] * (line < 0 ? m_samples[static_cast<size_t>(i)] : OtherSample(line, i));
        }
        return v;
    }

    // Sample i of the other line o, computed when first read.
    double OtherSample(int o, long long i) {
        double& v = m_otherSamples[o][static_cast<size_t>(i)];
        if (std::isnan(v)) {
            const int f = m_plan.sampleElement[static_cast<size_t>(i)];
            v = f < 0 ? 0.0
                      : m_f.ValueOnPathElement(f, m_plan.sampleT[static_cast<size_t>(i)],
                                               m_other[o], m_otherState[o]);
        }
        return v;
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
    // With dir and step not null they receive the governing direction (0 rightward) and
    // heavy-vehicle step (-1: a train without a heavy vehicle); the first of equal wins.
    double Best(bool sign, int* dir = nullptr, long long* step = nullptr) {
        const int n = m_ld.m_nSteps;
        double best = 0;
        bool first = true;
        auto take = [&](double v, int d, long long k) {
            if (!first && !(v > best)) return;
            best = v;
            first = false;
            if (dir) *dir = d;
            if (step) *step = k;
        };
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
                    take(v, d, k);
                }
            } else if (m_ld.HasMain()) {
                // A train without a heavy vehicle: its best arrangement over the whole path.
                take(m_upTo[n], d, -1);
            }
        }
        return best;
    }

    const CPlaneFrame& m_f;
    const CLiveLoad& m_ld;
    const SearchPlan& m_plan;
    InfluenceRequest m_request;
    Governing m_governing[2];           // of the last Evaluate's maximum and minimum
    long long m_section = -1;           // the section's sample, -1 none (as SectionSample gives it)
    double m_sectionValue[2] = {0, 0};  // its value at the section, just before it
    InfluenceRequest m_other[2];        // the other two quantities at the same point
    const double* m_otherState[2] = {nullptr, nullptr};
    std::vector<double> m_otherSamples[2];
    const double* m_xis;
    // The states of up to m_batchPoints points of one element, three quantities each (N, Q,
    // M of a point in a row), solved together; the batch now held and its solver's scratch.
    int m_batchPoints, m_batchElement = -1, m_batchFirst = 0, m_batchCount = 0;
    std::vector<double> m_states, m_scratch;
    const double* m_state = nullptr;  // the searched quantity's, in m_states
    std::vector<PieceCubic> m_cubics;
    LaneLineSummary m_lane;                // of the last Evaluate of a lane load
    std::vector<LaneRegion> m_regions[2];  // its regions: [0] negative (the maximum), [1] positive
    std::vector<double> m_samples, m_heavy[2], m_main[2], m_effect, m_upTo, m_from;
};

}  // namespace

bool CPlaneFrame::ComputeEnvelope(int type, int quantity, std::vector<double>* concurrentOut) {
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
    load.m_userTrainFile = UserTrainPath(m_userTrainFile, m_baseName);
    if (!load.BuildLiveLoad(type, m_ilXMin, m_ilXMax, DesignSpan())) return false;
    if (!ComputeDesignFactors(type, m_designFactors)) return false;

    // Every buffer of the search is sized before anything is computed or written.
    const int nWorkers = std::max(1, std::min(m_envelopeWorkers, m_nElements));
    // A worker solves the three lines (the quantity and the two that go with it) of several
    // points of an element together, holding their states and the solver's interleaved copy,
    // as many points as fit in a few megabytes; and it has its sweeps. Each point keeps its
    // concurrent forces and two short texts.
    const int batchPoints = static_cast<int>(
        std::clamp(4e6 / (48.0 * std::max(m_nDof, 1)), 1.0, static_cast<double>(kPoints)));
    const double perWorker = 8.0 * (6.0 * batchPoints * m_nDof + 3.0 * m_ilSampleCount +
                                    8.0 * (load.m_nSteps + 1.0));
    double xis[kPoints];
    for (int j = 0; j < kPoints; ++j) xis[j] = j / 10.0;
    SearchPlan plan;
    std::vector<std::unique_ptr<CEnvelopeWorker>> workers;
    std::vector<double> maxima, minima;
    std::vector<PointConcurrent> concurrent;
    bool ok = FitsInMemory(perWorker * nWorkers + 16.0 * m_ilSampleCount +
                           (176.0 + 11 * 400.0 + 280.0) * m_nElements +
                           16.0 * (load.m_nHeavyAxles + load.m_nMainAxles));
    if (ok) {
        try {
            plan.sampleElement.assign(static_cast<size_t>(m_ilSampleCount) + 1, -1);
            plan.sampleT.assign(static_cast<size_t>(m_ilSampleCount) + 1, 0.0);
            if (load.IsLane()) {
                PathPieces(plan.pieces);
                PathPieceWeights(plan.pieces, plan.weights);
            }
            for (int d = 0; d < 2; ++d) {
                plan.heavyShift[d] = Shifts(*this, load, load.m_heavyOffsets, d == 0);
                plan.mainShift[d] = Shifts(*this, load, load.m_mainOffsets, d == 0);
            }
            for (int w = 0; w < nWorkers; ++w)
                workers.push_back(
                    std::make_unique<CEnvelopeWorker>(*this, load, plan, quantity, xis, batchPoints));
            concurrent.resize(static_cast<size_t>(m_nElements) * kPoints);
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
    CTextOut con;
    const std::string conPath = ConcurrentTextPath(type, quantity);
    if (!bin.Open(binPath)) {
        ShowMessage(FormatString("错误：无法写入文件%s!", binPath.c_str()));
        return false;
    }
    if (!txt.Open(txtPath)) {
        ShowMessage(FormatString("错误：无法写入文件%s!", txtPath.c_str()));
        return false;
    }
    if (!con.Open(conPath)) {
        ShowMessage(FormatString("错误：无法写入文件%s!", conPath.c_str()));
        return false;
    }

    std::atomic<int> next{0}, done{0};
    auto run = [&](CEnvelopeWorker& w, bool report) {
        int lastPercent = -1;
        // A stop request (m_keepRunning 0) ends every worker after its present element.
        for (int e = next++; e < m_nElements && m_keepRunning != 0; e = next++) {
            for (int j = 0; j < kPoints; ++j) {
                const size_t at = static_cast<size_t>(e) * kPoints + j;
                w.Evaluate(e, j, maxima[at], minima[at]);
                w.Concurrent(concurrent[at]);
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
    // Stopped: the files being written are discarded, the old ones stay.
    if (m_keepRunning == 0) return false;

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
    WriteExtremeRecord(bin, {maxElement, maxXi * m_elements[maxElement].length, maxValue,
                             minElement, minXi * m_elements[minElement].length, minValue});
    // The companion file: the forces that go with each extreme and where the loads stand.
    con.Printf("%s%s", kConcurrentWords[quantity], LiveLoadDialogName(type));
    if (IsDesignLoadType(type)) con.Printf("\n%s", DescribeFactors(m_designFactors).c_str());
    con.Printf(
        "\n\n单元       位置  极值             轴力            剪力            弯矩  荷载位置");
    for (int e = 0; e < m_nElements; ++e) {
        con.Printf("\n\n%5d", e + 1);
        for (int j = 0; j < kPoints; ++j) {
            const PointConcurrent& c = concurrent[static_cast<size_t>(e) * kPoints + j];
            for (int side = 0; side < 2; ++side) {
                if (side == 0)
                    con.Printf("\n%15.6lf  最大", xis[j]);
                else
                    con.Printf("\n%15s  最小", "");
                // (+ 0.0 writes a zero without its sign.)
                for (int k = 0; k < 3; ++k) con.Printf(" %15.6e", factor * c.forces[side][k] + 0.0);
                con.Printf("  %s", c.where[side].c_str());
            }
        }
    }
    if (concurrentOut) {
        // The values the companion file rounds, for a caller that combines them further.
        std::vector<double>& out = *concurrentOut;
        out.assign(concurrent.size() * 6, 0.0);
        for (size_t at = 0; at < concurrent.size(); ++at)
            for (int side = 0; side < 2; ++side)
                for (int k = 0; k < 3; ++k)
                    out[at * 6 + 3 * side + k] = factor * concurrent[at].forces[side][k];
    }
    const bool conWritten = con.Close();
    const bool binWritten = bin.Close(), txtWritten = txt.Close() && conWritten;

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
            FormatString("错误：无法写入文件%s!",
                         (binWritten ? (conWritten ? txtPath : conPath) : binPath).c_str()));
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
    ShowStatus(!ok && m_keepRunning == 0 ? word + "计算已取消" : "");
    return ok;
}
