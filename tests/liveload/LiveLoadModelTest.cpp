// The built-in live-load models, their derived steps and the user train file.
#include <numeric>

#include "TestSupport.h"
#include "liveload/LiveLoad.h"

namespace {

class LiveLoadModelTest : public ScratchDirTest {};

double Sum(const std::vector<double>& v) {
    return std::accumulate(v.begin(), v.end(), 0.0);
}

}  // namespace

TEST_F(LiveLoadModelTest, DerivedStepsOfTheBuiltInModels) {
    CLiveLoad ld;
    ASSERT_TRUE(ld.BuildLiveLoad(3, 0, 30));
    EXPECT_EQ(ld.m_stepsAhead, 190);
    EXPECT_EQ(ld.m_stepsBehind, 154);
    EXPECT_EQ(ld.m_stepsMain, 190);
    EXPECT_EQ(ld.m_xStart, -5.4);
    EXPECT_EQ(ld.m_nSteps, 408);  // 30 m plus 5.4 m before and after
    ASSERT_TRUE(ld.BuildLiveLoad(4, 0, 30));
    EXPECT_EQ(ld.m_stepsAhead, 140);
    EXPECT_EQ(ld.m_stepsBehind, 228);
    EXPECT_EQ(ld.m_stepsMain, 190);
    ASSERT_TRUE(ld.BuildLiveLoad(5, 0, 30));
    EXPECT_EQ(ld.m_stepsAhead, 545);
    EXPECT_EQ(ld.m_stepsBehind, 545);
    EXPECT_EQ(ld.m_stepsMain, 545);
    EXPECT_EQ(ld.m_nHeavyAxles, 46);
    EXPECT_NEAR(Sum(ld.m_heavyLoads), -500000, 1e-6);
    EXPECT_EQ(ld.m_heavyOffsets.back(), 4.5);
    // The railway load on a 30 m path: a main load ahead reaches the path only while the
    // train's first load is still before it.
    ASSERT_TRUE(ld.BuildLiveLoad(9, 10, 40));
    EXPECT_EQ(ld.m_stepsAhead, 300);
    EXPECT_EQ(ld.m_nHeavyAxles, 306);
    EXPECT_NEAR(Sum(ld.m_heavyLoads), -(5 * 220000.0 + 92000.0 * 30), 1e-6);
    EXPECT_NEAR(ld.m_heavyOffsets.back(), 37.5, 1e-9);
    EXPECT_EQ(ld.m_stepsBehind, 375);
    EXPECT_EQ(ld.m_stepsMain, 1);
    // The crowd: 100 N pieces that may stand on every step of the path.
    ASSERT_TRUE(ld.BuildLiveLoad(0, 0, 30));
    EXPECT_EQ(ld.m_stepsAhead + ld.m_stepsBehind + ld.m_stepsMain, 3);
    EXPECT_EQ(ld.m_nSteps, 300);
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
    EXPECT_EQ(ld.m_stepsAhead, 165);
    EXPECT_EQ(ld.m_stepsBehind, 105);
    EXPECT_EQ(ld.m_stepsMain, 140);
    EXPECT_EQ(ld.m_nSteps, 280);

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
