// The DXF drawing of the batch tool's render command, read back with dxflib: the layers and
// what each holds, the structure's nodes at their coordinates in metres, Chinese text.
#include <dl_creationadapter.h>
#include <dl_dxf.h>
#include <iconv.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "TestSupport.h"

namespace {

// The file's code page (936) back to UTF-8.
std::string FromCodePage(const std::string& s) {
    iconv_t cd = iconv_open("UTF-8", "CP936");
    std::string out(s.size() * 3 + 1, '\0');
    char* in = const_cast<char*>(s.data());
    char* o = out.data();
    size_t inLeft = s.size(), outLeft = out.size();
    iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

struct Counted {
    int lines = 0, polylines = 0, closed = 0, arcs = 0, texts = 0, points = 0;
};

class Reader : public DL_CreationAdapter {
public:
    std::map<std::string, Counted> layers;  // by UTF-8 layer name
    std::set<std::string> declared;
    std::vector<std::array<double, 4>> structureLines;
    std::vector<std::pair<std::string, std::string>> texts;  // layer, text
    std::vector<double> textHeights;
    std::set<std::string> styles;
    std::vector<std::string> textStyles;

    void addLayer(const DL_LayerData& d) override { declared.insert(FromCodePage(d.name)); }
    void addTextStyle(const DL_StyleData& d) override { styles.insert(d.name); }
    void addLine(const DL_LineData& d) override {
        ++Current().lines;
        if (Layer() == "结构") structureLines.push_back({d.x1, d.y1, d.x2, d.y2});
    }
    void addPolyline(const DL_PolylineData& d) override {
        ++Current().polylines;
        if (d.flags & 1) ++Current().closed;
    }
    void addArc(const DL_ArcData&) override { ++Current().arcs; }
    void addPoint(const DL_PointData&) override { ++Current().points; }
    void addText(const DL_TextData& d) override {
        ++Current().texts;
        texts.push_back({Layer(), FromCodePage(d.text)});
        textHeights.push_back(d.height);
        textStyles.push_back(d.style);
    }

private:
    std::string Layer() { return FromCodePage(getAttributes().getLayer()); }
    Counted& Current() { return layers[Layer()]; }
};

class DxfExportTest : public ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
#ifndef MORVEX_HAS_RENDER
        GTEST_SKIP() << "built without the desktop parts";
#endif
        std::filesystem::copy_file(SourcePath("examples/three_span_girder.fem"), Path("g.fem"));
    }

    bool ReadBack(const std::string& path, Reader& reader) {
        DL_Dxf dxf;
        return dxf.in(path, &reader);
    }
};

}  // namespace

TEST_F(DxfExportTest, LayersHoldTheirPartsOfTheMomentDiagram) {
    const CliResult r = RunCli("render g.fem --graph 2 --case 3 --out m.dxf");
    ASSERT_EQ(r.status, 0) << r.All();
    Reader dxf;
    ASSERT_TRUE(ReadBack("m.dxf", dxf));
    for (const char* name : {"结构", "节点号", "单元号", "图形", "标注", "支座"})
        EXPECT_TRUE(dxf.declared.count(name)) << name;

    // 20 elements and 21 node marks; every node and element numbered.
    EXPECT_EQ(dxf.layers["结构"].lines, 20);
    EXPECT_EQ(dxf.layers["结构"].closed, 21);
    EXPECT_EQ(dxf.layers["节点号"].texts, 21);
    EXPECT_EQ(dxf.layers["单元号"].texts, 20);
    // Four vertical supports (three strokes each) and one horizontal restraint at node 7.
    EXPECT_EQ(dxf.layers["支座"].lines, 15);
    // The diagram: an ordinate at both ends of every element and the curve as polylines,
    // not as dots.
    EXPECT_EQ(dxf.layers["图形"].lines, 40);
    EXPECT_GE(dxf.layers["图形"].polylines, 20);
    EXPECT_EQ(dxf.layers["图形"].points, 0);
    // The extreme labels (overall, and those of the spans that do not collide) with their
    // leaders, and the caption in Chinese.
    EXPECT_GE(dxf.layers["标注"].lines, 2);
    EXPECT_EQ(dxf.layers["标注"].texts, dxf.layers["标注"].lines + 1);
    bool caption = false;
    for (const auto& [layer, text] : dxf.texts) caption |= layer == "标注" && text == "工况：3";
    EXPECT_TRUE(caption);
    EXPECT_TRUE(dxf.styles.count("MORVEX_CJK"));
    for (const std::string& style : dxf.textStyles) EXPECT_EQ(style, "MORVEX_CJK");
}

TEST_F(DxfExportTest, NodesSitAtTheirCoordinatesInMetres) {
    // The structure alone, in a small picture: the coordinates must not depend on its pixels.
    ASSERT_EQ(RunCli("render g.fem --graph 0 --size 300x200 --out s.dxf").status, 0);
    ASSERT_EQ(RunCli("export g.fem --csv t").status, 0);
    Reader dxf;
    ASSERT_TRUE(ReadBack("s.dxf", dxf));
    // Node coordinates from the exported node table.
    std::vector<std::pair<double, double>> nodes;
    const std::string csv = ReadFile("t/节点.csv");
    size_t at = csv.find('\n');
    while (at != std::string::npos && at + 1 < csv.size()) {
        int n = 0;
        double x = 0, y = 0;
        if (std::sscanf(csv.c_str() + at + 1, "%d,%lf,%lf", &n, &x, &y) == 3)
            nodes.push_back({x, y});
        at = csv.find('\n', at + 1);
    }
    ASSERT_EQ(nodes.size(), 21u);
    ASSERT_EQ(dxf.structureLines.size(), 20u);
    // Element e runs from node e to node e + 1 in this model; x in metres as in the data file.
    for (size_t e = 0; e < 20; ++e) {
        const auto& l = dxf.structureLines[e];
        EXPECT_DOUBLE_EQ(l[0], nodes[e].first) << e;
        EXPECT_DOUBLE_EQ(l[1], nodes[e].second) << e;
        EXPECT_DOUBLE_EQ(l[2], nodes[e + 1].first) << e;
        EXPECT_DOUBLE_EQ(l[3], nodes[e + 1].second) << e;
    }
    EXPECT_EQ(dxf.structureLines[19][2], 100.0);
    // Labels keep their size on the sheet: in a 300 pixel wide picture of a 100 m girder a
    // 2.5 mm character is several metres high.
    ASSERT_FALSE(dxf.textHeights.empty());
    EXPECT_GT(dxf.textHeights[0], 1.0);
}

TEST_F(DxfExportTest, AnUnwritableFileIsReported) {
    const CliResult r = RunCli("render g.fem --graph 0 --out no/such/dir/s.dxf");
    EXPECT_EQ(r.status, 1) << r.All();
    EXPECT_NE(r.err.find("错误：无法写入文件no/such/dir/s.dxf!"), std::string::npos) << r.All();
}
