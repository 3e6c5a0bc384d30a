// Worst placement: the written data file analysed again gives the reported value, the
// placement agrees with the envelope, and the influence-line listing.
#include <cmath>
#include <filesystem>

#include "TestSupport.h"
#include "liveload/Envelope.h"
#include "liveload/LiveLoad.h"
#include "liveload/LiveLoadPlacement.h"
#include "liveload/Models.h"
#include "platform/Format.h"

namespace {

class PlacementTest : public ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        // Sections: moment and shear at x = 8.25 (off the 0.1 grid, so no load sits on
        // the shear section), moment over the middle support, moment at mid-element.
        f = Load(ContinuousBeam({12, 16}, 5, {"4 0.4375 3", "4 0.4375 2", "6 0 3", "4 0.5 3"}),
                 true);
        ASSERT_TRUE(f) << LastMessage();
    }

    // Analyses the placement file as a data file of its own and returns the quantity of
    // line `line` at its section in that file's single load case.
    double Reanalyse(int line) {
        const std::string text = ReadFile("m_活载.fem");
        auto g = Load(text, true, "check");
        EXPECT_TRUE(g) << LastMessage();
        if (!g) return NAN;
        EXPECT_EQ(g->m_nElements, f->m_nElements);
        const InfluenceRequest& r = f->m_ilRequests[line];
        double v[3];
        const double x = r.position * g->m_elements[r.element].length;
        g->ForcesAt(r.element, 0, x, g->EndForces(r.element, 0), v[0], v[1], v[2]);
        return v[r.quantity - 1];
    }

    std::unique_ptr<CPlaneFrame> f;
};

}  // namespace

TEST_F(PlacementTest, AnalysingThePlacementFileGivesTheReportedValue) {
    WriteFile("user_hz.txt", "0\n2\n-20000 -30000\n0 2.5\n0 0 4\n");
    for (int line : {0, 1, 2}) {
        for (int entry : {1, 2, 3, 6, 12, 17, 19, 20, 22, 26, 27, 30, 31, 34}) {
            CLiveLoad ld;
            LiveLoadPlacement p;
            ASSERT_TRUE(f->PlaceLiveLoad(line, entry, ld, p)) << LastMessage();
            // A train without a heavy vehicle places nothing where no vehicle helps.
            EXPECT_TRUE(!p.placements.empty() || (entry >= 31 && p.total == 0)) << entry;
            const std::string text = ReadFile("m_活载.fem");
            // One load line per placed load on the path, each with its abscissa.
            size_t lines = 0;
            for (size_t at = text.find("x坐标"); at != std::string::npos;
                 at = text.find("x坐标", at + 1))
                ++lines;
            EXPECT_EQ(static_cast<int>(lines), p.placeCount);
            EXPECT_NE(text.find(FormatString("\n单元荷载个数:\n%d\n", p.placeCount)),
                      std::string::npos);
            const double value = Reanalyse(line);
            // Distances are written with six decimals.
            EXPECT_NEAR(value, p.total, 1e-6 * std::fabs(p.total) + 1e-3)
                << "line " << line << " entry " << entry;
            const LiveLoadEntry& e = LiveLoadListEntry(entry);
            EXPECT_TRUE(e.sign ? p.total >= 0 : p.total <= 0) << entry;
        }
    }
}

TEST_F(PlacementTest, BestPlacementsAgreeWithTheEnvelopeAtItsPoints) {
    // Line 2 is element 6 at position 0 and line 3 element 4 at 0.5: points of the
    // envelope, where the sampled and the direct line coincide on the 0.1 grid.
    for (int type : {1, 2, 3, 4, 9}) {
        ASSERT_TRUE(f->ComputeEnvelope(type, 3));
        EnvelopeData d;
        ASSERT_TRUE(f->ReadEnvelope(type, 3, d));
        const int first = type == 9 ? 27 : 3 + 4 * (type - 1);
        for (int line : {2, 3}) {
            double totals[4];
            for (int k = 0; k < 4; ++k) {
                CLiveLoad ld;
                LiveLoadPlacement p;
                ASSERT_TRUE(f->PlaceLiveLoad(line, first + k, ld, p));
                totals[k] = p.total;
            }
            const int at = line == 2 ? 11 * 5 : 11 * 3 + 5;
            const double scale = std::fabs(d.maxima[at]) + std::fabs(d.minima[at]);
            EXPECT_NEAR(std::max(totals[0], totals[1]), d.maxima[at], 1e-9 * scale) << type;
            EXPECT_NEAR(std::min(totals[2], totals[3]), d.minima[at], 1e-9 * scale) << type;
        }
    }
}

