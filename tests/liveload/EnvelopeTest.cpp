// The envelope search against brute force, the straightforward evaluation through
// InfluenceValue, closed sums for the crowd load, and its files.
#include <cmath>

#include "TestSupport.h"
#include "liveload/Envelope.h"
#include "liveload/LiveLoad.h"
#include "liveload/Models.h"

namespace {

class EnvelopeTest : public ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        // Spans of 12 and 16 m in five elements each: elements of two lengths.
        f = Load(ContinuousBeam({12, 16}, 5, {}), true);
        ASSERT_TRUE(f) << LastMessage();
    }

    // Points 0, 0.1 ... 1 as the search takes them.
    static std::vector<double> Points() {
        std::vector<double> p;
        for (int j = 0; j < 11; ++j) p.push_back(j / 10.0);
        return p;
    }

    // Makes the scratch line that of (element, xi, quantity) and samples it.
    void Scratch(int e, double xi, int q) {
        InfluenceRequest& r = f->m_ilRequests[f->m_nIlLines];
        r = InfluenceRequest{};
        r.element = e, r.position = xi, r.quantity = q;
        f->ComputeInfluenceLine(f->m_nIlLines);
        f->SampleInfluenceLine();
    }

    // The search at one point as the operations of the engine define it.
    void Straightforward(const CLiveLoad& ld, bool sign, double& best) {
        const int line = f->m_nIlLines;
        bool first = true;
        for (bool right : {true, false}) {
            if (ld.HasMain()) {
                ASSERT_TRUE(f->BuildMainVehicleTables(ld, sign, right, line));
            }
            if (!ld.HasHeavy()) continue;
            for (int k = 0; k <= ld.m_nSteps; ++k) {
                const double v = f->PlacementValue(k, sign, right, ld, line);
                best = first ? v : std::max(best, v);
                first = false;
            }
        }
    }

    EnvelopeData Envelope(int type, int q) {
        EnvelopeData d;
        EXPECT_TRUE(f->ComputeEnvelope(type, q)) << LastMessage();
        EXPECT_TRUE(f->ReadEnvelope(type, q, d)) << LastMessage();
        return d;
    }

    std::unique_ptr<CPlaneFrame> f;
};

}  // namespace

TEST_F(EnvelopeTest, SingleTrailerEqualsBruteForceOverEveryPlacement) {
    CLiveLoad ld;
    ASSERT_TRUE(ld.BuildLiveLoad(7, f->m_ilXMin, f->m_ilXMax));
    for (int q : {3, 2}) {
        const EnvelopeData d = Envelope(7, q);
        const std::vector<double> points = Points();
        for (int e = 0; e < f->m_nElements; ++e) {
            for (int j = 0; j < 11; ++j) {
                Scratch(e, points[j], q);
                // An axle standing at a shear section counts just before or just after it,
                // whichever is worse.
                const Element& el = f->m_elements[e];
                const double xs = f->m_nodes[el.iNode].x + points[j] * el.length;
                const double section = f->SampleIndex(xs);
                const bool jump = q == 2 && std::fabs(f->m_ilXMin + section / 10 - xs) < 1e-9;
                const InfluenceRequest& r = f->m_ilRequests[f->m_nIlLines];
                const double* state = &f->m_ilStates[f->m_nIlLines * f->m_nDof];
                double hi = -1e300, lo = 1e300;
                for (double side : {-1e-7, 1e-7}) {
                    auto eta = [&](double x) {
                        return jump && f->SampleIndex(x) == section
                                   ? f->DirectInfluenceValue(xs + side, r, state)
                                   : f->InfluenceValue(x, f->m_nIlLines);
                    };
                    for (int k = 0; k <= ld.m_nSteps; ++k) {
                        const double x = ld.m_xStart + 0.1 * k;
                        for (int dir = 0; dir < 2; ++dir) {
                            double v = 0;
                            for (int i = 0; i < ld.m_nHeavyAxles; ++i)
                                v += ld.m_heavyLoads[i] * eta(dir == 0 ? x - ld.m_heavyOffsets[i]
                                                                       : x + ld.m_heavyOffsets[i]);
                            hi = std::max(hi, v);
                            lo = std::min(lo, v);
                        }
                    }
                }
                const double tol = jump ? 1e-6 * (std::fabs(hi) + std::fabs(lo)) : 0;
                EXPECT_NEAR(d.maxima[11 * e + j], hi, tol) << "element " << e << " point " << j;
                EXPECT_NEAR(d.minima[11 * e + j], lo, tol) << "element " << e << " point " << j;
            }
        }
    }
}

