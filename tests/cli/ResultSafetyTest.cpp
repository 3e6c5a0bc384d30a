// Results already on disk survive a failed run, two processes never share a model's files,
// and the scratch files never take a user's file with them.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "TestSupport.h"
#include "engine/AnalysisRun.h"

namespace {

class ResultSafetyTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        std::filesystem::copy_file(SourcePath("examples/three_span_girder.fem"), Path("g.fem"));
    }
};

}  // namespace

TEST_F(ResultSafetyTest, AFailedRunLeavesThePreviousResults) {
    ASSERT_EQ(Cli("run g.fem"), 0) << err;
    const std::string out = ReadFile("g.out"), case2 = ReadFile("g_工况_2.out");

    // A malformed model used to overwrite the result file with a partial echo.
    std::string model = ReadFile("g.fem");
    WriteFile("g.fem", model.substr(0, model.find("单元:")));
    EXPECT_EQ(Cli("run g.fem"), 1);
    EXPECT_EQ(ReadFile("g.out"), out);

    // A per-case file that cannot be replaced used to leave the result file cut short.
    WriteFile("g.fem", model);
    std::filesystem::remove(Path("g_工况_3.out"));
    std::filesystem::create_directory(Path("g_工况_3.out"));
    EXPECT_EQ(Cli("run g.fem"), 1);
    EXPECT_NE(err.find("错误：无法写入文件"), std::string::npos) << err;
    EXPECT_EQ(ReadFile("g.out"), out);
    EXPECT_EQ(ReadFile("g_工况_2.out"), case2);
    // No scratch names are left behind.
    for (const auto& entry : std::filesystem::directory_iterator(m_dir))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

TEST_F(ResultSafetyTest, ScratchFilesBelongToTheModel) {
    // A user's own huozai.txt in the working folder used to be overwritten and deleted.
    WriteFile("huozai.txt", "my notes");
    ASSERT_EQ(Cli("run g.fem"), 0) << err;
    EXPECT_EQ(ReadFile("huozai.txt"), "my notes");
    EXPECT_FALSE(Exists("g_huozai.txt"));

    // --keep keeps the scratch files of a failed run too, when they are wanted most: here a
    // model free to slide sideways fails after the assembly.
    std::string model = ReadFile("g.fem");
    const size_t support = model.find("   7  110");
    ASSERT_NE(support, std::string::npos);
    model.replace(support, 9, "   7   10");
    WriteFile("g.fem", model);
    ASSERT_EQ(Cli("run g.fem --keep"), 1) << out;
    EXPECT_NE(err.find("刚度阵奇异"), std::string::npos) << err;
    EXPECT_TRUE(Exists("g.stf"));
    EXPECT_TRUE(Exists("g_huozai.txt"));
}

TEST_F(ResultSafetyTest, ASecondProcessOnTheSameModelIsRefused) {
    // Another process holds the model (as a running `dynamic` would).
    const int fd = ::open(Path("g.fem").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(Cli("run g.fem"), 1);
    EXPECT_EQ(err, "错误：数据文件g.fem正在被另一个进程使用!\n");
    EXPECT_FALSE(Exists("g.out"));
    ::close(fd);
    EXPECT_EQ(Cli("run g.fem"), 0) << err;

    // Within one process a model may be open several times (windows of one program).
    auto first = RunAnalysis(Path("g.fem"));
    auto second = RunAnalysis(Path("g.fem"));
    EXPECT_TRUE(first && second) << LastMessage();
}
