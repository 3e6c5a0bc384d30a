// The per-case files and the static results in the result file: layout, formats, cleanup,
// and failures that must not pass as success.
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "TestSupport.h"
#include "engine/CaseFile.h"
#include "platform/BinaryFile.h"

namespace {

// Cantilever of two elements (node 1 fixed) with a tip load of -12.5 in case 1 and nothing
// in case 2; node 3 also carries a second support record with code 10.
const char* const kCantilever =
    "3 2 0 1 1 2 3 0\n"
    "1 0 0\n3 4 0 0 1\n"
    "1 2e11\n1 0.01 1e-4 0 0 0.1 0.1\n"
    "1 1 2 1 1 1\n2 2 3 1 1 1\n"
    "1 111\n1 111\n2 0 0 0 0\n"
    "1\n3 1 0 -12.5 0\n0\n";

class ResultFilesTest : public ScratchDirTest {};

size_t CountOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST_F(ResultFilesTest, PerCaseFilesHaveTheirLayout) {
    auto f = Load(kCantilever, true);
    ASSERT_TRUE(f) << LastMessage();
    CCaseFileIn bin;
    ASSERT_TRUE(bin.Open(Path("m.1")));
    EXPECT_EQ(bin.Size(), 2 * casefile::kElementBytes + 3 * casefile::kExtremeBytes);
    EXPECT_TRUE(bin.Complete(2));
    // Element 1, point 0: N, Q, M = 0, 12.5, 12.5 * 4 (hogging at the fixed end).
    double rec[casefile::kValues];
    ASSERT_TRUE(bin.Next(rec));
    EXPECT_NEAR(rec[1], 12.5, 1e-9);
    EXPECT_NEAR(rec[2], 50.0, 1e-9);
    // Element 2, point 50 (1 m from the tip): M = 12.5.
    ASSERT_TRUE(bin.Point(1, 50, rec));
    EXPECT_NEAR(rec[2], 12.5, 1e-9);
    // The extreme records: M is greatest at element 0, distance 0, and least (0) at the tip.
    ExtremeRecord x;
    ASSERT_TRUE(bin.Extreme(2, 2, x));
    EXPECT_EQ(x.maxElement, 0);
    EXPECT_EQ(x.maxAt, 0.0);
    EXPECT_NEAR(x.maxValue, 50.0, 1e-9);
    EXPECT_EQ(x.minElement, 1);
    EXPECT_NEAR(x.minAt, 2.0, 1e-12);
    EXPECT_NEAR(x.minValue, 0.0, 1e-9);
    // On disk the element numbers are followed by a zero int32 (reserved).
    CBinaryIn raw;
    ASSERT_TRUE(raw.Open(Path("m.1")));
    std::int32_t el = -1, pad = -1;
    ASSERT_TRUE(raw.Seek(casefile::ExtremeOffset(2, 2)) && raw.Int32(el) && raw.Int32(pad));
    EXPECT_EQ(el, 0);
    EXPECT_EQ(pad, 0);
    EXPECT_FALSE(bin.Extreme(3, 0, x));  // past the end

    const std::string txt = ReadFile("m_工况_1.out");
    EXPECT_EQ(txt.rfind("单元        位置           轴力              剪力             弯矩", 0),
              0u);
    EXPECT_EQ(CountOf(txt, "\n           0.000000"), 2u);
    EXPECT_EQ(CountOf(txt, "\n           1.000000"), 2u);
    EXPECT_EQ(CountOf(txt, "\n    "), 2u * 11 + 2);  // 11 points and a heading per element
    EXPECT_NE(
        txt.find(
            "\n\n    1\n           0.000000   -0.000000e+000    1.250000e+001    5.000000e+001"),
        std::string::npos)
        << txt;
}

TEST_F(ResultFilesTest, ResultFileFormatsOfEachSection) {
    auto f = Load(kCantilever, true);
    ASSERT_TRUE(f) << LastMessage();
    f.reset();
    const std::string out = ReadFile("m.out");
    // Displacements: three-digit exponents.
    EXPECT_NE(
        out.find("\n结构位移(x位移、y位移、转角):\n节点    1:\n工况:\n    1        0.000000e+000"),
        std::string::npos);
    // End forces: the exponent's leading zero is dropped, and with it one column of the
    // field (12.5 -> " 1.250000e+01").
    EXPECT_NE(out.find("\n单元    1:\n工况:\n    1  0.000000e+00  1.250000e+01  5.000000e+01  "
                       "0.000000e+00 -1.250000e+01"),
              std::string::npos)
        << out;
    // Reactions: three digits again; one block per support record, so node 1 twice.
    EXPECT_NE(
        out.find("\n\n各工况的约束反力:\n\n节点:    1   自由度:               1               2    "
                 "           3"
                 "\n工况:    1                  0.000000e+000   1.250000e+001   5.000000e+001"),
        std::string::npos)
        << out;
    EXPECT_EQ(CountOf(out, "\n\n节点:    1   自由度:"), 2u);
    // A support record with code 0 on a free node shows zeros.
    EXPECT_NE(
        out.find("\n\n节点:    2   自由度:               1               2               3"
                 "\n工况:    1                  0.000000e+000   0.000000e+000   0.000000e+000"),
        std::string::npos);
}

TEST_F(ResultFilesTest, ScratchFilesGoWithTheEngineAndResultsStay) {
    auto f = Load(kCantilever, true);
    ASSERT_TRUE(f) << LastMessage();
    for (const char* name : {"m.1", "m.2", "m.stf", "m_huozai.txt"})
        EXPECT_TRUE(Exists(name)) << name;
    f.reset();
    for (const char* name : {"m.1", "m.2", "m.stf", "m_huozai.txt"})
        EXPECT_FALSE(Exists(name)) << name;
    for (const char* name : {"m.out", "m_工况_1.out", "m_工况_2.out"})
        EXPECT_TRUE(Exists(name)) << name;
}

TEST_F(ResultFilesTest, UnwritablePerCaseFileFailsTheRun) {
    ASSERT_EQ(mkdir(Path("m.2").c_str(), 0755), 0);  // a folder where case 2's file belongs
    EXPECT_FALSE(Load(kCantilever, true));
    EXPECT_EQ(LastMessage(), "错误：无法写入文件" + Path("m.2") + "!");
}

TEST_F(ResultFilesTest, MissingStiffnessFileFailsTheRun) {
    WriteFile("m.fem", kCantilever);
    CPlaneFrame f(Path("m.fem"), Path("m.out"));
    ASSERT_TRUE(f.Read());
    ASSERT_TRUE(f.MarkSupports() && f.LayoutBand() && f.Assemble());
    WriteFile("m.stf", "short");
    f.ApplySupports();
    ASSERT_TRUE(f.Factorize());
    f.Substitute(f.m_disp.data(), f.m_nCases);
    CPendingReplacements pending;
    ASSERT_TRUE(f.WriteCaseFiles(pending));
    // Results without their reactions are not a finished run (another run's cleanup may
    // have taken the file).
    EXPECT_FALSE(f.WriteResults());
    EXPECT_EQ(LastMessage(), "错误：总刚度文件" + Path("m.stf") + "缺失或不完整,反力无法计算!");
}

namespace {

// Asks the engine to stop once the status names a stage (as the window's 取消 would).
class CStopAtStageHost : public CRecordingHost {
public:
    CStopAtStageHost(CPlaneFrame*& frame, const std::string& stage) : m_frame(frame), m_stage(stage) {}
    void Status(const std::string& text) override {
        CRecordingHost::Status(text);
        if (m_frame && text.find(m_stage) != std::string::npos) m_frame->m_keepRunning = 0;
    }

private:
    CPlaneFrame*& m_frame;
    std::string m_stage;
};

}  // namespace

TEST_F(ResultFilesTest, AStoppedRunLeavesEveryOldResultFile) {
    // Stopped after the case files are complete, while the result file is written, and
    // while reading: each time the old files stay, no scratch file is left, and no message.
    for (const char* stage : {"写入结果文件", "写入各工况内力文件", "形成总刚度矩阵"}) {
        WriteFile("m.fem", kCantilever);
        WriteFile("m.out", "old\n");
        WriteFile("m_工况_1.out", "old 1\n");
        CPlaneFrame* running = nullptr;
        CStopAtStageHost stopper(running, stage);
        SetHost(&stopper);
        {
            CPlaneFrame f(Path("m.fem"), Path("m.out"));
            running = &f;
            EXPECT_FALSE(f.Read() && f.Solve()) << stage;
            running = nullptr;
        }
        SetHost(&host);
        EXPECT_TRUE(stopper.messages.empty()) << stage;
        EXPECT_FALSE(stopper.statuses.empty()) << stage;
        EXPECT_EQ(ReadFile("m.out"), "old\n") << stage;
        EXPECT_EQ(ReadFile("m_工况_1.out"), "old 1\n") << stage;
        EXPECT_FALSE(Exists("m_工况_2.out")) << stage;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir))
            EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    }
    // Not stopped: the run replaces them.
    ASSERT_TRUE(Load(kCantilever, true)) << LastMessage();
    EXPECT_NE(ReadFile("m_工况_1.out"), "old 1\n");
}