TEST_F(EnvelopeTest, SearchEqualsTheEngineOperationsBitForBit) {
    // Every model with main vehicles: the search's correlations and tables against
    // BuildMainVehicleTables and PlacementValue evaluated through InfluenceValue.
    WriteFile("user_hz.txt", "2\n-90000 -150000\n0 3.2\n2\n-40000 -60000\n0 2.35\n9 6.5 11\n");
    const std::vector<double> points = Points();
    for (int type : {0, 1, 3, 5, 9, 10}) {
        const EnvelopeData d = Envelope(type, 3);
        CLiveLoad ld;
        ASSERT_TRUE(ld.BuildLiveLoad(type, f->m_ilXMin, f->m_ilXMax));
        for (int e : {0, 4, 7}) {
            for (int j = 0; j < 11; j += type == 9 ? 5 : 1) {
                Scratch(e, points[j], 3);
                double hi = 0, lo = 0;
                Straightforward(ld, true, hi);
                Straightforward(ld, false, lo);
                EXPECT_EQ(d.maxima[11 * e + j], hi)
                    << "type " << type << " element " << e << " point " << j;
                EXPECT_EQ(d.minima[11 * e + j], -lo)
                    << "type " << type << " element " << e << " point " << j;
            }
        }
    }
}

TEST_F(EnvelopeTest, TwoWorkersWriteTheSameFilesAsOne) {
    WriteFile("user_hz.txt", "1\n-1000\n0\n1\n-300\n0\n0.5 0.5 1.2\n");
    for (int type = 0; type < kLiveLoadTypes; ++type) {
        for (int q = 1; q <= 3; ++q) {
            f->m_envelopeWorkers = 1;
            ASSERT_TRUE(f->ComputeEnvelope(type, q)) << LastMessage();
            const std::string bin =
                ReadFile("m." + std::string(1, "?zjw"[q]) + std::to_string(type));
            const std::string txt = ReadFile(f->EnvelopeTextPath(type, q).substr(m_dir.size() + 1));
            f->m_envelopeWorkers = 2;
            ASSERT_TRUE(f->ComputeEnvelope(type, q)) << LastMessage();
            EXPECT_EQ(ReadFile("m." + std::string(1, "?zjw"[q]) + std::to_string(type)), bin)
                << type << " " << q;
            EXPECT_EQ(ReadFile(f->EnvelopeTextPath(type, q).substr(m_dir.size() + 1)), txt);
            EXPECT_EQ(static_cast<long long>(bin.size()), EnvelopeFileSize(f->m_nElements));
        }
    }
}

TEST_F(EnvelopeTest, CrowdLoadIsOneKilonewtonPerMetreWhereTheLineHasTheWantedSign) {
    const EnvelopeData d = Envelope(0, 3);
    const std::vector<double> points = Points();
    for (int e = 0; e < f->m_nElements; e += 3) {
        for (int j = 0; j < 11; j += 2) {
            Scratch(e, points[j], 3);
            double hi = 0, lo = 0, scale = 0;
            for (double s : f->m_ilSamples) {
                hi += std::max(-100 * s, 0.0);
                lo += std::min(-100 * s, 0.0);
                scale += std::fabs(100 * s);
            }
            EXPECT_NEAR(d.maxima[11 * e + j], hi, 1e-12 * scale) << e << " " << j;
            EXPECT_NEAR(d.minima[11 * e + j], lo, 1e-12 * scale) << e << " " << j;
        }
    }
    // A user train of 100 N main loads without a heavy vehicle covers the same points; so
    // does one whose main vehicles have no gap at all (one step apart, not zero).
    for (const char* train : {"0\n1\n-100\n0\n0.1 0.1 0.1\n", "0\n1\n-100\n0\n0 0 0\n"}) {
        WriteFile("user_hz.txt", train);
        const EnvelopeData u = Envelope(10, 3);
        for (size_t i = 0; i < u.maxima.size(); ++i) {
            const double tol = 1e-9 * (std::fabs(d.maxima[i]) + std::fabs(d.minima[i]));
            // The crowd always places its heavy piece, so it differs only where the line
            // never has the wanted sign.
            if (d.maxima[i] > tol) {
                EXPECT_NEAR(u.maxima[i], d.maxima[i], tol) << i;
            }
            if (d.minima[i] < -tol) {
                EXPECT_NEAR(u.minima[i], d.minima[i], tol) << i;
            }
        }
    }
}

