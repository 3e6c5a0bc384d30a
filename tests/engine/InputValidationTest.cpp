// Input that used to pass as a model or a vehicle train and gave NaN, a wrong structure or
// a shifted list: each is refused with its message, and the detail says where.
#include <fstream>

#include "TestSupport.h"
#include "liveload/LiveLoad.h"
#include "platform/TextFile.h"

namespace {

class InputValidationTest : public ScratchDirTest {
protected:
    // The bundled girder with line `number` (from 1) replaced.
    std::string GirderWithLine(int number, const std::string& text) {
        std::string model;
        EXPECT_TRUE(ReadWholeFile(SourcePath("examples/three_span_girder.fem"), model));
        size_t at = 0;
        for (int i = 1; i < number; ++i) at = model.find('\n', at) + 1;
        const size_t end = model.find('\n', at);
        return model.substr(0, at) + text + model.substr(end);
    }

    // Reads the model; expects it refused with `message` and a detail containing `where`.
    void ExpectRefused(const std::string& model, const std::string& message,
                       const std::string& where) {
        host.messages.clear();
        host.details.clear();
        EXPECT_FALSE(Load(model, true));
        ASSERT_FALSE(host.messages.empty());
        EXPECT_EQ(host.messages.front(), message);
        EXPECT_NE(host.details.front().find(where), std::string::npos) << host.details.front();
        EXPECT_EQ(host.messages.size(), 1u);
    }
};

// Beam 1-2-3 on two supports; `sections` are the section lines, elements 1 and 2 use
// sections 1-2 and 2-2.
std::string Beam(const std::string& sections, int count = 2) {
    return "3 2 0 1 " + std::to_string(count) +
           " 1 2 0\n"
           "1 0 0 0 0\n2 5 0 0 0\n3 10 0 0 0\n"
           "1 2e11 1.2e-5\n" +
           sections +
           "1 1 2 1 2 1 0\n2 2 3 2 2 1 0\n"
           "1 111 0 0 0\n3 11 0 0 0\n"
           "1\n2 1 0 -1000 0\n0\n";
}

}  // namespace

TEST_F(InputValidationTest, SectionsThatCannotExistAreRefused) {
    // An outline that turns back: the girder's line 38 "6.0 3.00" as "0 0" gives section 2
    // an area of -1.44.
    ExpectRefused(GirderWithLine(38, "0 0"), "错误：截面2的面积为零或截面特性无效!",
                  "第38行：截面2");
    // A negative inertia given directly.
    ExpectRefused(Beam("1 0.01 1e-4 0 0 0.1 0.1\n2 0.01 -1e-4 0 0 0.1 0.1\n"),
                  "错误：截面2的面积为零或截面特性无效!", "截面2");
    // A tapered member needs I > 0 at both ends (a uniform one may be a bar of I = 0).
    ExpectRefused(Beam("1 0.01 0 0 0 0.1 0.1\n2 0.01 1e-4 0 0 0.1 0.1\n"),
                  "错误：截面1的面积为零或截面特性无效!", "单元1");
    auto bar = Load(Beam("1 0.01 1e-4 0 0 0.1 0.1\n2 0.01 1e-4 0 0 0.1 0.1\n"), false);
    EXPECT_TRUE(bar) << LastMessage();
}

TEST_F(InputValidationTest, NumbersGivenTwiceAreRefused) {
    // "2 10 0 0 0" where "3 10 0 0 0" was meant left node 3 at the origin.
    std::string model = Beam("1 0.01 1e-4 0 0 0.1 0.1\n2 0.01 1e-4 0 0 0.1 0.1\n");
    std::string twice = model;
    twice.replace(twice.find("3 10 0 0 0"), 10, "2 10 0 0 0");
    ExpectRefused(twice, "节点号错误!", "节点2重复");
    // A generated node that the file also gives.
    ExpectRefused("4 1 0 1 1 1 1 0\n1 0 0 0 0\n3 10 0 0 1\n2 5 0 0 0\n", "节点号错误!",
                  "节点2重复");
    twice = model;
    twice.replace(twice.find("2 2 3 2 2 1 0"), 13, "1 2 3 2 2 1 0");
    ExpectRefused(twice, "单元号错误!", "单元1重复");
}

TEST_F(InputValidationTest, NumbersNoDoubleHoldsAreRefused) {
    const std::string model = Beam("1 0.01 1e-4 0 0 0.1 0.1\n2 0.01 1e-4 0 0 0.1 0.1\n");
    for (const std::string bad : {"1e400", "inf", "-INF", "nan", "NaN(1)", "-1e999"}) {
        std::string m = model;
        m.replace(m.find("-1000"), 5, bad);
        ExpectRefused(m, "错误：数据文件中的数值" + bad + "无效!", "第13行");
    }
    // A number of 600 digits is not read as two fields.
    std::string m = model;
    m.replace(m.find("2 5 0 0 0"), 9, "2 5" + std::string(600, '0') + " 0 0 0");
    EXPECT_FALSE(Load(m, false));
    EXPECT_EQ(LastMessage().rfind("错误：数据文件中的数值5000", 0), 0u) << LastMessage();
    // A line longer than a mebibyte ends the reading with its own message, not bad_alloc.
    m = model;
    m.replace(m.find("1 0 0 0 0"), 9, "1 0 0 0 0" + std::string(2 << 20, ' '));
    EXPECT_FALSE(Load(m, false));
    EXPECT_EQ(LastMessage(), "错误：数据文件中的行过长(超过1 MiB)!");
    EXPECT_EQ(host.details.back(), "文件" + Path("m.fem") + "第2行");
}

TEST_F(InputValidationTest, UserTrainListsCannotShiftOrOverlap) {
    auto f = Load(Beam("1 0.01 1e-4 0 0 0.1 0.1\n2 0.01 1e-4 0 0 0.1 0.1\n"), true);
    ASSERT_TRUE(f) << LastMessage();
    const char* const bad[] = {
        // An unreadable number used to shift the rest of the file into the wrong lists.
        "3\n-100000 nan -200000\n0 1.4 2.8\n0\n1 1 1\n",
        "3\n-100000 1,5 -200000\n0 1.4 2.8\n0\n1 1 1\n",
        // Negative gaps put vehicles on top of each other.
        "1\n-100000\n0\n1\n-50000\n0\n-10 -10 -15\n",
        // user_hz.txt that never ends a line (a device, say).
    };
    for (const char* text : bad) {
        WriteFile(kUserTrainFile, text);
        host.messages.clear();
        host.details.clear();
        CLiveLoad load;
        EXPECT_FALSE(load.BuildLiveLoad(10, 0, 10)) << text;
        ASSERT_EQ(host.messages.size(), 1u) << text;
        EXPECT_EQ(host.messages[0], "文件user_hz.txt中的数据有误！") << text;
        EXPECT_NE(host.details[0].find("user_hz.txt第"), std::string::npos) << text;
    }
    WriteFile(kUserTrainFile, "1\n" + std::string(3 << 20, '5'));
    CLiveLoad load;
    EXPECT_FALSE(load.BuildLiveLoad(10, 0, 10));
    EXPECT_EQ(LastMessage(), "文件user_hz.txt中的数据有误！");
    // The same train with its gaps apart is accepted.
    WriteFile(kUserTrainFile, "1\n-100000\n0\n1\n-50000\n0\n10 10 15\n");
    EXPECT_TRUE(load.BuildLiveLoad(10, 0, 10)) << LastMessage();
}
