// The batch tool's envelope, influence and place subcommands, run as a user runs them.
#include <sys/wait.h>

#include <cstdio>

#include "TestSupport.h"
#include "liveload/Envelope.h"
#include "liveload/LiveLoad.h"
#include "liveload/LiveLoadPlacement.h"
#include "liveload/Models.h"
#include "platform/Format.h"

namespace {

class LiveLoadCommandsTest : public CliTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        WriteFile("beam.fem", ContinuousBeam({12, 16}, 5, {"4 0.4375 3", "6 0 3"}));
    }
};

}  // namespace

TEST_F(LiveLoadCommandsTest, EnvelopeWritesEveryQuantity) {
    ASSERT_EQ(Cli("envelope beam.fem --type 6 --quantity all"), 0) << err;
    for (const char* name : {"beam.z6", "beam.j6", "beam.w6"}) {
        EXPECT_EQ(static_cast<long long>(ReadFile(name).size()), EnvelopeFileSize(10)) << name;
    }
    EXPECT_TRUE(Exists("beam_剪力包络图数据_挂车80.out"));
    EXPECT_NE(out.find("wrote beam_弯矩包络图数据_挂车80.out"), std::string::npos);
    // The scratch files go as when a window closes; the envelopes stay.
    EXPECT_FALSE(Exists("beam_huozai.txt"));

    EXPECT_EQ(Cli("envelope beam.fem --type 14 --quantity 3"), 2);
    EXPECT_EQ(Cli("envelope beam.fem --type 3"), 2);
    EXPECT_EQ(Cli("envelope beam.fem --type 3 --quantity 3 --threads 0"), 2);
    EXPECT_EQ(Cli("envelope beam.fem --type 10 --quantity 3"), 1);
    EXPECT_NE(err.find("打开用户荷载定义文件user_hz.txt时出错!"), std::string::npos);
    EXPECT_EQ(Cli("envelope missing.fem --type 3 --quantity 3"), 1);
    EXPECT_NE(err.find("文件不存在！"), std::string::npos);
}

TEST_F(LiveLoadCommandsTest, InfluenceAndPlace) {
    ASSERT_EQ(Cli("influence beam.fem --line 2"), 0) << err;
    EXPECT_NE(ReadFile("beam_影响线数据2.out").find("性质：弯矩"), std::string::npos);
    EXPECT_EQ(Cli("influence beam.fem --line 3"), 2);
    EXPECT_EQ(Cli("influence beam.fem --line 0"), 2);

    ASSERT_EQ(Cli("place beam.fem --line 1 --entry 25"), 0) << err;
    EXPECT_TRUE(Exists("beam_活载.fem"));
    // The same placement in this process gives the printed value, in "%s %e" form.
    auto f = Load(ReadFile("beam.fem"), true, "beam");
    ASSERT_TRUE(f);
    CLiveLoad ld;
    LiveLoadPlacement p;
    ASSERT_TRUE(f->PlaceLiveLoad(0, 25, ld, p));
    const std::string line = FormatString("%s %e", "荷载引起的最值为：", p.total);
    EXPECT_NE(out.find("挂车120最大值\n"), std::string::npos) << out;
    EXPECT_NE(out.find(line + "\n"), std::string::npos) << out;
    EXPECT_NE(line.find("e+00"), std::string::npos);  // three exponent digits

    ASSERT_EQ(Cli("place beam.fem --line 1 --entry 0"), 0);
    EXPECT_EQ(out, "无活载\n");
    EXPECT_EQ(Cli("place beam.fem --line 1 --entry 43"), 2);
}
