// The built-in live-load models, their derived steps and the user train file.
#include <algorithm>
#include <numeric>

#include "TestSupport.h"
#include "liveload/LiveLoad.h"

namespace {

class LiveLoadModelTest : public ScratchDirTest {};

double Sum(const std::vector<double>& v) {
    return std::accumulate(v.begin(), v.end(), 0.0);
}

}  // namespace

// What a model must be, whatever the code that builds it: the vehicles of the loading
// classes (weights and axle counts as the classes define them), the clear distance between
// neighbouring vehicles that the step counts imply, and a sweep that starts with the whole
// train before the path and ends with it past the path.
namespace {

struct RoadClass {
    int type;
    int heavyAxles;
    double heavyWeight;  // N
    int mainAxles;
    double mainWeight;                    // N
    double gapAhead, gapBehind, gapMain;  // clear distances between vehicles, m
};

double Length(const std::vector<double>& offsets) {
    return offsets.empty() ? 0.0 : offsets.back() - offsets.front();
}

// The sweep of a model on the path x0 ... x1: step 0 has every load at or before x0, the
// last step every load at or past x1, in either direction of travel.
void ExpectSweepCoversThePath(const CLiveLoad& ld, double x0, double x1) {
    const double reach = std::max(Length(ld.m_heavyOffsets), Length(ld.m_mainOffsets));
    EXPECT_NEAR(ld.m_xStart + reach, x0, 1e-9);
    const double end = ld.m_xStart + 0.1 * ld.m_nSteps;
    EXPECT_GE(end - reach, x1 - 1e-9);
    EXPECT_LT(end - reach, x1 + 0.1);  // no step wasted past the path
}

}  // namespace

TEST_F(LiveLoadModelTest, RoadClassesHaveTheirVehiclesAndSpacing) {
    const RoadClass classes[] = {
        {1, 2, 150000, 2, 100000, 15, 5, 15},
        {2, 2, 200000, 2, 150000, 15, 5, 15},
        {3, 3, 300000, 2, 200000, 15, 10, 15},
        {4, 5, 550000, 2, 200000, 10, 10, 15},
    };
    for (const RoadClass& c : classes) {
        SCOPED_TRACE(c.type);
        CLiveLoad ld;
        ASSERT_TRUE(ld.BuildLiveLoad(c.type, 0, 30));
        EXPECT_EQ(ld.m_nHeavyAxles, c.heavyAxles);
        EXPECT_NEAR(-Sum(ld.m_heavyLoads), c.heavyWeight, 1e-6);
        EXPECT_EQ(ld.m_nMainAxles, c.mainAxles);
        EXPECT_NEAR(-Sum(ld.m_mainLoads), c.mainWeight, 1e-6);
        // A main vehicle in front stands stepsAhead from the heavy one's first load: its
        // last axle is then the clear gap ahead of it; likewise behind and between.
        EXPECT_NEAR(0.1 * ld.m_stepsAhead - Length(ld.m_mainOffsets), c.gapAhead, 1e-9);
        EXPECT_NEAR(0.1 * ld.m_stepsBehind - Length(ld.m_heavyOffsets), c.gapBehind, 1e-9);
        EXPECT_NEAR(0.1 * ld.m_stepsMain - Length(ld.m_mainOffsets), c.gapMain, 1e-9);
        ExpectSweepCoversThePath(ld, 0, 30);
    }
}

TEST_F(LiveLoadModelTest, DistributedAndRailwayLoads) {
    CLiveLoad ld;
    // The crawler: 500 kN spread evenly over 4.5 m (0.1 m pieces, half pieces at the ends,
    // so every 0.1 m carries the same share), vehicles 50 m apart.
    ASSERT_TRUE(ld.BuildLiveLoad(5, 0, 30));
    EXPECT_NEAR(-Sum(ld.m_heavyLoads), 500000, 1e-6);
    EXPECT_NEAR(Length(ld.m_heavyOffsets), 4.5, 1e-9);
    for (int i = 1; i + 1 < ld.m_nHeavyAxles; ++i)
        EXPECT_NEAR(ld.m_heavyLoads[i], -500000 / 4.5 * 0.1, 1e-6);
    EXPECT_NEAR(0.1 * ld.m_stepsMain - 4.5, 50, 1e-9);
    ExpectSweepCoversThePath(ld, 0, 30);

    // The railway load on a 30 m path (10 ... 40): five 220 kN axles 1.5 m apart, then
    // 92 kN/m for 30 m; the uniform part is as long as the path, so no second train fits.
    ASSERT_TRUE(ld.BuildLiveLoad(9, 10, 40));
    EXPECT_NEAR(-Sum(ld.m_heavyLoads), 5 * 220000.0 + 92000.0 * 30, 1e-6);
    EXPECT_NEAR(ld.m_heavyOffsets.back() - ld.m_heavyOffsets[5], 30, 1e-9);
    EXPECT_NEAR(0.1 * ld.m_stepsAhead, 30, 1e-9);
    ExpectSweepCoversThePath(ld, 10, 40);

    // The crowd: 100 N pieces, one per 0.1 m step (1 kN/m), that may stand on every step.
    ASSERT_TRUE(ld.BuildLiveLoad(0, 0, 30));
    EXPECT_NEAR(-Sum(ld.m_heavyLoads) / 0.1, 1000, 1e-9);
    EXPECT_EQ(ld.m_stepsMain, 1);
    ExpectSweepCoversThePath(ld, 0, 30);
}

