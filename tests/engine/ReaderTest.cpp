// Reading the data file: generation, section kinds, lowering, slaves, every check, and the
// echo and model copy byte for byte.
#include <sys/stat.h>

#include <cmath>

#include "SmallModels.h"
#include "TestSupport.h"
#include "platform/TextFile.h"

namespace {

constexpr double kPi = 3.141592653589793;

// A two-element beam: fixed at node 1, a tip load in case 1.
const char* const kBeam = kTwoElementBeam;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The beam with one slave line.
std::string WithSlave(const std::string& beam, const std::string& slaveLine) {
    return Replace(Replace(beam, "3 2 0 1 1 1 1 0", "3 2 1 1 1 1 1 0"), "3 10 0 0 1\n",
                   "3 10 0 0 1\n" + slaveLine + "\n");
}

class ReaderTest : public ScratchDirTest {};

}  // namespace

TEST_F(ReaderTest, NodeAndElementGeneration) {
    const std::string model =
        "5 4 0 1 1 0 1 0\n"
        "1 0 0 0 0\n"
        "5 8 0 0 1\n"
        "1 1 0\n"
        "1 1 1 0 0 0.5 0.5\n"
        "1 1 2 1 1 1 0\n"
        "4 4 5 1 1 1 1\n"
        "1 111\n";
    auto f = Load(model, false);
    ASSERT_TRUE(f) << LastMessage();
    for (int n = 0; n < 5; ++n) EXPECT_DOUBLE_EQ(f->m_nodes[n].x, 2.0 * n);
    EXPECT_EQ(f->m_elements[1].iNode, 1);
    EXPECT_EQ(f->m_elements[1].jNode, 2);
    EXPECT_EQ(f->m_elements[2].iNode, 2);
    EXPECT_EQ(f->m_elements[2].jNode, 3);
    EXPECT_DOUBLE_EQ(f->m_elements[2].length, 2.0);
    EXPECT_DOUBLE_EQ(f->m_elements[2].cos, 1.0);
    EXPECT_EQ(f->m_xMax, 8.0);
}

TEST_F(ReaderTest, SectionKindsAndLowering) {
    const std::string model =
        "4 3 0 1 4 0 1 0\n"
        "1 0 10 1 0\n"
        "2 1 10 2 0\n"
        "3 2 10 3 0\n"
        "4 3 10 4 0\n"
        "1 1 0\n"
        // kind 0 without heights: sqrt(3I/A)
        "1 1 0.0833333333333333 10\n"
        // kind 1: a 2 x 1 rectangle given by its outline
        "2 9 9 10 1 9 9\n"
        "2\n"
        "2 0\n"
        "2 1\n"
        // kind 2: a solid circle
        "3 0 0 10 2\n"
        "1 0\n"
        // kind 3: 1 x 2 rectangle with one slot 0.2 wide, straight part 0.5
        "4 0 0 10 3\n"
        "1 2 0.2 0.5 1\n"
        "1 1 2 1 1 1\n"
        "2 2 3 2 2 1\n"
        "3 3 4 3 4 1\n"
        "1 111\n";
    auto f = Load(model, false);
    ASSERT_TRUE(f) << LastMessage();
    const auto& s = f->m_sections;
    EXPECT_NEAR(s[0].hTop, 0.5, 1e-12);
    EXPECT_NEAR(s[0].hBottom, 0.5, 1e-12);
    EXPECT_DOUBLE_EQ(s[0].weight, 10.0);

    EXPECT_DOUBLE_EQ(s[1].A, 2.0);
    EXPECT_NEAR(s[1].I, 2.0 / 12, 1e-14);
    EXPECT_DOUBLE_EQ(s[1].hTop, 0.5);
    EXPECT_DOUBLE_EQ(s[1].hBottom, 0.5);
    EXPECT_DOUBLE_EQ(s[1].weight, 20.0);  // unit weight x computed area

    EXPECT_DOUBLE_EQ(s[2].A, kPi);
    EXPECT_DOUBLE_EQ(s[2].I, kPi / 4);
    EXPECT_EQ(s[2].hTop, 1.0);

    const double d = 0.2, l = 0.5;
    EXPECT_DOUBLE_EQ(s[3].A, 2 - d * (kPi * d / 4 + l));
    EXPECT_DOUBLE_EQ(s[3].I, 8.0 / 12 - d * l * l * l / 12 -
                                 d * d * (d * l / 6 + kPi * d * d / 64 + kPi * l * l / 16));
    EXPECT_EQ(s[3].hBottom, 1.0);

    // Each node is lowered by the height above the neutral axis of its reference section;
    // the bounding box keeps the coordinates as given.
    EXPECT_NEAR(f->m_nodes[0].y, 9.5, 1e-12);
    EXPECT_NEAR(f->m_nodes[1].y, 9.5, 1e-12);
    EXPECT_NEAR(f->m_nodes[2].y, 9.0, 1e-12);
    EXPECT_NEAR(f->m_nodes[3].y, 9.0, 1e-12);
    EXPECT_EQ(f->m_yMin, 10.0);
}

