// The companion file of an envelope: the forces that go with each extreme, checked by
// analysing the placement it names as a data file of its own.
#include <cmath>
#include <sstream>

#include "TestSupport.h"
#include "liveload/Envelope.h"
#include "liveload/LiveLoad.h"
#include "liveload/Models.h"
#include "platform/Format.h"

namespace {

class ConcurrentForcesTest : public ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        f = Load(ContinuousBeam({12, 16}, 5, {}), true);
        ASSERT_TRUE(f) << LastMessage();
    }

    // One concentrated load at abscissa x (kept when it lies on the path). A load at the
    // section xs goes a hair to the side `side` names (-1 smaller x, +1 larger, 0 none).
    void PointLoad(double x, double p, std::string& lines, int& count, double xs = NAN,
                   int side = 0) {
        if (side != 0 && std::fabs(x - xs) < 1e-7) x = xs + side * 1e-8;
        if (x < f->m_ilXMin && x > f->m_ilXMin - 1e-9) x = f->m_ilXMin;
        if (x > f->m_ilXMax && x < f->m_ilXMax + 1e-9) x = f->m_ilXMax;
        int e = 0;
        double t = 0;
        if (!f->LocateOnPath(x, e, t)) return;
        AppendFormat(lines, "\n%d 1 2 %.15g 0 %.15g 0", e + 1, t * f->m_elements[e].length, p);
        ++count;
    }

    // The uniform load q per metre of path over a ... b, element by element.
    void Uniform(double a, double b, double q, std::string& lines, int& count) {
        for (int e : f->m_ilElements) {
            const Element& el = f->m_elements[e];
            const double xi = f->m_nodes[el.iNode].x, xj = f->m_nodes[el.jNode].x;
            const double lo = std::max(a, std::min(xi, xj)), hi = std::min(b, std::max(xi, xj));
            if (!(hi > lo)) continue;
            const double ta = (lo - xi) / (xj - xi), tb = (hi - xi) / (xj - xi);
            const double w = q * std::fabs(xj - xi) / el.length;
            AppendFormat(lines, "\n%d 1 4 %.15g 0 %.15g 0", e + 1, std::max(ta, tb) * el.length, w);
            AppendFormat(lines, "\n%d 1 4 %.15g 0 %.15g 0", e + 1, std::min(ta, tb) * el.length,
                         -w);
            count += 2;
        }
    }

    // N, Q, M at point j of element e under the loads, analysed as a data file.
    std::array<double, 3> Analyse(const std::string& lines, int count, int e, int j) {
        std::string text = f->m_hzText;
        AppendFormat(text, "\n单元荷载个数:\n%d%s\n", count, lines.c_str());
        auto g = Load(text, true, "check");
        EXPECT_TRUE(g) << LastMessage();
        std::array<double, 3> v{NAN, NAN, NAN};
        if (!g) return v;
        const double x = j / 10.0 * g->m_elements[e].length;
        g->ForcesAt(e, 0, x, g->EndForces(e, 0), v[0], v[1], v[2]);
        return v;
    }

    std::unique_ptr<CPlaneFrame> f;
};

// The companion lines "最大"/"最小" of every point, in file order.
std::vector<std::string> ExtremeLines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.find("最大") != std::string::npos || line.find("最小") != std::string::npos)
            out.push_back(line);
    return out;
}

}  // namespace