namespace {

// A 30 m span with a 3 m overhang: a steel section, one tapered member, sections at grid
// points where the shear line jumps (over the support, at the free tip, inside the taper).
const char* const kOverhang =
    "18 17 0 1 2 0 2 17\n"
    "1 0 0 0 0\n16 30 0 0 1\n17 31.5 0\n18 33 0\n"
    "1 2.06e11\n1 0.0123456 1.234567e-5 0 0 0.2 0.2\n2 0.0234567 2.345678e-5 0 0 0.3 0.3\n"
    "1 1 2 1 1 1\n2 2 3 1 1 1\n3 3 4 1 1 1\n4 4 5 1 1 1\n5 5 6 1 2 1\n6 6 7 1 1 1\n7 7 8 1 1 1\n8 8 9 1 1 1\n9 9 10 1 1 1\n10 10 11 1 1 1\n11 11 12 1 1 1\n12 12 13 1 1 1\n13 13 14 1 1 1\n14 14 15 1 1 1\n15 15 16 1 1 1\n16 16 17 1 1 1\n17 17 18 1 1 1\n"
    "1 110\n16 010\n"
    "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n"
    "6\n8 0.5 3\n15 1.0 2\n17 1.0 2\n5 0.3 2\n16 0 3\n16 0.2 2\n";

}  // namespace

TEST_F(PlacementTest, EveryTypeAndEntryAgreesWithTheEnvelopeAndTheReanalysis) {
    auto o = Load(kOverhang, true, "o");
    ASSERT_TRUE(o) << LastMessage();
    for (int type = 0; type <= 9; ++type) {
        EnvelopeData d[4];
        for (int q : {2, 3}) {
            ASSERT_TRUE(o->ComputeEnvelope(type, q)) << LastMessage();
            ASSERT_TRUE(o->ReadEnvelope(type, q, d[q]));
        }
        for (int line = 0; line < o->m_nIlLines; ++line) {
            const InfluenceRequest& r = o->m_ilRequests[line];
            double largest = -1e300, smallest = 1e300;
            for (int entry = 1; entry <= 30; ++entry) {
                const LiveLoadEntry& e = LiveLoadListEntry(entry);
                if (e.type != type) continue;
                CLiveLoad ld;
                LiveLoadPlacement p;
                ASSERT_TRUE(o->PlaceLiveLoad(line, entry, ld, p)) << LastMessage();
                (e.sign ? largest : smallest) =
                    e.sign ? std::max(largest, p.total) : std::min(smallest, p.total);
                // The written file, analysed again, gives the reported value.
                auto g = Load(ReadFile("o_活载.fem"), true, "check");
                ASSERT_TRUE(g) << LastMessage();
                double v[3];
                const double x = r.position * g->m_elements[r.element].length;
                g->ForcesAt(r.element, 0, x, g->EndForces(r.element, 0), v[0], v[1], v[2]);
                EXPECT_NEAR(v[r.quantity - 1], p.total, 1e-6 * std::fabs(p.total) + 1e-6)
                    << "line " << line << " entry " << entry;
            }
            const int at = 11 * r.element + static_cast<int>(std::lround(10 * r.position));
            const EnvelopeData& env = d[r.quantity];
            EXPECT_NEAR(largest, env.maxima[at], 1e-9 * std::fabs(env.maxima[at]) + 1e-9)
                << "type " << type << " line " << line;
            EXPECT_NEAR(smallest, env.minima[at], 1e-9 * std::fabs(env.minima[at]) + 1e-9)
                << "type " << type << " line " << line;
        }
    }
}

