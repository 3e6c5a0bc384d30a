// The batch tool's run command as a user calls it: exit codes, messages, files.
#include <cstdio>
#include <filesystem>

#include "TestSupport.h"

namespace {

class RunCommandTest : public ScratchDirTest {};

}  // namespace

TEST_F(RunCommandTest, EveryBundledExampleRuns) {
    int models = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SourcePath("examples"))) {
        if (entry.path().extension() != ".fem") continue;
        ++models;
        const std::string name = entry.path().filename().string();
        std::filesystem::copy_file(entry.path(), Path(name));
        const CliResult r = RunCli("run " + name);
        EXPECT_EQ(r.status, 0) << name << "\n" << r.All();
        EXPECT_NE(r.All().find("wrote " + name.substr(0, name.size() - 4) + ".out"),
                  std::string::npos)
            << r.All();
        // Like closing a result window: the scratch files are gone.
        EXPECT_FALSE(Exists(name.substr(0, name.size() - 4) + ".stf"));
        EXPECT_FALSE(Exists(name.substr(0, name.size() - 4) + "_huozai.txt"));
    }
    EXPECT_GE(models, 1);
}

TEST_F(RunCommandTest, KeepLeavesTheScratchFiles) {
    std::filesystem::copy_file(SourcePath("examples/three_span_girder.fem"), Path("g.fem"));
    const CliResult r = RunCli("run g.fem --keep");
    ASSERT_EQ(r.status, 0) << r.All();
    for (const char* name : {"g.1", "g.2", "g.3", "g.stf", "g_huozai.txt", "g.out", "g_工况_3.out"})
        EXPECT_TRUE(Exists(name)) << name;
}

TEST_F(RunCommandTest, FailuresAndUsage) {
    WriteFile("bad.fem", "3 2 0 1 1 1 0 0\n");
    CliResult r = RunCli("run bad.fem");
    EXPECT_EQ(r.status, 1);
    // The message as the program words it, then where the reading stopped.
    EXPECT_EQ(r.err, "总控数据错误！\n文件bad.fem第1行\n");

    r = RunCli("run missing.fem");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "文件不存在！\n");

    EXPECT_EQ(RunCli("run").status, 2);
    EXPECT_EQ(RunCli("run a.fem b.fem").status, 2);
    EXPECT_EQ(RunCli("run --frobnicate a.fem").status, 2);
    EXPECT_EQ(RunCli("frobnicate").status, 2);
    EXPECT_EQ(RunCli("").status, 2);
    r = RunCli("run --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.All().find("usage: morvex-cli run MODEL.fem"), std::string::npos);
    EXPECT_EQ(RunCli("--help").status, 0);
}
