// The batch tool's run command as a user calls it: exit codes, messages, files.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "TestSupport.h"

namespace {

struct Result {
    int status = -1;
    std::string out;  // stdout and stderr together
};

Result Cli(const std::string& args) {
    Result r;
    const std::string cmd = std::string(MORVEX_CLI) + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

class RunCommandTest : public ScratchDirTest {};

}  // namespace

TEST_F(RunCommandTest, EveryBundledExampleRuns) {
    int models = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SourcePath("examples"))) {
        if (entry.path().extension() != ".fem") continue;
        ++models;
        const std::string name = entry.path().filename().string();
        std::filesystem::copy_file(entry.path(), Path(name));
        const Result r = Cli("run " + name);
        EXPECT_EQ(r.status, 0) << name << "\n" << r.out;
        EXPECT_NE(r.out.find("wrote " + name.substr(0, name.size() - 4) + ".out"),
                  std::string::npos)
            << r.out;
        // Like closing a result window: the scratch files are gone.
        EXPECT_FALSE(Exists(name.substr(0, name.size() - 4) + ".stf"));
        EXPECT_FALSE(Exists("huozai.txt"));
    }
    EXPECT_GE(models, 1);
}

TEST_F(RunCommandTest, KeepLeavesTheScratchFiles) {
    std::filesystem::copy_file(SourcePath("examples/three_span_girder.fem"), Path("g.fem"));
    const Result r = Cli("run g.fem --keep");
    ASSERT_EQ(r.status, 0) << r.out;
    for (const char* name : {"g.1", "g.2", "g.3", "g.stf", "huozai.txt", "g.out", "g_工况_3.out"})
        EXPECT_TRUE(Exists(name)) << name;
}

TEST_F(RunCommandTest, FailuresAndUsage) {
    WriteFile("bad.fem", "3 2 0 1 1 1 0 0\n");
    Result r = Cli("run bad.fem");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "总控数据错误！\n");

    r = Cli("run missing.fem");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "文件不存在！\n");

    EXPECT_EQ(Cli("run").status, 2);
    EXPECT_EQ(Cli("run a.fem b.fem").status, 2);
    EXPECT_EQ(Cli("run --frobnicate a.fem").status, 2);
    EXPECT_EQ(Cli("frobnicate").status, 2);
    EXPECT_EQ(Cli("").status, 2);
    r = Cli("run --help");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("usage: morvex-cli run MODEL.fem"), std::string::npos);
    EXPECT_EQ(Cli("--help").status, 0);
}
