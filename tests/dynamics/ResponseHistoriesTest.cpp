// Histories derived from B.tim: accelerations against a closed-form single-mode solution and
// the differences of a fine velocity history, internal forces against a static analysis of
// the displaced structure.
#include <cmath>
#include <sstream>

#include "DynamicsModels.h"
#include "DynamicsRun.h"

namespace {

class ResponseHistoriesTest : public ScratchDirTest {};

std::vector<std::vector<double>> NumberLines(const std::string& text) {
    std::vector<std::vector<double>> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::vector<double> v;
        for (double x; fields >> x;) v.push_back(x);
        out.push_back(v);
    }
    return out;
}

// Every record's accelerations, from the engine's run.
std::vector<std::vector<double>> Accelerations(const CPlaneFrame& frame, long long count) {
    std::vector<std::vector<double>> out;
    const bool ok = VisitAccelerations(frame, count, [&](long long, double, const double* a) {
        out.emplace_back(a, a + frame.m_nDof);
        return true;
    });
    EXPECT_TRUE(ok);
    return out;
}

}  // namespace

TEST_F(ResponseHistoriesTest, AccelerationOfASingleModeMatchesTheClosedForm) {
    // A 10 m bar fixed at node 1, node 2 held in y and rotation: one free equation (x of
    // node 2) with k = EA/L and the consistent axial mass m = (w / 9.8) L / 3.
    const std::string model =
        "2 1 0 1 1 0 2 0\n1 0 0 0 0\n2 10 0 0 0\n1 2e11 1e-5\n1 0.01 1e-4 78000 0 0.5 0.5\n"
        "1 1 2 1 1 1 0\n1 111 0 0 0\n2 11 0 0 0\n";
    auto frame = Load(model, true);
    ASSERT_TRUE(frame) << LastMessage();
    const double k = 2e11 * 0.01 / 10, m = 780.0 / 9.8 * 10 / 3, P = 1e5;
    const double omega = std::sqrt(k / m);
    for (const double zeta : {0.0, 0.05}) {
        // A step load P from t = 0 and mass-proportional damping 2 zeta omega.
        WriteFile(kDynamicLoadFile, FormatString("%.17g 0\n0.05 0.001\n0 1 0\n2 1 %g 0 0 0 0\n0\n",
                                                 2 * zeta * omega, P));
        ASSERT_TRUE(frame->DynamicResponse()) << LastMessage();
        const auto rec = ReadResponse(*frame);
        ASSERT_EQ(rec.size(), 51u);
        const auto acc = Accelerations(*frame, 51);
        ASSERT_EQ(acc.size(), 51u);
        const int e = frame->m_dofNum[1][0];
        const double wd = omega * std::sqrt(1 - zeta * zeta);
        for (size_t i = 0; i < rec.size(); ++i) {
            const double t = rec[i].t, decay = std::exp(-zeta * omega * t);
            const double u =
                P / k * (1 - decay * (std::cos(wd * t) + zeta * omega / wd * std::sin(wd * t)));
            const double a = P / k * omega * omega / wd * decay *
                             (wd * std::cos(wd * t) - zeta * omega * std::sin(wd * t));
            EXPECT_NEAR(rec[i].d[e], u, 1e-9 * P / k) << "zeta " << zeta << ", t " << t;
            EXPECT_NEAR(acc[i][e], a, 1e-8 * P / m) << "zeta " << zeta << ", t " << t;
        }
        // The extracted file holds the same values, one line per record.
        ASSERT_EQ(ExtractAcceleration(*frame, 2, 0), ExtractResult::kWritten);
        const auto lines = NumberLines(ReadFile("m_节点2自由度1_加速度.txt"));
        ASSERT_EQ(lines.size(), 51u);
        for (size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(lines[i].size(), 2u);
            EXPECT_NEAR(lines[i][1], acc[i][e], 1e-6 * std::fabs(acc[i][e]) + 1e-300);
        }
    }
}

TEST_F(ResponseHistoriesTest, AccelerationMatchesDifferencesOfAFineVelocityHistory) {
    // A damped simply supported beam under a harmonic force at mid-span while its right support
    // moves harmonically; the central differences of the velocities at a fine step are the
    // independent reference (their error is about (omega dt)^2 / 6 of the modes that carry the
    // motion).
    BeamData b;
    auto frame = Load(BeamModel(b), true);
    ASSERT_TRUE(frame) << LastMessage();
    const double dt = 1e-4;
    WriteFile(kDynamicLoadFile, FormatString("0.5 1e-4\n0.3 %g\n0 1 1\n5 2 -1e5 1 50 0 0\n"
                                             "9 2 0.002 1 30 0\n0\n",
                                             dt));
    ASSERT_TRUE(frame->DynamicResponse()) << LastMessage();
    const auto rec = ReadResponse(*frame);
    ASSERT_EQ(rec.size(), 3001u);
    const auto acc = Accelerations(*frame, 3001);
    ASSERT_EQ(acc.size(), rec.size());
    // Vertical at mid-span, rotation at the left end, vertical at the moving support.
    for (const int e : {frame->m_dofNum[4][1], frame->m_dofNum[0][2], frame->m_dofNum[8][1]}) {
        double peak = 0, err = 0;
        // After the first 20 ms, when the heavily damped stiff modes have died away.
        for (size_t i = 200; i + 1 < rec.size(); ++i) {
            const double difference = (rec[i + 1].v[e] - rec[i - 1].v[e]) / (2 * dt);
            peak = std::max(peak, std::fabs(difference));
            err = std::max(err, std::fabs(acc[i][e] - difference));
        }
        EXPECT_GT(peak, 1.0) << "equation " << e;
        EXPECT_LE(err, 5e-3 * peak) << "equation " << e << ", peak " << peak;
    }
    // The moving support's acceleration is its motion's.
    const int s = frame->m_dofNum[8][1];
    for (size_t i = 0; i < rec.size(); i += 100)
        EXPECT_NEAR(acc[i][s], -900 * 0.002 * std::sin(30 * rec[i].t), 1e-12);
}

