// The batch tool's render command end to end: PNG and SVG files, their size and
// resolution, the graph drawn, and the refusals.
#include <cstdio>
#include <filesystem>

#include "TestSupport.h"
#include "platform/TextFile.h"

namespace {

unsigned BigEndian32(const std::string& s, size_t at) {
    return (static_cast<unsigned char>(s[at]) << 24) |
           (static_cast<unsigned char>(s[at + 1]) << 16) |
           (static_cast<unsigned char>(s[at + 2]) << 8) | static_cast<unsigned char>(s[at + 3]);
}

class RenderCommandTest : public ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
#ifndef MORVEX_HAS_RENDER
        GTEST_SKIP() << "built without the desktop parts";
#endif
        std::filesystem::copy_file(SourcePath("examples/three_span_girder.fem"), Path("g.fem"));
    }
};

}  // namespace

TEST_F(RenderCommandTest, PngHasTheAskedSizeAndResolution) {
    const CliResult r =
        RunCli("render g.fem --graph 2 --case 3 --size 640x360 --dpi 144 --out m.png");
    ASSERT_EQ(r.status, 0) << r.All();
    EXPECT_NE(r.All().find("工况：3"), std::string::npos) << r.All();
    const std::string png = ReadFile("m.png");
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian32(png, 16), 640u);
    EXPECT_EQ(BigEndian32(png, 20), 360u);
    const size_t phys = png.find("pHYs");
    ASSERT_NE(phys, std::string::npos);
    EXPECT_EQ(BigEndian32(png, phys + 4), 5669u);  // 144 dpi in dots per metre
    // Scratch files go as after a window closes; the picture stays.
    EXPECT_FALSE(Exists("g.3"));
    EXPECT_FALSE(Exists("g_huozai.txt"));
}

TEST_F(RenderCommandTest, SvgShowsTheDiagramInItsColours) {
    ASSERT_EQ(RunCli("render g.fem --graph 0 --size 800x400 --out s.svg").status, 0);
    const CliResult r = RunCli("render g.fem --graph 2 --size 800x400 --out m.svg");
    ASSERT_EQ(r.status, 0) << r.All();
    const std::string structure = ReadFile("s.svg"), moment = ReadFile("m.svg");
    EXPECT_NE(structure.find("viewBox=\"0 0 800 400\""), std::string::npos);
    // Both curves of sign: magenta above, green below; the structure alone has neither.
    EXPECT_NE(moment.find("#ff00ff"), std::string::npos);
    EXPECT_NE(moment.find("#008000"), std::string::npos);
    EXPECT_EQ(structure.find("#ff00ff"), std::string::npos);
    EXPECT_NE(structure.find("结构图"), std::string::npos);
    EXPECT_EQ(RunCli("render g.fem --graph 2 --size 800x400 --no-caption --out n.svg").status, 0);
    EXPECT_EQ(ReadFile("n.svg").find("工况"), std::string::npos);
}

TEST_F(RenderCommandTest, RefusesWhatItCannotDraw) {
    CliResult r = RunCli("render g.fem --graph 14 --out e.png");
    EXPECT_EQ(r.status, 2) << r.All();
    EXPECT_NE(r.All().find("unknown graph kind 14"), std::string::npos) << r.All();
    r = RunCli("render g.fem --graph 5 --type 14 --out e.png");
    EXPECT_EQ(r.status, 2) << r.All();
    r = RunCli("render g.fem --graph 8 --entry 43 --out e.png");
    EXPECT_EQ(r.status, 2) << r.All();
    r = RunCli("render g.fem --graph 2 --case 4 --out e.png");
    EXPECT_EQ(r.status, 2) << r.All();
    r = RunCli("render g.fem --graph 8 --line 5 --out e.png");
    EXPECT_EQ(r.status, 2) << r.All();
    r = RunCli("render g.fem --graph 2 --out e.gif");
    EXPECT_EQ(r.status, 2) << r.All();
    EXPECT_NE(r.All().find(".png, .svg or .dxf"), std::string::npos) << r.All();
    r = RunCli("render g.fem --graph 2 --size 10x10 --out e.png");
    EXPECT_EQ(r.status, 2) << r.All();
    r = RunCli("render missing.fem --graph 0 --out e.png");
    EXPECT_EQ(r.status, 1) << r.All();
    EXPECT_NE(r.All().find("文件不存在！"), std::string::npos) << r.All();
    r = RunCli("render g.fem --graph 2 --out nodir/e.png");
    EXPECT_EQ(r.status, 1) << r.All();
    EXPECT_FALSE(Exists("e.png"));
}