TEST_F(EnvelopeTest, FilesTrailerTiesAndLeftState) {
    // Vertical loads on a straight horizontal girder cause no axial force anywhere: every
    // value ties at zero, and the overall extremes keep the first element and point.
    const EnvelopeData n = Envelope(6, 1);
    for (size_t i = 0; i < n.maxima.size(); ++i) {
        EXPECT_EQ(n.maxima[i], 0);
        EXPECT_EQ(n.minima[i], 0);
    }
    EXPECT_EQ(n.maxElement, 0);
    EXPECT_EQ(n.minElement, 0);
    EXPECT_EQ(n.maxDistance, 0);
    EXPECT_EQ(n.minDistance, 0);

    const EnvelopeData d = Envelope(6, 2);
    double hi = d.maxima[0], lo = d.minima[0];
    int hiAt = 0, loAt = 0;
    for (size_t i = 1; i < d.maxima.size(); ++i) {
        if (d.maxima[i] > hi) hi = d.maxima[i], hiAt = static_cast<int>(i);
        if (d.minima[i] < lo) lo = d.minima[i], loAt = static_cast<int>(i);
    }
    EXPECT_EQ(d.maxValue, hi);
    EXPECT_EQ(d.minValue, lo);
    EXPECT_EQ(d.maxElement, hiAt / 11);
    EXPECT_EQ(d.minElement, loAt / 11);
    // Distances use the length of each extreme's own element (2.4 m or 3.2 m).
    EXPECT_NEAR(d.maxDistance, (hiAt % 11) * 0.1 * f->m_elements[hiAt / 11].length, 1e-12);
    EXPECT_NEAR(d.minDistance, (loAt % 11) * 0.1 * f->m_elements[loAt / 11].length, 1e-12);
    EXPECT_NE(f->m_elements[d.maxElement].length, f->m_elements[d.minElement].length);

    const std::string text = ReadFile("m_剪力包络图数据_挂车80.out");
    EXPECT_EQ(text.rfind("剪力包络图数据:   挂车—80\n\n单元       位置                 最大值", 0),
              0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 10 * (2 + 11));
    EXPECT_NE(text.find("\n\n   10\n           0.000000"), std::string::npos);

    // The search leaves the scratch line of the last point, with direct evaluation again.
    const InfluenceRequest& r = f->m_ilRequests[f->m_nIlLines];
    EXPECT_FALSE(f->m_ilSamplesReady);
    EXPECT_EQ(r.element, f->m_nElements - 1);
    EXPECT_NEAR(r.position, 1, 1e-12);
    EXPECT_EQ(r.quantity, 2);
    ASSERT_TRUE(f->ComputeEnvelope(1, 3));
    CLiveLoad ld;
    ASSERT_TRUE(ld.BuildLiveLoad(1, f->m_ilXMin, f->m_ilXMax));
    EXPECT_EQ(f->m_trainBestUpTo.size(), static_cast<size_t>(ld.m_nSteps) + 1);
    EXPECT_EQ(f->m_ilRequests[f->m_nIlLines].quantity, 3);
}

TEST_F(EnvelopeTest, FailuresAreReportedOnceWithoutCompletion) {
    EXPECT_FALSE(f->RunEnvelopeCommand(-1, 3));
    EXPECT_EQ(LastMessage(), "请先选择活载类型！");
    EXPECT_FALSE(f->RunEnvelopeCommand(10, 3));  // no user_hz.txt here
    EXPECT_EQ(LastMessage(), "打开用户荷载定义文件user_hz.txt时出错!");
    f->m_baseName = Path("no/such/folder/m");
    host.messages.clear();
    host.statuses.clear();
    EXPECT_FALSE(f->RunEnvelopeCommand(3, 3));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "错误：无法写入文件" + Path("no/such/folder/m") + ".w3!");
    EXPECT_EQ(host.statuses.front(), "弯矩包络图计算中，请等待...");
    EXPECT_EQ(host.statuses.back(), "");
    f->m_baseName = Path("m");
    host.messages.clear();
    EXPECT_TRUE(f->RunEnvelopeCommand(3, 1));
    EXPECT_EQ(host.messages, std::vector<std::string>{"轴力包络图计算完毕！"});
    EXPECT_TRUE(Exists("m.z3"));
    EXPECT_TRUE(Exists("m_轴力包络图数据_汽车20级.out"));

    // A stop request (the window's cancel button) ends the search without a message; the
    // files of the earlier run stay as they were.
    const std::string before = ReadFile("m.z3");
    f->m_keepRunning = 0;
    host.messages.clear();
    host.statuses.clear();
    EXPECT_FALSE(f->RunEnvelopeCommand(11, 1));
    EXPECT_FALSE(f->RunEnvelopeCommand(3, 1));
    f->m_keepRunning = 1;
    EXPECT_TRUE(host.messages.empty()) << LastMessage();
    EXPECT_EQ(host.statuses.back(), "轴力包络图计算已取消");
    EXPECT_FALSE(Exists("m.z11"));
    EXPECT_EQ(ReadFile("m.z3"), before);
}

TEST_F(EnvelopeTest, ElementsOffThePathGetEnvelopesToo) {
    // A portal whose beam is the path: the columns carry moments from the deck.
    auto p = Load(
        "7 6 0 1 1 0 2 4\n1 0 0\n2 0 6\n3 2.5 6\n4 5 6\n5 7.5 6\n6 10 6\n7 10 0\n"
        "1 3e10\n1 0.5 0.04 0 0 0.5 0.5\n1 1 2 1 1 1\n2 2 3 1 1 1\n3 3 4 1 1 1\n"
        "4 4 5 1 1 1\n5 5 6 1 1 1\n6 6 7 1 1 1\n1 111\n7 111\n2 3 4 5\n0\n",
        true, "portal");
    ASSERT_TRUE(p) << LastMessage();
    ASSERT_TRUE(p->ComputeEnvelope(2, 3)) << LastMessage();
    EnvelopeData d;
    ASSERT_TRUE(p->ReadEnvelope(2, 3, d));
    for (int e : {0, 5}) {
        EXPECT_GT(d.maxima[11 * e], 100) << e;  // fixed column bases
        EXPECT_LT(d.minima[11 * e], -100) << e;
    }
}