TEST_F(ReaderTest, OutlineOfAnISectionMatchesTheParallelAxisTheorem) {
    // Flanges 1 x 0.2, web 0.2 x 0.6, total depth 1.
    const std::string model =
        "2 1 0 1 1 0 1 0\n1 0 0\n2 5 0\n1 1\n"
        "1 0 0 0 1\n6\n1 0\n1 0.2\n0.2 0.2\n0.2 0.8\n1 0.8\n1 1\n"
        "1 1 2 1 1 1\n1 111\n";
    auto f = Load(model, false);
    ASSERT_TRUE(f) << LastMessage();
    const Section& s = f->m_sections[0];
    EXPECT_NEAR(s.A, 0.52, 1e-12);
    const double I = 2 * (1 * 0.008 / 12 + 0.2 * 0.4 * 0.4) + 0.2 * 0.216 / 12;
    EXPECT_NEAR(s.I, I, 1e-12);
    EXPECT_NEAR(s.hTop, 0.5, 1e-12);
}

TEST_F(ReaderTest, SlaveCouplingAndSlaveGeneration) {
    const std::string model =
        "6 2 4 1 1 0 1 0\n"
        "1 0 0\n2 1 0\n3 1 0\n4 2 0\n5 2 0\n6 3 0\n"
        "3 1 0 0 0\n"
        "4 0 0 0 0\n"
        // Generates slave 5; its y master, on stored indices (none = -1), is
        // -1 + ((1 - -1) div 2) * 1 = 0, that is node 1.
        "6 0 2 0 1\n"
        "1 1 0\n"
        "1 1 1 0 0 0.5 0.5\n"
        "1 1 2 1 1 1\n"
        "2 3 4 1 1 1\n"
        "1 111\n";
    auto f = Load(model, false);
    ASSERT_TRUE(f) << LastMessage();
    EXPECT_EQ(f->m_dofNum[2][0], 0);  // node 3's x is node 1's x
    EXPECT_EQ(f->m_dofNum[2][1], 7);  // y and rotation stay its own
    EXPECT_EQ(f->m_dofNum[2][2], 8);
    // Generated slave 5: x and rotation masters interpolate from "none" to "none".
    EXPECT_EQ(f->m_dofNum[4][0], 12);
    EXPECT_EQ(f->m_dofNum[4][1], 1);
    EXPECT_EQ(f->m_dofNum[4][2], 14);
    EXPECT_EQ(f->m_dofNum[5][1], f->m_dofNum[1][1]);
    f.reset();  // flushes the result file
    const std::string out = ReadFile("m.out");
    EXPECT_NE(out.find("\n从节点信息:\n    3    1    0    0\n    4    0    0    0"
                       "\n    5    0    1    0\n    6    0    2    0"),
              std::string::npos)
        << out;
}