TEST_F(LiveLoadModelTest, UserTrainReadsNumbersSplitOverLinesAndTextBetween) {
    WriteFile("user_hz.txt",
              "用户车列\n重车轴数\n  3\n轴重 (N)\n-100000 -200000\n -200000 9 9\n"
              "轴距\n0 1.5\n3.0\n主车\n2\n-50000 -80000\n0 4\n间距 前 后 主车间\n"
              "12.5 7.5 10\nanything after the gaps is ignored\n");
    CLiveLoad ld;
    ASSERT_TRUE(ld.BuildLiveLoad(10, 0, 20)) << LastMessage();
    EXPECT_EQ(ld.m_heavyLoads, (std::vector<double>{-100000, -200000, -200000}));
    EXPECT_EQ(ld.m_heavyOffsets, (std::vector<double>{0, 1.5, 3.0}));
    EXPECT_EQ(ld.m_mainLoads, (std::vector<double>{-50000, -80000}));
    EXPECT_EQ(ld.m_mainOffsets, (std::vector<double>{0, 4}));
    EXPECT_EQ(ld.m_gapAhead, 12.5);
    EXPECT_EQ(ld.m_gapBehind, 7.5);
    EXPECT_EQ(ld.m_gapMain, 10);
    EXPECT_NEAR(0.1 * ld.m_stepsAhead - Length(ld.m_mainOffsets), 12.5, 1e-9);
    EXPECT_NEAR(0.1 * ld.m_stepsBehind - Length(ld.m_heavyOffsets), 7.5, 1e-9);
    EXPECT_NEAR(0.1 * ld.m_stepsMain - Length(ld.m_mainOffsets), 10, 1e-9);
    ExpectSweepCoversThePath(ld, 0, 20);

    // No heavy vehicle and a single main load without a gap are accepted.
    WriteFile("user_hz.txt", "0\n1\n-1000\n0\n0 0 0\n");
    ASSERT_TRUE(ld.BuildLiveLoad(10, 0, 20)) << LastMessage();
    EXPECT_FALSE(ld.HasHeavy());
    EXPECT_EQ(ld.m_stepsMain, 0);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(LiveLoadModelTest, UserTrainFileMissingShortOrAbsurd) {
    CLiveLoad ld;
    EXPECT_FALSE(ld.BuildLiveLoad(10, 0, 20));
    EXPECT_EQ(LastMessage(), "打开用户荷载定义文件user_hz.txt时出错!");
    // The main vehicle's offsets are cut short, then the gaps line is missing.
    WriteFile("user_hz.txt", "1\n-1000\n0\n2\n-10 -20\n0\n");
    EXPECT_FALSE(ld.BuildLiveLoad(10, 0, 20));
    EXPECT_EQ(LastMessage(), "文件user_hz.txt缺少足够的数据！");
    WriteFile("user_hz.txt", "1\n-1000\n0\n0\n");
    EXPECT_FALSE(ld.BuildLiveLoad(10, 0, 20));
    EXPECT_EQ(LastMessage(), "文件user_hz.txt缺少足够的数据！");
    EXPECT_EQ(ld.m_nHeavyAxles, 0);
    // An offset no bridge has would overflow the step counts.
    WriteFile("user_hz.txt", "1\n-1000\n2e6\n0\n0 0 0\n");
    EXPECT_FALSE(ld.BuildLiveLoad(10, 0, 20));
    EXPECT_EQ(LastMessage(), "文件user_hz.txt中的数据有误！");
    EXPECT_EQ(host.messages.size(), 4u);
}
