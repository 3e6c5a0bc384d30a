// The response run and the disk: a run that needs more room than the disk has is refused
// before it integrates, and a write that fails (a full disk, here a file-size limit in a
// child process) stops the run at once; the previous B.tim stays in both cases.
#include <signal.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "DynamicsModels.h"
#include "DynamicsRun.h"

namespace {

// What a response run in a child process reported.
struct ChildRun {
    int ok = 1;
    int percent = -1;  // the largest percentage of its progress texts
    std::vector<std::string> messages;
};

class ResponseDiskLimitsTest : public ScratchDirTest {
protected:
    int LargestPercent() const {
        int largest = -1;
        for (const std::string& s : host.statuses) {
            const size_t at = s.rfind('(');
            if (s.find("动力响应分析进行中") == std::string::npos || at == std::string::npos)
                continue;
            largest = std::max(largest, std::atoi(s.c_str() + at + 1));
        }
        return largest;
    }
    // Runs the response in a child process that may write files of `limit` bytes at most: a
    // write beyond fails with EFBIG, as on a full disk, and a run that was not refused can
    // never fill the disk.
    ChildRun RunWithFileLimit(CPlaneFrame& frame, rlim_t limit) {
        ChildRun run;
        const pid_t pid = fork();
        if (pid < 0) return run;
        if (pid == 0) {
            signal(SIGXFSZ, SIG_IGN);
            rlimit old{};
            getrlimit(RLIMIT_FSIZE, &old);
            rlimit small = old;
            small.rlim_cur = limit;
            setrlimit(RLIMIT_FSIZE, &small);
            bool ok = false;
            try {
                ok = frame.DynamicResponse();
            } catch (...) {
                _exit(2);  // never back into the test framework of the child
            }
            setrlimit(RLIMIT_FSIZE, &old);
            std::ofstream report("report.txt");
            report << ok << '\n' << LargestPercent() << '\n';
            for (const std::string& m : host.messages) report << m << '\n';
            report.close();
            _exit(0);
        }
        int status = 0;
        if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return run;
        std::istringstream report(ReadFile("report.txt"));
        report >> run.ok >> run.percent >> std::ws;
        for (std::string line; std::getline(report, line);) run.messages.push_back(line);
        return run;
    }
};

}  // namespace

TEST_F(ResponseDiskLimitsTest, ARunLargerThanTheFreeSpaceIsRefusedBeforeItStarts) {
    BeamData b;
    auto frame = Load(BeamModel(b), true);
    ASSERT_TRUE(frame) << LastMessage();
    struct statvfs fs {};
    ASSERT_EQ(statvfs(".", &fs), 0);
    const double free = static_cast<double>(fs.f_bavail) * fs.f_frsize;
    const double record = static_cast<double>(ResponseRecordBytes(frame->m_nDof));
    // Twice the free space, below the fixed limit of 1 TiB: only the free space refuses it.
    const double steps = std::ceil(2 * free / record);
    if (!(2 * free < 0.9 * 1099511627776.0) || steps >= 1.9e9)
        GTEST_SKIP() << "the disk holds too much for this case (" << free << " bytes free)";
    WriteFile(kDynamicLoadFile, FormatString("0 0\n%.0f 1\n0 1 0\n5 2 -1e5 0 0 0 0\n0\n", steps));
    WriteFile("m.tim", "the previous response");
    const ChildRun run = RunWithFileLimit(*frame, 1 << 20);
    EXPECT_EQ(run.ok, 0);
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0].rfind("错误：动力响应文件" + Path("m.tim") + "需要", 0), 0u)
        << run.messages[0];
    EXPECT_NE(run.messages[0].find("超过磁盘剩余空间或上限1099511627776字节"), std::string::npos);
    EXPECT_EQ(run.percent, -1);  // not a single step
    EXPECT_EQ(ReadFile("m.tim"), "the previous response");
}

TEST_F(ResponseDiskLimitsTest, AFailedWriteStopsTheRunAtOnce) {
    BeamData b;
    auto frame = Load(BeamModel(b), true);
    ASSERT_TRUE(frame) << LastMessage();
    // 10 001 records of 440 bytes (4.4 MB) where the child may write 64 KiB.
    ASSERT_EQ(ResponseRecordBytes(frame->m_nDof), 440);
    WriteFile(kDynamicLoadFile, "0.5 2e-4\n1 0.0001\n0 1 0\n5 2 -1e5 0 0 0 0\n0\n");
    WriteFile("m.tim", "the previous response");
    const ChildRun run = RunWithFileLimit(*frame, 65536);
    EXPECT_EQ(run.ok, 0);
    EXPECT_EQ(run.messages, std::vector<std::string>{"错误：无法写入文件" + Path("m.tim") + "!"});
    // The first 64 KiB hold about 150 records: the run stopped there, not at the end.
    EXPECT_GE(run.percent, 0);
    EXPECT_LE(run.percent, 3);
    EXPECT_EQ(ReadFile("m.tim"), "the previous response");
}
