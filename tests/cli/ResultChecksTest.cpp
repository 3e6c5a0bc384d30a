// Results that are not finite numbers, response and envelope files that are cut short or
// belong to another model, and side files that are folders: each ends in a message and a
// failed run, never in a file or picture of NaN.
#include <cmath>
#include <filesystem>

#include "TestSupport.h"
#include "dynamics/DynamicsModels.h"
#include "engine/AnalysisRun.h"
#include "platform/BinaryFile.h"
#include "platform/TextFile.h"

namespace {

class ResultChecksTest : public CliTest {
protected:
    void Girder() {
        std::filesystem::copy_file(SourcePath("examples/three_span_girder.fem"), Path("g.fem"));
        std::filesystem::copy_file(SourcePath("examples/dynamic_load.txt"),
                                   Path("dynamic_load.txt"));
    }
    // Replaces the first occurrence of `what` in a file of the scratch folder.
    void Edit(const std::string& name, const std::string& what, const std::string& with) {
        std::string text = ReadFile(name);
        const size_t at = text.find(what);
        ASSERT_NE(at, std::string::npos) << what;
        WriteFile(name, text.replace(at, what.size(), with));
    }
};

const char* const kImpact = "0 0\n0.1 0.01\n0 1 0\n3 2 -1e4 0 0 0 0\n0\n";

}  // namespace

TEST_F(ResultChecksTest, ResultsThatOverflowFailTheRun) {
    Girder();
    // A nodal load of -1e308 used to give a run of exit 0 with NaN and inf in every file.
    Edit("g.fem", "-500000", "-1e308");
    EXPECT_EQ(Cli("run g.fem"), 1);
    // The load is in case 3; the message and its detail name it.
    EXPECT_EQ(err.rfind("错误：工况3的计算结果不是有限数值(数据过大)!\n工况3：", 0), 0u) << err;
    EXPECT_FALSE(Exists("g.out"));
    EXPECT_FALSE(Exists("g_工况_3.out"));

    // An influence position outside the element used to be extrapolated.
    Edit("g.fem", "-1e308", "-500000");
    Edit("g.fem", "  10  1.0  3", "  10  5.0  3");
    EXPECT_EQ(Cli("influence g.fem --line 1"), 1);
    EXPECT_EQ(err.rfind("待求影响线信息有误！\n", 0), 0u) << err;
    EXPECT_NE(err.find("位置5不在0~1之间"), std::string::npos) << err;
}

TEST_F(ResultChecksTest, DampingThatCannotBeIsRefused) {
    BeamData b;
    b.elements = 4;
    WriteFile("beam.fem", BeamModel(b));
    WriteFile("dynamic_load.txt", std::string("-0.5 0\n") + (kImpact + 4));
    EXPECT_EQ(Cli("dynamic beam.fem"), 1);
    EXPECT_NE(err.find("动力荷载数据错误：阻尼系数不能为负！"), std::string::npos) << err;
    // Damping of 1e300 overflows within the first steps: the step is named, no file is left.
    WriteFile("dynamic_load.txt", std::string("1e300 0\n") + (kImpact + 4));
    EXPECT_EQ(Cli("dynamic beam.fem"), 1);
    EXPECT_NE(err.find("错误：动力响应在第"), std::string::npos) << err;
    EXPECT_FALSE(Exists("beam.tim"));
    // The dynamic response needs no load case: its graph is drawn for a model without one.
    WriteFile("dynamic_load.txt", kImpact);
    EXPECT_EQ(Cli("render beam.fem --graph 12 --step 3 --size 400x300 --out r.png"), 0) << err;
}