TEST_F(ConcurrentForcesTest, GoverningPlacementsReproduceTheExtremeAndTheForcesBesideIt) {
    int sides[3] = {0, 0, 0};  // lines with a load at the section: left, none, right
    for (int type : {0, 3, 11, 13}) {
        CLiveLoad ld;
        ASSERT_TRUE(ld.BuildLiveLoad(type, f->m_ilXMin, f->m_ilXMax, f->DesignSpan()));
        for (int q : {3, 2}) {
            ASSERT_TRUE(f->ComputeEnvelope(type, q)) << LastMessage();
            EnvelopeData d;
            ASSERT_TRUE(f->ReadEnvelope(type, q, d));
            std::string text;
            ASSERT_TRUE(ReadWholeFile(f->ConcurrentTextPath(type, q), text));
            const std::vector<std::string> lines = ExtremeLines(text);
            ASSERT_EQ(lines.size(), 2u * 11 * f->m_nElements);
            int checked = 0;
            for (size_t k = 0; k < lines.size(); ++k) {
                const int point = static_cast<int>(k / 2), e = point / 11, j = point % 11;
                const bool isMax = k % 2 == 0;
                const double xs = f->m_nodes[f->m_elements[e].iNode].x +
                                  j / 10.0 *
                                      (f->m_nodes[f->m_elements[e].jNode].x -
                                       f->m_nodes[f->m_elements[e].iNode].x);
                const std::string& line = lines[k];
                const int side = line.find("截面处荷载在左侧") != std::string::npos   ? -1
                                 : line.find("截面处荷载在右侧") != std::string::npos ? 1
                                                                                      : 0;
                sides[side + 1] += 1;
                double forces[3];
                const size_t head = line.find(isMax ? "最大" : "最小");
                ASSERT_EQ(std::sscanf(line.c_str() + head + 6, "%lf %lf %lf", &forces[0],
                                      &forces[1], &forces[2]),
                          3)
                    << line;
                // The file gives seven digits.
                const double extreme = isMax ? d.maxima[point] : d.minima[point];
                EXPECT_NEAR(forces[q - 1], extreme, 1e-6 * std::fabs(extreme) + 1e-6) << line;
                std::string loads;
                int count = 0;
                if (type == 11) {
                    const size_t u = line.find("均布");
                    std::istringstream in(line.substr(u + 6));
                    for (std::string w; in >> w;) {
                        double a = 0, b = 0;
                        if (std::sscanf(w.c_str(), "%lf~%lf", &a, &b) == 2)
                            Uniform(a, b, ld.m_laneUniform, loads, count);
                        if (w == "集中") {
                            double x = 0;
                            in >> x;
                            PointLoad(x, ld.LanePoint(q), loads, count, xs, side);
                        }
                    }
                } else {
                    const bool right = line.find("→") != std::string::npos;
                    double x = 0;
                    ASSERT_EQ(std::sscanf(line.c_str() + line.find("重车") + 6, "%lf", &x), 1);
                    for (int a = 0; a < ld.m_nHeavyAxles; ++a)
                        PointLoad(right ? x - ld.m_heavyOffsets[a] : x + ld.m_heavyOffsets[a],
                                  ld.m_heavyLoads[a], loads, count, xs, side);
                    const size_t m = line.find("主车");
                    std::string mains = m == std::string::npos ? "" : line.substr(m + 6);
                    for (char& c : mains) c = c == ',' ? ' ' : c;
                    std::istringstream in(mains);
                    for (std::string w; in >> w;) {
                        double a = 0, b = 0;
                        int n = 1;
                        if (std::sscanf(w.c_str(), "%lf~%lf(%d)", &a, &b, &n) < 1) continue;
                        for (int v = 0; v < n; ++v) {
                            const double ref = a + v * 0.1 * ld.m_stepsMain;
                            for (int z = 0; z < ld.m_nMainAxles; ++z)
                                PointLoad(
                                    right ? ref - ld.m_mainOffsets[z] : ref + ld.m_mainOffsets[z],
                                    ld.m_mainLoads[z], loads, count, xs, side);
                        }
                    }
                }
                const std::array<double, 3> v = Analyse(loads, count, e, j);
                const double scale =
                    std::fabs(forces[0]) + std::fabs(forces[1]) + std::fabs(forces[2]) + 1;
                for (int c = 0; c < 3; ++c)
                    EXPECT_NEAR(v[c], forces[c], 1e-6 * scale)
                        << "type " << type << " q " << q << " e " << e << " j " << j << " " << line;
                ++checked;
            }
            EXPECT_GT(checked, 5);
        }
    }
    // Both sides of a jump were met and checked.
    EXPECT_GT(sides[0], 0);
    EXPECT_GT(sides[2], 0);
}