TEST_F(ReaderTest, EveryCheckStopsWithItsMessage) {
    struct Case {
        std::string model;
        const char* message;
    };
    const std::string beam = kBeam;
    const std::vector<Case> cases = {
        {Replace(beam, "3 2 0 1 1 1 1 0", "3 2 0 1 1 1 0 0"), "总控数据错误！"},
        {Replace(beam, "3 2 0 1 1 1 1 0", "0 2 0 1 1 1 1 0"), "总控数据错误！"},
        {Replace(beam, "3 2 0 1 1 1 1 0", "3 2 -1 1 1 1 1 0"), "总控数据错误！"},
        {Replace(beam, "3 10 0 0 1", "4 10 0 0 1"), "节点号错误!"},
        {WithSlave(beam, "4 1 0 0 0"), "从节点号错误!"},
        {WithSlave(beam, "3 1 4 0 0"), "从节点对应的主节点号错误!"},
        {WithSlave(beam, "3 0 3 0 0"), "错误：从节点号等于主节点号!"},
        {Replace(beam, "1 2e11", "2 2e11"), "材料号错误!"},
        {Replace(beam, "1 0.01 1e-4", "0 0.01 1e-4"), "截面号错误!"},
        {Replace(beam, "1 0.01 1e-4 78500 0 0.1 0.1\n", "1 0 0 78500 1\n0\n"),
         "错误：节线条数小于1!"},
        {Replace(beam, "2 2 3 1 1 1 0", "3 2 3 1 1 1 0"), "单元号错误!"},
        {Replace(beam, "2 2 3 1 1 1 0", "2 2 4 1 1 1 0"), "单元节点错误!"},
        {Replace(beam, "2 2 3 1 1 1 0", "2 2 3 1 2 1 0"), "单元截面号错误!"},
        {Replace(beam, "2 2 3 1 1 1 0", "2 2 3 1 1 0 0"), "单元材料号错误!"},
        {Replace(beam, "2 2 3 1 1 1 0", "2 2 3"), "单元截面号错误!"},  // missing fields are 0
        {Replace(beam, "1 111 0 0 0", "9 111 0 0 0"), "受约束节点号错误！"},
        {Replace(beam, "3 1 0 -1000 0", "3 2 0 -1000 0"), "节点荷载(节点号、工况)错误！"},
        {Replace(beam, "\n0\n", "\n1\n1 1 8 0\n"), "单元荷载(单元号、工况、类型)错误!"},
        {Replace(beam, "\n0\n", "\n1\n3 1 3 1\n"), "单元荷载(单元号、工况、类型)错误!"},
        {Replace(beam, "3 2 0 1 1 1 1 0", "3 2 0 1 1 1 1 2") + "1 3\n", "影响线单元错误！"},
        {Replace(beam, "3 2 0 1 1 1 1 0", "3 2 0 1 1 1 1 1") + "1\n-1\n", "影响线条数错误！"},
        {Replace(beam, "3 2 0 1 1 1 1 0", "3 2 0 1 1 1 1 1") + "1\n1\n1 0.5 7\n",
         "待求影响线信息有误！"},
        {Replace(beam, "3 1 0 -1000 0\n0\n", "3 1 0 -1000 0\n"), "缺少足够的数据！"},
        {"* only a comment\n", "缺少足够的数据！"},
        {Replace(beam, "3 10 0 0 1", "3 0 0 0 1"), "错误：单元1的长度为零!"},
        {Replace(beam, "1 0.01 1e-4 78500 0 0.1 0.1\n", "1 0 0 78500 1\n1\n1 0\n"),
         "错误：截面1的面积为零或截面特性无效!"},
        {Replace(beam, "1 0.01 1e-4 78500 0 0.1 0.1", "1 0 1e-4 78500 0 0 0"),
         "错误：截面1的面积为零或截面特性无效!"},
        {Replace(beam, "3 2 0 1 1 1 1 0", "2000000000 2 0 1 1 1 1 0"), "错误：内存不够!"},
    };
    for (const Case& c : cases) {
        host.messages.clear();
        auto f = Load(c.model, false);
        EXPECT_FALSE(f) << c.model;
        ASSERT_EQ(host.messages.size(), 1u) << c.model;
        EXPECT_EQ(host.messages[0], c.message) << c.model;
    }
}

// Found by fuzzing: a control line claiming two billion load cases made the engine try to
// delete two billion case files on its way out. Only files the solution wrote are removed.
TEST_F(ReaderTest, FailedReadRemovesNoCaseFiles) {
    WriteFile("m.5", "another run's case file");
    auto f = Load("7 6 4 2 2 2147483647 0 0\n", false);
    EXPECT_FALSE(f);
    EXPECT_EQ(LastMessage(), "总控数据错误！");
    EXPECT_TRUE(Exists("m.5"));
}

// Found by fuzzing: reference sections are not range-checked, and generating nodes between
// extreme ones overflowed the interpolation. They now stay invalid (no lowering).
TEST_F(ReaderTest, ExtremeReferenceSectionsInGenerationAreHarmless) {
    const std::string model =
        "4 3 0 1 1 0 1 0\n1 0 0 -2147483648 0\n4 3 0 2147483647 1\n1 1\n1 1 1 0 0 0.5 0.5\n"
        "1 1 2 1 1 1\n3 3 4 1 1 1 1\n1 111\n";
    auto f = Load(model, false);
    ASSERT_TRUE(f) << LastMessage();
    for (int n = 0; n < 4; ++n) EXPECT_EQ(f->m_nodes[n].y, 0.0);
    EXPECT_DOUBLE_EQ(f->m_nodes[2].x, 2.0);
    std::string data;
    ASSERT_TRUE(ReadWholeFile(SourcePath("tests/data/fuzz/datafile-reference-section-overflow.fem"),
                              data));
    host.messages.clear();
    Load(data, true, "fuzzed");  // must not trip the sanitizers; its outcome does not matter
    EXPECT_LE(host.messages.size(), 1u);
}