TEST_F(PlacementTest, OverhangShearEnvelopeAgainstBruteForce) {
    // On an overhang the shear line is a step: a unit for every load between the section and
    // the free end (-1 beyond a section on the right overhang, +1 before one on the left) and
    // 0 elsewhere. The worst trailer has the most axles in that stretch, an axle standing at
    // the section or at the free end included.
    const std::string left = "18 17 0 1 1 0 2 17\n1 0 0\n2 1.5 0\n3 3 0 0 0\n18 33 0 0 1\n"
                             "1 2.06e11\n1 0.0123456 1.234567e-5 0 0 0.2 0.2\n"
                             "ELEMENTS3 110\n18 010\n"
                             "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n1\n1 0.5 2\n";
    const std::string elements = "1 1 2 1 1 1\n2 2 3 1 1 1\n3 3 4 1 1 1\n4 4 5 1 1 1\n5 5 6 1 1 1\n6 6 7 1 1 1\n7 7 8 1 1 1\n8 8 9 1 1 1\n9 9 10 1 1 1\n10 10 11 1 1 1\n11 11 12 1 1 1\n12 12 13 1 1 1\n13 13 14 1 1 1\n14 14 15 1 1 1\n15 15 16 1 1 1\n16 16 17 1 1 1\n17 17 18 1 1 1\n";
    for (int side = 0; side < 2; ++side) {
        std::string model = side == 0 ? std::string(kOverhang) : left;
        if (side == 1) model.replace(model.find("ELEMENTS"), 8, elements);
        auto o = Load(model, true, "o");
        ASSERT_TRUE(o) << LastMessage();
        for (int type : {6, 7, 8}) {
            EnvelopeData d;
            ASSERT_TRUE(o->ComputeEnvelope(type, 2)) << LastMessage();
            ASSERT_TRUE(o->ReadEnvelope(type, 2, d));
            CLiveLoad ld;
            ASSERT_TRUE(ld.BuildLiveLoad(type, o->m_ilXMin, o->m_ilXMax));
            for (int e : side == 0 ? std::vector<int>{15, 16} : std::vector<int>{0, 1}) {
                for (int j = 0; j <= 10; j += 2) {
                    // The section in tenths of a metre, on the grid at even points.
                    const long long xs = (side == 0 ? 300 + 15 * (e - 15) : 15 * e) + 15 * j / 10;
                    if ((side == 0 && xs == 300) || (side == 1 && xs == 30)) continue;
                    const long long lo = side == 0 ? xs : 0, hi = side == 0 ? 330 : xs;
                    int most = 0;
                    for (long long k = -100; k <= 500; ++k) {
                        int count = 0;
                        for (long long off : {0, 12, 52, 64}) count += k - off >= lo && k - off <= hi;
                        most = std::max(most, count);
                    }
                    const double expected = -ld.m_heavyLoads[0] * most;
                    const double worst = side == 0 ? d.maxima[11 * e + j] : -d.minima[11 * e + j];
                    const double other = side == 0 ? d.minima[11 * e + j] : d.maxima[11 * e + j];
                    EXPECT_NEAR(worst, expected, 1e-6 * expected)
                        << "type " << type << " x " << xs / 10.0 << " side " << side;
                    EXPECT_NEAR(other, 0, 1e-6 * expected) << "type " << type;
                }
            }
        }
    }
}

TEST_F(PlacementTest, EachEngineBuildsFromItsOwnModelCopy) {
    // Whatever becomes of the model copy on disk (here another model's copy written over
    // it), the engine's placement must still describe the first structure.
    auto other = Load(ContinuousBeam({5}, 2, {"1 0.5 3"}), true, "other");
    ASSERT_TRUE(other);
    WriteFile("m_huozai.txt", other->m_hzText);
    other.reset();  // closing it deletes its own copy
    EXPECT_FALSE(Exists("other_huozai.txt"));
    CLiveLoad ld;
    LiveLoadPlacement p;
    ASSERT_TRUE(f->PlaceLiveLoad(0, 11, ld, p)) << LastMessage();
    EXPECT_NEAR(Reanalyse(0), p.total, 1e-6 * std::fabs(p.total));
}

