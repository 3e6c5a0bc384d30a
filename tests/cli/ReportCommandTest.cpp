// The calculation report of the bundled girder, read back page by page with poppler's
// tools: page numbers, headers, section titles, the model's counts, the extreme moments
// of the result files, embedded fonts and vector diagrams.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <sstream>

#include "TestSupport.h"

namespace {

std::string Output(const std::string& cmd) {
    std::string out;
    if (FILE* p = popen((cmd + " 2>/dev/null").c_str(), "r")) {
        char buf[65536];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

int PageCount(const std::string& pdf) {
    const std::string info = Output("pdfinfo '" + pdf + "'");
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

std::string PageText(const std::string& pdf, int page) {
    const std::string n = std::to_string(page);
    return Output("pdftotext -layout -f " + n + " -l " + n + " '" + pdf + "' -");
}

bool Has(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

// The largest and smallest bending moment of a per-case listing, as printed there.
std::pair<std::string, std::string> MomentExtremes(const std::string& listing) {
    std::istringstream in(listing);
    std::string line, maxText, minText;
    double maxV = 0, minV = 0;
    bool first = true;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::string pos, n, q, m;
        if (!(f >> pos >> n >> q >> m)) continue;
        const double v = std::stod(m);
        if (first || v > maxV) maxV = v, maxText = m;
        if (first || v < minV) minV = v, minText = m;
        first = false;
    }
    return {maxText, minText};
}

class ReportCommandTest : public ScratchDirTest {
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

TEST_F(ReportCommandTest, GirderReportPageByPage) {
    const CliResult r = RunCli("report g.fem --out r.pdf --envelopes 3 --modes 2");
    ASSERT_EQ(r.status, 0) << r.All();
    const int pages = PageCount("r.pdf");
    ASSERT_GE(pages, 20);

    std::vector<std::string> text(static_cast<size_t>(pages) + 1);
    for (int p = 1; p <= pages; ++p) {
        text[p] = PageText("r.pdf", p);
        // Every page is numbered; the characters come back as drawn.
        EXPECT_TRUE(
            Has(text[p], "第 " + std::to_string(p) + " 页 共 " + std::to_string(pages) + " 页"))
            << "page " << p << ":\n"
            << text[p];
        if (p > 1) {
            EXPECT_TRUE(Has(text[p], "三跨连续梁桥")) << "header of page " << p;
        }
    }
    EXPECT_TRUE(Has(text[1], "计算程序：Morvex"));
    EXPECT_TRUE(Has(text[1], "数据文件：g.fem"));
    EXPECT_TRUE(Has(text[1], "目录"));

    // Pages by section, from the header's right-hand side.
    auto pagesOf = [&](const std::string& section) {
        std::vector<int> list;
        for (int p = 2; p <= pages; ++p) {
            const std::string head = text[p].substr(0, text[p].find('\n'));
            if (Has(head, section)) list.push_back(p);
        }
        return list;
    };
    const std::vector<int> model = pagesOf("模型");
    ASSERT_FALSE(model.empty());
    EXPECT_TRUE(Has(text[model[0]], "节点数：21"));
    EXPECT_TRUE(Has(text[model[0]], "单元数：20"));
    // The structure drawing closes the model section, laid out as a printed page.
    EXPECT_TRUE(Has(text[model.back()], "数据文件：g.fem"));
    EXPECT_TRUE(Has(text[model.back()], "比例：结构 1:"));

    for (int k = 1; k <= 3; ++k) {
        const std::vector<int> casePages = pagesOf("工况 " + std::to_string(k));
        ASSERT_GE(casePages.size(), 5u) << "case " << k;
        const auto [maxM, minM] = MomentExtremes(ReadFile("g_工况_" + std::to_string(k) + ".out"));
        const std::string& first = text[casePages[0]];
        EXPECT_TRUE(Has(first, "内力极值"));
        EXPECT_TRUE(Has(first, "约束反力"));
        // In this girder the extremes lie at element ends, so the 11-point listing has them.
        EXPECT_TRUE(Has(first, maxM)) << "case " << k << " max " << maxM << "\n" << first;
        EXPECT_TRUE(Has(first, minM)) << "case " << k << " min " << minM;
        int diagrams = 0;
        for (int p : casePages) diagrams += Has(text[p], "比例：结构");
        EXPECT_EQ(diagrams, 4) << "case " << k;
    }
    int lines = 0;
    for (int p : pagesOf("影响线")) lines += Has(text[p], "图形：影响线");
    EXPECT_EQ(lines, 4);
    EXPECT_GE(pagesOf("包络图").size(), 6u);
    EXPECT_GE(pagesOf("自振特性").size(), 3u);

    // Fonts embedded, diagrams drawn as vectors: no picture in the file.
    const std::string fonts = Output("pdffonts r.pdf");
    EXPECT_TRUE(Has(fonts, "CJK"));
    std::istringstream fontLines(fonts);
    std::string line;
    int embedded = 0, listed = 0;
    for (int n = 0; std::getline(fontLines, line); ++n) {
        if (n < 2) continue;  // heads
        std::istringstream f(line);
        std::vector<std::string> fields{std::istream_iterator<std::string>(f), {}};
        ASSERT_GE(fields.size(), 5u) << line;
        ++listed;
        embedded += fields[fields.size() - 5] == "yes";
    }
    EXPECT_GT(listed, 0);
    EXPECT_EQ(embedded, listed) << fonts;
    const std::string images = Output("pdfimages -list r.pdf");
    EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 2) << images;  // the list's heads
}

TEST_F(ReportCommandTest, ChosenCasesCombinationsAndAFailedWriteKeepsNothing) {
    std::filesystem::copy_file(SourcePath("examples/three_span_girder_组合.txt"),
                               Path("g_组合.txt"));
    const CliResult two = RunCli("report g.fem --out two.pdf --cases 2 --combinations");
    ASSERT_EQ(two.status, 0) << two.All();
    const int pages = PageCount("two.pdf");
    bool case2 = false, other = false, combined = false;
    for (int p = 2; p <= pages; ++p) {
        const std::string t = PageText("two.pdf", p);
        const std::string head = t.substr(0, t.find('\n'));
        case2 |= Has(head, "工况 2");
        other |= Has(head, "工况 1") || Has(head, "工况 3");
        combined |= Has(head, "荷载组合") && Has(t, "荷载组合 基本组合");
    }
    EXPECT_TRUE(case2);
    EXPECT_FALSE(other);
    EXPECT_TRUE(combined);

    CliResult r = RunCli("report g.fem --out no/such/dir/r.pdf");
    EXPECT_EQ(r.status, 1) << r.All();
    EXPECT_TRUE(Has(r.err, "错误：无法写入文件no/such/dir/r.pdf!")) << r.All();
    r = RunCli("report g.fem --out r.pdf --cases 4");
    EXPECT_EQ(r.status, 2) << r.All();
    r = RunCli("report g.fem");
    EXPECT_EQ(r.status, 2) << r.All();
    EXPECT_FALSE(Exists("r.pdf"));
    EXPECT_FALSE(Exists("r.pdf.part"));
}
