// The dynamic load file: its messages and records, and the loads the records give.
#include <cmath>

#include "DynamicsModels.h"
#include "DynamicsRun.h"
#include "dynamics/DynamicLoad.h"

namespace {

class DynamicLoadTest : public ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        BeamData b;
        b.elements = 4;
        b.angle = 0.3;
        b.loadingPath = true;
        frame = Load(BeamModel(b), true);
        ASSERT_TRUE(frame) << LastMessage();
    }
    // Runs with the given file; returns the message shown (empty when none).
    std::string RunWith(const std::string& text, bool expectOk) {
        WriteFile(kDynamicLoadFile, text);
        host.messages.clear();
        EXPECT_EQ(frame->DynamicResponse(), expectOk) << LastMessage();
        return LastMessage();
    }
    std::unique_ptr<CPlaneFrame> frame;
};

}  // namespace

TEST_F(DynamicLoadTest, EveryFileProblemHasItsMessage) {
    host.messages.clear();
    EXPECT_FALSE(frame->DynamicResponse());
    EXPECT_EQ(LastMessage(), "动力荷载数据文件dynamic_load.txt不存在！\n请先建立该数据文件");
    EXPECT_EQ(RunWith("0 0\n1 0.1\n0 0 0\n", false), "缺少足够的数据！");  // no k line
    EXPECT_EQ(RunWith("0 0\n", false), "缺少足够的数据！");
    EXPECT_EQ(RunWith("0 0\n1 0.1\n0 0 0\n1\n6 1 0 0\n", false), "非零位移条件节点号错误!");
    EXPECT_EQ(RunWith("0 0\n1 0.1\n0 0 0\n1\n0 1 0 0\n", false), "非零位移条件节点号错误!");
    EXPECT_EQ(RunWith("0 0\n1 0.1\n0 0 0\n1\n2 4 0 0\n", false), "非零位移条件自由度错误!");
    EXPECT_EQ(RunWith("0 0\n1 0.1\n0 0 0\n2\n2 1 0 0\n", false), "缺少足够的数据！");
    EXPECT_EQ(RunWith("0 0\n1 0.1\n2 0 0\n0 1 1 0 0 0 0\n0\n", false), "缺少足够的数据！");
    // A step longer than the duration fails without a message of its own; equal is fine.
    EXPECT_EQ(RunWith("0 0\n0.1 0.2\n0 0 0\n0\n", false), "");
    EXPECT_EQ(RunWith("0 0\n0.2 0.2\n0 0 0\n0\n", true), "");
    // A step of zero would never end.
    EXPECT_NE(RunWith("0 0\n0 0\n0 0 0\n0\n", false), "");
    EXPECT_NE(RunWith("0 0\n1e300 1e-300\n0 0 0\n0\n", false), "");
    EXPECT_FALSE(frame->m_femFile.IsOpen());
}

TEST_F(DynamicLoadTest, RecordsAreReadInFileOrderAndBadOnesIgnored) {
    const std::string text =
        "说明：阻尼\n0.5 0.002 7\n# time\n1.0 0.5 extra\n1 2 2\n"
        "-3 -10 -200 1 5 0.25 0.1\n"
        "2 3 50 0 0 0 0.2\n"
        "9 2 70 0 0 0 0\n"
        "4 2 0.01 1 3 0\n"
        "4 0 0.01 0 0 0\n"
        "注释\n1\n3 2 0.004 -0.1\n";
    RunWith(text, true);
    EXPECT_EQ(frame->m_dynAlpha, 0.5);
    EXPECT_EQ(frame->m_dynBeta, 0.002);
    EXPECT_EQ(frame->m_dynDuration, 1.0);
    EXPECT_EQ(frame->m_dynStep, 0.5);
    ASSERT_EQ(frame->m_dynLoads.size(), 5u);
    const auto& L = frame->m_dynLoads;
    EXPECT_EQ(L[0]->m_type, 1);
    EXPECT_EQ(L[0]->m_x0, -3.0);
    EXPECT_EQ(L[0]->m_speed, -10.0);
    EXPECT_EQ(L[0]->m_phase, 0.25);
    EXPECT_EQ(L[0]->m_startTime, 0.1);
    EXPECT_EQ(L[1]->m_type, 2);
    EXPECT_EQ(L[1]->m_node, 1);
    EXPECT_EQ(L[1]->m_dof, 2);
    EXPECT_EQ(L[2]->m_type, 0);  // node 9 does not exist
    EXPECT_EQ(L[3]->m_type, 3);
    EXPECT_EQ(L[3]->m_startTime, 0.0);
    EXPECT_EQ(L[4]->m_type, 0);  // direction 0
    // The prescribed equation (node 4 y) is driven for this run only.
    EXPECT_EQ(frame->m_dynCodes[10], 2);
    EXPECT_EQ(frame->m_dofStatus[10], 0);
    const auto rec = ReadResponse(*frame);
    ASSERT_EQ(rec.size(), 3u);
    EXPECT_EQ(rec[0].d[7], 0.004);
    EXPECT_EQ(rec[0].v[7], -0.1);
}

TEST_F(DynamicLoadTest, MovingLoadIsStaticallyEquivalentToItsForce) {
    std::vector<int> codes(static_cast<size_t>(frame->m_nDof), 0);
    CDynamicLoad load(frame.get());
    load.Parse(1, "0.5 2 -1000 1 7 0.4 0.25", codes);
    ASSERT_EQ(load.m_type, 1);
    const double c = std::cos(0.3);
    for (double t : {0.0, 0.3, 1.0, 2.0, 4.0, 4.6, 5.0}) {
        std::vector<double> F(static_cast<size_t>(frame->m_nDof), 0.0);
        load.AddLoad(t, F.data());
        const double x = 0.5 + 2 * (t - 0.25);
        const double f = t < 0.25 ? 0 : -1000 * std::sin(7 * (t - 0.25) + 0.4);
        double fx = 0, fy = 0, moment = 0;
        for (int node = 0; node < frame->m_nNodes; ++node) {
            const auto& g = frame->m_dofNum[node];
            const Node& p = frame->m_nodes[node];
            fx += F[g[0]];
            fy += F[g[1]];
            moment += F[g[2]] + p.x * F[g[1]] - p.y * F[g[0]];
        }
        const bool onPath = t >= 0.25 && x >= 0 && x <= 10 * c;
        EXPECT_NEAR(fx, 0, 1e-9) << t;
        EXPECT_NEAR(fy, onPath ? f : 0, 1e-9) << t;
        // The force acts at (x, x tan 0.3) on the inclined path.
        EXPECT_NEAR(moment, onPath ? f * x : 0, 1e-8) << t;
    }
    // Travelling toward -x from the far end, constant.
    CDynamicLoad back(frame.get());
    back.Parse(1, "9 -3 500", codes);
    std::vector<double> F(static_cast<size_t>(frame->m_nDof), 0.0);
    back.AddLoad(1, F.data());
    double fy = 0;
    for (int node = 0; node < frame->m_nNodes; ++node) fy += F[frame->m_dofNum[node][1]];
    EXPECT_NEAR(fy, 500, 1e-9);
}