TEST_F(PlacementTest, NoLiveLoadWritesNothing) {
    CLiveLoad ld;
    LiveLoadPlacement p;
    EXPECT_FALSE(f->PlaceLiveLoad(0, 0, ld, p));
    EXPECT_TRUE(p.placements.empty());
    EXPECT_FALSE(Exists("m_活载.fem"));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(f->PlaceLiveLoad(0, 31, ld, p));  // no user_hz.txt
    EXPECT_EQ(LastMessage(), "打开用户荷载定义文件user_hz.txt时出错!");
    EXPECT_FALSE(Exists("m_活载.fem"));
}

TEST_F(PlacementTest, InfluenceLineListing) {
    ASSERT_TRUE(f->WriteInfluenceListing(1)) << LastMessage();
    const std::string text = ReadFile("m_影响线数据2.out");
    const std::string head = "\n第2条影响线：\n\n单元：    4   位置：    0.437500   性质：剪力\n";
    ASSERT_EQ(text.substr(0, head.size()), head);
    // Every 0.1 from the start of the path to its end (28 m).
    const long lines = std::count(text.begin(), text.end(), '\n');
    EXPECT_EQ(lines, 4 + 281);
    EXPECT_NE(text.find("\n     28.000000 "), std::string::npos);
    double x = 0, v = 0;
    ASSERT_EQ(std::sscanf(text.c_str() + head.size() + 1 + 10 * 36, "%lf %lf", &x, &v), 2);
    EXPECT_NEAR(x, 1.0, 1e-6);
    EXPECT_NEAR(v, f->InfluenceValue(1.0, 1), 1e-6 * std::fabs(v));
    EXPECT_NE(text.find("      1.000000 "), std::string::npos);
    EXPECT_FALSE(f->WriteInfluenceListing(4));
    EXPECT_EQ(LastMessage(), "影响线序号错误！");
}

TEST_F(PlacementTest, UserTrainIsLookedForBesideTheDataFileAndAFailureLeavesNoPlacement) {
    std::filesystem::create_directory(Path("sub"));
    auto g = Load(ContinuousBeam({12, 16}, 5, {"4 0.4375 3"}), true, "sub/m");
    ASSERT_TRUE(g) << LastMessage();
    CLiveLoad ld;
    LiveLoadPlacement p;
    ASSERT_TRUE(g->PlaceLiveLoad(0, 3, ld, p)) << LastMessage();
    ASSERT_TRUE(Exists("sub/m_活载.fem"));
    // No user train anywhere: the placement fails and the earlier file does not stay.
    CLiveLoad user;
    EXPECT_FALSE(g->PlaceLiveLoad(0, 31, user, p));
    EXPECT_EQ(LastMessage(), "打开用户荷载定义文件user_hz.txt时出错!");
    EXPECT_EQ(host.details.back(), kUserTrainFile);
    EXPECT_FALSE(Exists("sub/m_活载.fem"));
    // One in the working directory and one beside the data file: the data file's is used.
    WriteFile("user_hz.txt", "1\n-1000\n0\n1\n-300\n0\n0.5 0.5 1.2\n");
    WriteFile("sub/user_hz.txt", "1\n-3000\n0\n1\n-300\n0\n0.5 0.5 1.2\n");
    ASSERT_TRUE(g->PlaceLiveLoad(0, 31, user, p)) << LastMessage();
    ASSERT_EQ(user.m_heavyLoads.size(), 1u);
    EXPECT_EQ(user.m_heavyLoads[0], -3000);
    EXPECT_TRUE(Exists("sub/m_活载.fem"));
    // A file the user names wins over both.
    WriteFile("named.txt", "1\n-7000\n0\n1\n-300\n0\n0.5 0.5 1.2\n");
    g->m_userTrainFile = Path("named.txt");
    CLiveLoad named;
    ASSERT_TRUE(g->PlaceLiveLoad(0, 31, named, p)) << LastMessage();
    EXPECT_EQ(named.m_heavyLoads[0], -7000);
}