TEST_F(ResponseHistoriesTest, ForceHistoryMatchesAStaticAnalysisOfTheDisplacedState) {
    BeamData b;
    b.loadingPath = true;
    b.elements = 6;
    auto frame = Load(BeamModel(b), true);
    ASSERT_TRUE(frame) << LastMessage();
    WriteFile(kDynamicLoadFile, "0.5 2e-4\n1 0.01\n1 0 0\n0 20 -1e5 0 0 0 0\n0\n");
    ASSERT_TRUE(frame->DynamicResponse()) << LastMessage();
    const auto rec = ReadResponse(*frame);
    ASSERT_EQ(rec.size(), 101u);
    // The sample step: the largest mid-span deflection.
    const int mid = frame->m_dofNum[3][1];
    size_t k = 0;
    for (size_t i = 0; i < rec.size(); ++i)
        if (std::fabs(rec[i].d[mid]) > std::fabs(rec[k].d[mid])) k = i;
    ASSERT_GT(k, 0u);

    // The same beam with every node held at its displacement of that step, and no load.
    const int nodes = b.elements + 1;
    std::string model = FormatString("%d %d 0 1 1 1 %d 0\n", nodes, b.elements, nodes);
    for (int n = 0; n < nodes; ++n)
        model += FormatString("%d %.17g 0 0 0\n", n + 1, b.length * n / b.elements);
    model += FormatString("1 %.17g 1e-5\n1 %.17g %.17g %.17g 0 0.5 0.5\n", b.E, b.A, b.I,
                          b.weight / b.A);
    for (int e = 1; e <= b.elements; ++e) model += FormatString("%d %d %d 1 1 1 0\n", e, e, e + 1);
    for (int n = 0; n < nodes; ++n) {
        const auto& g = frame->m_dofNum[n];
        model += FormatString("%d 111 %.17g %.17g %.17g\n", n + 1, rec[k].d[g[0]], rec[k].d[g[1]],
                              rec[k].d[g[2]]);
    }
    model += "0\n0\n";
    auto stat = Load(model, true, "s");
    ASSERT_TRUE(stat) << LastMessage();
    // B_工况_1.out: a line with the element number, then 11 lines position N Q M.
    const auto caseLines = NumberLines(ReadFile("s_工况_1.out"));
    auto staticForces = [&](int element) {
        for (size_t i = 0; i + 11 < caseLines.size(); ++i)
            if (caseLines[i].size() == 1 && caseLines[i][0] == element)
                return std::vector<std::vector<double>>(caseLines.begin() + i + 1,
                                                        caseLines.begin() + i + 12);
        return std::vector<std::vector<double>>();
    };
    double peakM = 0;
    for (int element : {1, 3, 4}) {
        const auto expected = staticForces(element);
        ASSERT_EQ(expected.size(), 11u) << element;
        for (int point : {1, 4, 6, 11}) {
            ASSERT_EQ(ExtractForces(*frame, element, point), ExtractResult::kWritten);
            const auto lines =
                NumberLines(ReadFile(FormatString("m_单元%d点%d_内力响应.txt", element, point)));
            ASSERT_EQ(lines.size(), rec.size());
            const auto& got = lines[k];
            const auto& want = expected[static_cast<size_t>(point - 1)];
            ASSERT_EQ(got.size(), 4u);
            ASSERT_EQ(want.size(), 4u);
            EXPECT_NEAR(got[0], rec[k].t, 1e-12);
            EXPECT_NEAR(want[0], (point - 1) / 10.0, 1e-9);
            for (int q = 1; q <= 3; ++q)
                EXPECT_NEAR(got[q], want[q], 1e-5 * std::fabs(want[q]) + 1e-6)
                    << "element " << element << " point " << point << " quantity " << q;
            peakM = std::max(peakM, std::fabs(want[3]));
        }
    }
    EXPECT_GT(peakM, 1e3);
    EXPECT_EQ(ExtractForces(*frame, 7, 1), ExtractResult::kBadNode);
    EXPECT_EQ(ExtractForces(*frame, 1, 12), ExtractResult::kBadNode);
}