TEST_F(ReaderTest, MissingFileAndMissingFolderAreReported) {
    CPlaneFrame noFem(Path("absent.fem"), Path("absent.out"));
    EXPECT_FALSE(noFem.Read());
    EXPECT_EQ(LastMessage(), "错误：无法打开数据文件" + Path("absent.fem") + "!");
    WriteFile("m.fem", kBeam);
    CPlaneFrame noDir(Path("m.fem"), Path("no/such/dir/m.out"));
    EXPECT_FALSE(noDir.Read());
    EXPECT_EQ(LastMessage(), "错误：无法创建结果文件" + Path("no/such/dir/m.out") + "!");
}

TEST_F(ReaderTest, InfluenceListTakesAnyWhiteSpaceAndIgnoresExtraNumbers) {
    const std::string model = Replace(kBeam, "3 2 0 1 1 1 1 0", "3 2 0 1 1 1 1 2") +
                              "2\t1 2 2\n"  // tab-separated; the third number is extra
                              "1\n"
                              "2 0.5 3\n";
    auto f = Load(model, false);
    ASSERT_TRUE(f) << LastMessage();
    EXPECT_EQ(f->m_ilElements, (std::vector<int>{1, 0}));
    EXPECT_EQ(f->m_nIlLines, 1);
    EXPECT_EQ(f->m_ilRequests.size(), 2u);
    EXPECT_EQ(f->m_ilRequests[0].element, 1);
    EXPECT_EQ(f->m_ilRequests[0].quantity, 3);
    EXPECT_EQ(f->m_ilXMin, 0.0);
    EXPECT_EQ(f->m_ilXMax, 10.0);
    EXPECT_EQ(f->m_ilSampleCount, 100);
}

TEST_F(ReaderTest, WithoutLoadCasesTheInfluenceBlockFollowsTheSupports) {
    const std::string model =
        "2 1 0 1 1 0 1 1\n1 0 0\n2 4 0\n1 1\n1 1 1 0 0 0.5 0.5\n1 1 2 1 1 1\n1 111\n"
        "1\n0\n";
    auto f = Load(model, false);
    ASSERT_TRUE(f) << LastMessage();
    EXPECT_EQ(f->m_ilElements.size(), 1u);
    EXPECT_EQ(f->m_nIlLines, 0);
    EXPECT_TRUE(f->m_disp.empty());
    // The model copy ends after the supports with a nodal-load count of 0, like the copy of
    // a model with loads, so that a placement appended to it reads back.
    const std::string hz = ReadFile("m_huozai.txt");
    const std::string tail =
        "    1  111            0.000000            0.000000            0.000000\n    0\n";
    ASSERT_GE(hz.size(), tail.size());
    EXPECT_EQ(hz.substr(hz.size() - tail.size()), tail);
}

TEST_F(ReaderTest, PathBaseCutsOnlyATrailingExtension) {
    // A folder named like a data file must not move the result files.
    ASSERT_EQ(mkdir(Path("a.out.d").c_str(), 0755), 0);
    WriteFile("a.out.d/BRIDGE.FEM", kBeam);
    CPlaneFrame f(Path("a.out.d/BRIDGE.FEM"), Path("a.out.d/BRIDGE.out"));
    EXPECT_EQ(f.m_baseName, Path("a.out.d/BRIDGE"));
    ASSERT_TRUE(f.Read());
    ASSERT_TRUE(f.Solve());
    EXPECT_TRUE(Exists("a.out.d/BRIDGE.out"));
    EXPECT_TRUE(Exists("a.out.d/BRIDGE.1"));
    EXPECT_TRUE(Exists("a.out.d/BRIDGE_工况_1.out"));
}

// The echo and the model copy are formats other programs and users rely on: compare them
// byte for byte for a model that uses generation, slaves, every section kind and every
// element-load type.
TEST_F(ReaderTest, EchoAndModelCopyAreByteExact) {
    std::string model;
    ASSERT_TRUE(ReadWholeFile(SourcePath("tests/data/echo_model.fem"), model));
    auto f = Load(model, false, "echo_model");
    ASSERT_TRUE(f) << LastMessage();
    std::string out, hz;
    ASSERT_TRUE(ReadWholeFile(SourcePath("tests/data/echo_model.out.golden"), out));
    ASSERT_TRUE(ReadWholeFile(SourcePath("tests/data/echo_model.huozai.golden"), hz));
    EXPECT_EQ(ReadFile("echo_model_huozai.txt"), hz);
    EXPECT_EQ(f->m_hzText, hz);
    f.reset();  // flushes and closes the result file
    EXPECT_EQ(ReadFile("echo_model.out"), out);
}
