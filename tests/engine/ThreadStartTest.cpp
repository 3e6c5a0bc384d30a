// Work that two threads share goes on with one when no thread can be started: the case files
// of the static analysis and the envelope search, in a child process of an ordinary user
// whose process limit is 0.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <system_error>
#include <thread>

#include "TestSupport.h"
#include "engine/AnalysisRun.h"
#include "platform/Format.h"
#include "platform/TextFile.h"

namespace {

class ThreadStartTest : public ScratchDirTest {};

constexpr int kCannotLimit = 77;

// Runs work in a child process that cannot start a thread; its exit code is 0 when work
// returned true, 1 when false, 2 when it threw, kCannotLimit when this machine does not allow
// the limit.
int WithoutThreads(const std::function<bool()>& work) {
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        // Root is exempt from the process limit: the child becomes an ordinary user first.
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(kCannotLimit);
        const rlimit none{0, 0};
        if (setrlimit(RLIMIT_NPROC, &none) != 0) _exit(kCannotLimit);
        try {
            std::thread probe([] {});
            probe.join();
            _exit(kCannotLimit);
        } catch (const std::system_error&) {
        }
        // An exception must not return into the test framework of the child.
        try {
            _exit(work() ? 0 : 1);
        } catch (...) {
            _exit(2);
        }
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace

TEST_F(ThreadStartTest, CaseFilesAndEnvelopesNeedNoSecondThread) {
    std::string model;
    ASSERT_TRUE(ReadWholeFile(SourcePath("examples/three_span_girder.fem"), model));
    WriteFile("a.fem", model);
    WriteFile("b.fem", model);
    ASSERT_EQ(chmod(m_dir.c_str(), 0777), 0);
    const int code = WithoutThreads([&] {
        auto frame = RunAnalysis(Path("a.fem"));
        return frame && frame->ComputeEnvelope(1, 3) && host.messages.empty();
    });
    if (code == kCannotLimit) GTEST_SKIP() << "no process limit can be set here";
    // Before, std::system_error from the second writer of the case files ended the process.
    ASSERT_EQ(code, 0);

    // The same files as a run with its two workers.
    auto frame = RunAnalysis(Path("b.fem"));
    ASSERT_TRUE(frame) << LastMessage();
    ASSERT_TRUE(frame->ComputeEnvelope(1, 3)) << LastMessage();
    ASSERT_EQ(frame->m_nCases, 3);
    for (int k = 1; k <= 3; ++k) {
        const std::string name = FormatString("_工况_%d.out", k);
        EXPECT_EQ(ReadFile("a" + name), ReadFile("b" + name)) << k;
    }
    const std::string envelope = frame->EnvelopeTextPath(1, 3);
    const std::string other = Path("a") + envelope.substr(Path("b").size());
    ASSERT_TRUE(FileExists(other)) << other;
    std::string mine, theirs;
    ASSERT_TRUE(ReadWholeFile(envelope, mine));
    ASSERT_TRUE(ReadWholeFile(other, theirs));
    EXPECT_EQ(mine, theirs);
    EXPECT_GT(mine.size(), 1000u);
}