TEST_F(ResultChecksTest, AResponseFileMustBeWholeAndThisModels) {
    BeamData b;
    b.elements = 4;
    WriteFile("beam.fem", BeamModel(b));
    WriteFile("dynamic_load.txt", kImpact);
    ASSERT_EQ(Cli("dynamic beam.fem"), 0) << err;
    const std::string whole = ReadFile("beam.tim");
    const size_t record = whole.size() / 11;
    ASSERT_EQ(whole.size() % 11, 0u);

    // A run killed in the middle of a record.
    WriteFile("beam.tim", whole.substr(0, whole.size() - record / 2));
    EXPECT_EQ(Cli("extract beam.fem --node 3 --dof 2"), 1);
    EXPECT_NE(err.find("不完整或不属于本模型"), std::string::npos) << err;
    // Whole records, but fewer than the load file's duration and step give.
    WriteFile("beam.tim", whole.substr(0, whole.size() - record));
    EXPECT_EQ(Cli("extract beam.fem --node 3 --dof 2"), 1);
    EXPECT_NE(err.find("应有11条"), std::string::npos) << err;
    // The response of a model with one element more has records of another length.
    BeamData c = b;
    c.elements = 5;
    WriteFile("other.fem", BeamModel(c));
    ASSERT_EQ(Cli("dynamic other.fem"), 0) << err;
    std::filesystem::copy_file(Path("other.tim"), Path("beam.tim"),
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(Cli("extract beam.fem --node 3 --dof 2"), 1);
    EXPECT_NE(err.find("不完整或不属于本模型"), std::string::npos) << err;
    EXPECT_FALSE(Exists("beam_节点3自由度2_动力响应.txt"));
}

TEST_F(ResultChecksTest, RenderRefusesEnvelopeFilesItCannotDraw) {
    Girder();
    ASSERT_EQ(Cli("envelope g.fem --type 3 --quantity 3"), 0) << err;
    const std::string good = ReadFile("g.w3");
    // Cut short: used to be drawn as a bare structure captioned as an envelope, exit 0.
    WriteFile("g.w3", good.substr(0, good.size() / 2));
    EXPECT_EQ(Cli("render g.fem --graph 5 --type 3 --out e.png"), 1);
    EXPECT_NE(err.find("不完整"), std::string::npos) << err;
    EXPECT_FALSE(Exists("e.png"));
    // Of the right size, holding NaN.
    std::string nan = good;
    const double q = std::nan("");
    nan.replace(8, 8, reinterpret_cast<const char*>(&q), 8);
    WriteFile("g.w3", nan);
    EXPECT_EQ(Cli("render g.fem --graph 5 --type 3 --out e.png"), 1);
    EXPECT_FALSE(Exists("e.png"));
    // A folder where the file should be.
    std::filesystem::remove(Path("g.w3"));
    std::filesystem::create_directory(Path("g.w3"));
    EXPECT_EQ(Cli("render g.fem --graph 5 --type 3 --out e.png"), 1);
    EXPECT_FALSE(Exists("e.png"));
}

TEST_F(ResultChecksTest, AFolderIsAFileThatCannotBeOpened) {
    BeamData b;
    WriteFile("beam.fem", BeamModel(b));
    std::filesystem::create_directory(Path("loads"));
    EXPECT_EQ(Cli("dynamic beam.fem --load loads"), 1);
    EXPECT_NE(err.find("动力荷载数据文件loads不存在"), std::string::npos) << err;
    EXPECT_EQ(err.find("缺少足够的数据"), std::string::npos) << err;
}

TEST_F(ResultChecksTest, ScratchFilesStayWhileAnotherEngineUsesThem) {
    Girder();
    // Two windows of one data file (opened again after an edit): closing the first used to
    // delete the case files and B.stf the second still draws from.
    auto first = RunAnalysis(Path("g.fem"));
    auto second = RunAnalysis(Path("g.fem"));
    ASSERT_TRUE(first && second) << LastMessage();
    first.reset();
    EXPECT_TRUE(Exists("g.1"));
    EXPECT_TRUE(Exists("g.stf"));
    EXPECT_TRUE(Exists("g_huozai.txt"));
    second.reset();
    EXPECT_FALSE(Exists("g.1"));
    EXPECT_FALSE(Exists("g.stf"));
}

TEST_F(ResultChecksTest, AModelTooLargeForTheEigenSolutionGetsOneMessage) {
    // Dense matrices of 120 000 equations need far more memory than any machine has.
    BeamData b;
    b.elements = 40000;
    b.length = 40000;
    WriteFile("long.fem", BeamModel(b));
    EXPECT_EQ(Cli("modes long.fem"), 1);
    EXPECT_NE(err.find("内存不够"), std::string::npos) << err;
    EXPECT_EQ(err.find("found no modes"), std::string::npos) << err;
}