TEST_F(RenderCommandTest, EnvelopeAndPlacedLiveLoadAreDrawn) {
    // The envelope file is computed when it is missing and kept for the next picture.
    CliResult r = RunCli("render g.fem --graph 5 --type 3 --size 800x400 --out env.svg");
    ASSERT_EQ(r.status, 0) << r.All();
    EXPECT_NE(r.All().find("包络图"), std::string::npos) << r.All();
    EXPECT_TRUE(Exists("g.w3"));
    EXPECT_NE(ReadFile("env.svg").find("汽车—20级"), std::string::npos);
    r = RunCli("render g.fem --graph 5 --type 3 --size 800x400 --out env2.svg");
    ASSERT_EQ(r.status, 0) << r.All();
    EXPECT_EQ(r.All().find("computing"), std::string::npos) << r.All();

    r = RunCli("render g.fem --graph 8 --line 2 --entry 11 --size 800x400 --out ll.svg");
    ASSERT_EQ(r.status, 0) << r.All();
    EXPECT_NE(ReadFile("ll.svg").find("荷载引起的最值为："), std::string::npos);
    EXPECT_TRUE(Exists("g_活载.fem"));
}

TEST_F(RenderCommandTest, ModeShapeAndResponseStepAreDrawn) {
    CliResult r = RunCli("render g.fem --graph 9 --mode 2 --size 800x400 --out mode.svg");
    ASSERT_EQ(r.status, 0) << r.All();
    EXPECT_NE(r.All().find("频率2："), std::string::npos) << r.All();
    r = RunCli("render g.fem --graph 9 --mode 999 --out mode.svg");
    EXPECT_EQ(r.status, 2) << r.All();

    // Without a dynamic load file the response cannot be computed.
    r = RunCli("render g.fem --graph 12 --out resp.png");
    EXPECT_EQ(r.status, 1) << r.All();
    std::filesystem::copy_file(SourcePath("examples/dynamic_load.txt"), Path("dynamic_load.txt"));
    r = RunCli("render g.fem --graph 12 --step 201 --size 800x400 --out resp.svg");
    ASSERT_EQ(r.status, 0) << r.All();
    EXPECT_NE(r.All().find("时间：2.0000e+000"), std::string::npos) << r.All();
    EXPECT_TRUE(Exists("g.tim"));
    r = RunCli("render g.fem --graph 12 --step 100000 --out resp.svg");
    EXPECT_EQ(r.status, 2) << r.All();
    r = RunCli("render g.fem --graph 12 --step 201 --moment --size 800x400 --out moment.png");
    ASSERT_EQ(r.status, 0) << r.All();
    EXPECT_NE(r.out.find("时间：2.0000e+000  弯矩"), std::string::npos) << r.All();
    r = RunCli("render g.fem --graph 1 --moment --out moment.png");
    EXPECT_EQ(r.status, 2) << r.All();
}

TEST_F(RenderCommandTest, CombinedEnvelopeIsDrawnByName) {
    std::filesystem::copy_file(SourcePath("examples/three_span_girder_组合.txt"),
                               Path("g_组合.txt"));
    // The first combination of the file, its files computed first.
    CliResult r = RunCli("render g.fem --graph combination --size 800x400 --out c.svg");
    ASSERT_EQ(r.status, 0) << r.All();
    EXPECT_NE(r.All().find("组合包络图：基本组合 弯矩"), std::string::npos) << r.All();
    EXPECT_TRUE(Exists("g_组合_基本组合.bin"));
    EXPECT_NE(ReadFile("c.svg").find("荷载组合：基本组合"), std::string::npos);
    r = RunCli("render g.fem --graph 13 --name 准永久组合 --quantity 2 --size 800x400 --out q.png");
    ASSERT_EQ(r.status, 0) << r.All();
    EXPECT_NE(r.All().find("组合包络图：准永久组合 剪力"), std::string::npos) << r.All();

    r = RunCli("render g.fem --graph combination --name 无此组合 --out x.png");
    EXPECT_EQ(r.status, 2) << r.All();
    r = RunCli("render g.fem --graph combination --quantity 4 --out x.png");
    EXPECT_EQ(r.status, 2) << r.All();
    // A cut file is reported, not drawn.
    const std::string bin = ReadFile("g_组合_基本组合.bin");
    WriteWholeFile(Path("g_组合_基本组合.bin"), bin.substr(0, bin.size() - 8));
    r = RunCli("render g.fem --graph combination --out x.png");
    EXPECT_EQ(r.status, 1) << r.All();
    EXPECT_NE(r.All().find("不完整"), std::string::npos) << r.All();
    EXPECT_FALSE(Exists("x.png"));
}
