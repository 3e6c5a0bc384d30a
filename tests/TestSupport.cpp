#include "TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/TextFile.h"

void ScratchDirTest::SetUp() {
    char tmpl[] = "/tmp/morvex_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    m_dir = tmpl;
    m_oldDir = std::filesystem::current_path().string();
    std::filesystem::current_path(m_dir);
    SetHost(&host);
}

void ScratchDirTest::TearDown() {
    SetHost(nullptr);
    std::filesystem::current_path(m_oldDir);
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

void ScratchDirTest::WriteFile(const std::string& name, const std::string& text) const {
    ASSERT_TRUE(WriteWholeFile(Path(name), text));
}

std::string ScratchDirTest::ReadFile(const std::string& name) const {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(Path(name), text)) << name;
    return text;
}

bool ScratchDirTest::Exists(const std::string& name) const {
    return FileExists(Path(name));
}

std::unique_ptr<CPlaneFrame> ScratchDirTest::Load(const std::string& model, bool solve,
                                                  const std::string& name) {
    WriteFile(name + ".fem", model);
    auto frame = std::make_unique<CPlaneFrame>(Path(name + ".fem"), Path(name + ".out"));
    if (!frame->Read()) return nullptr;
    if (solve && !frame->Solve()) return nullptr;
    return frame;
}

std::string SourcePath(const std::string& relative) {
    return std::string(MORVEX_SOURCE_DIR) + "/" + relative;
}

CliResult RunCli(const std::string& args) {
    CliResult r;
    const std::string cmd =
        std::string(MORVEX_CLI) + " " + args + " >.cli_stdout 2>.cli_stderr </dev/null";
    const int status = std::system(cmd.c_str());
    ReadWholeFile(".cli_stdout", r.out);
    ReadWholeFile(".cli_stderr", r.err);
    RemoveFile(".cli_stdout");
    RemoveFile(".cli_stderr");
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}
