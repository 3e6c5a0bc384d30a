// The batch tool's export command: the workbook read back from its sheet XML and the CSV
// files, checked against the per-case result files and against equilibrium.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "TestSupport.h"

namespace {

// What `unzip -p` prints for one member of a zip file.
std::string Unzip(const std::string& zip, const std::string& member) {
    const std::string cmd = "unzip -p '" + zip + "' '" + member + "' 2>/dev/null";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[65536];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

// One sheet of a workbook: cell text by (row, column), both 1-based; shared strings resolved.
class Sheet {
public:
    std::map<std::pair<int, int>, std::string> cells;
    std::string xml;

    std::string At(int row, int col) const {
        const auto it = cells.find({row, col});
        return it == cells.end() ? std::string() : it->second;
    }
    double Number(int row, int col) const { return std::stod(At(row, col)); }
    int Rows() const {
        int n = 0;
        for (const auto& c : cells) n = std::max(n, c.first.first);
        return n;
    }
};

int ColumnIndex(const std::string& letters) {
    int c = 0;
    for (char ch : letters) c = c * 26 + (ch - 'A' + 1);
    return c;
}

Sheet ReadSheet(const std::string& zip, const std::string& name) {
    Sheet sheet;
    std::vector<std::string> strings;
    const std::string sst = Unzip(zip, "xl/sharedStrings.xml");
    const std::regex si("<si><t[^>]*>([^<]*)</t></si>");
    for (auto it = std::sregex_iterator(sst.begin(), sst.end(), si); it != std::sregex_iterator();
         ++it)
        strings.push_back((*it)[1]);
    // Sheets are numbered in the order of the workbook's list.
    const std::string book = Unzip(zip, "xl/workbook.xml");
    const std::regex entry("<sheet name=\"([^\"]*)\"");
    int index = 0, found = 0;
    for (auto it = std::sregex_iterator(book.begin(), book.end(), entry);
         it != std::sregex_iterator(); ++it) {
        ++index;
        if ((*it)[1] == name) found = index;
    }
    if (found == 0) return sheet;
    sheet.xml = Unzip(zip, "xl/worksheets/sheet" + std::to_string(found) + ".xml");
    const std::regex cell("<c r=\"([A-Z]+)([0-9]+)\"([^>]*)><v>([^<]*)</v></c>");
    for (auto it = std::sregex_iterator(sheet.xml.begin(), sheet.xml.end(), cell);
         it != std::sregex_iterator(); ++it) {
        std::string value = (*it)[4];
        if ((*it)[3].str().find("t=\"s\"") != std::string::npos)
            value = strings.at(static_cast<size_t>(std::stoi(value)));
        sheet.cells[{std::stoi((*it)[2]), ColumnIndex((*it)[1])}] = value;
    }
    return sheet;
}

// The numbers of the per-case listing: per element 11 lines of position, N, Q, M.
std::vector<std::array<double, 4>> CaseListing(const std::string& text) {
    std::vector<std::array<double, 4>> rows;
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);  // heading
    while (std::getline(in, line)) {
        std::array<double, 4> r{};
        std::istringstream fields(line);
        if (fields >> r[0] >> r[1] >> r[2] >> r[3]) rows.push_back(r);
    }
    return rows;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void ExpectClose(double expected, double actual, const std::string& where) {
    EXPECT_LE(std::fabs(expected - actual), 1e-6 * std::fabs(expected) + 1e-6) << where;
}

class ExportCommandTest : public ScratchDirTest {
protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        std::filesystem::copy_file(SourcePath("examples/three_span_girder.fem"), Path("g.fem"));
    }
};

}  // namespace

TEST_F(ExportCommandTest, WorkbookHoldsTheNumbersOfTheResultFiles) {
    const CliResult r = RunCli("export g.fem --xlsx r.xlsx --envelopes 3 --modes 2");
    ASSERT_EQ(r.status, 0) << r.All();

    // Internal forces of every case equal the per-case listings (printed to 7 digits).
    for (int k = 1; k <= 3; ++k) {
        const Sheet s = ReadSheet("r.xlsx", "内力 工况" + std::to_string(k));
        ASSERT_EQ(s.At(1, 6), "弯矩 M (N·m)");
        const auto listing = CaseListing(ReadFile("g_工况_" + std::to_string(k) + ".out"));
        ASSERT_EQ(listing.size(), 20u * 11u);
        ASSERT_EQ(s.Rows(), 1 + 220);
        for (size_t i = 0; i < listing.size(); ++i) {
            const int row = static_cast<int>(i) + 2;
            EXPECT_EQ(s.Number(row, 1), static_cast<double>(i / 11 + 1));
            ExpectClose(listing[i][0], s.Number(row, 2), "position row " + std::to_string(row));
            for (int q = 1; q <= 3; ++q)
                ExpectClose(listing[i][q], s.Number(row, 3 + q),
                            "case " + std::to_string(k) + " row " + std::to_string(row));
        }
        // Numbers are numbers, and the heads stay in view.
        EXPECT_EQ(s.xml.find("<c r=\"F2\" t=\"s\""), std::string::npos);
        EXPECT_NE(s.xml.find("ySplit=\"1\""), std::string::npos);
        EXPECT_NE(s.xml.find("state=\"frozen\""), std::string::npos);
    }

    // The reactions carry the whole load: case 3 is 30 kN/m along every element (the ones
    // next to the deeper pier sections slope a little) and 500 kN at node 11.
    const Sheet elements = ReadSheet("r.xlsx", "单元");
    ASSERT_EQ(elements.At(1, 7), "长度 (m)");
    double length = 0;
    for (int row = 2; row <= 21; ++row) length += elements.Number(row, 7);
    EXPECT_GT(length, 100.0);
    const Sheet reactions = ReadSheet("r.xlsx", "反力");
    ASSERT_EQ(reactions.At(1, 4), "Ry (N)");
    double ry = 0;
    int supports = 0;
    for (int row = 2; row <= reactions.Rows(); ++row)
        if (reactions.Number(row, 2) == 3) {
            ry += reactions.Number(row, 4);
            ++supports;
        }
    EXPECT_EQ(supports, 4);
    EXPECT_NEAR(ry, 30000.0 * length + 500000, 1e-3);

    // The nodes at their coordinates, the envelope of the asked type, two frequencies.
    const Sheet nodes = ReadSheet("r.xlsx", "节点");
    ASSERT_EQ(nodes.Rows(), 22);
    EXPECT_EQ(nodes.Number(12, 2), 50.0);
    const Sheet envelope = ReadSheet("r.xlsx", "弯矩包络 汽车20级");
    ASSERT_EQ(envelope.Rows(), 1 + 220);
    for (int row = 2; row <= envelope.Rows(); ++row)
        EXPECT_GE(envelope.Number(row, 3), envelope.Number(row, 4)) << row;
    const Sheet freq = ReadSheet("r.xlsx", "频率");
    ASSERT_EQ(freq.Rows(), 3);
    EXPECT_GT(freq.Number(2, 2), 0);
    EXPECT_LE(freq.Number(2, 2), freq.Number(3, 2));
    ExpectClose(2 * M_PI / freq.Number(2, 2), freq.Number(2, 4), "period");
    const Sheet lines = ReadSheet("r.xlsx", "影响线");
    EXPECT_EQ(lines.At(1, 5), "影响线4 单元10@1 y位移 (m/N)");
}

TEST_F(ExportCommandTest, CsvFilesMatchTheWorkbook) {
    ASSERT_EQ(RunCli("export g.fem --xlsx r.xlsx --csv out").status, 0);
    const std::string csv = ReadFile("out/杆端力 工况3.csv");
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const auto lines = Lines(csv.substr(3));
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines[0], "单元,Xi (N),Yi (N),Mi (N·m),Xj (N),Yj (N),Mj (N·m)");
    const Sheet s = ReadSheet("r.xlsx", "杆端力 工况3");
    for (int row = 2; row <= 21; ++row) {
        std::vector<double> fields;
        std::istringstream in(lines[static_cast<size_t>(row - 1)]);
        std::string f;
        while (std::getline(in, f, ',')) fields.push_back(std::stod(f));
        ASSERT_EQ(fields.size(), 7u);
        for (int c = 1; c <= 7; ++c) ExpectClose(s.Number(row, c), fields[c - 1], "csv");
    }
    // A text cell with a comma would be quoted; the support codes keep their leading zeros.
    EXPECT_NE(ReadFile("out/约束.csv").find("\n1,010,"), std::string::npos);
}

TEST_F(ExportCommandTest, RefusesWhatItCannotWrite) {
    CliResult r = RunCli("export g.fem");
    EXPECT_EQ(r.status, 2) << r.All();
    r = RunCli("export g.fem --xlsx r.xlsx --envelopes 14");
    EXPECT_EQ(r.status, 2) << r.All();
    r = RunCli("export g.fem --xlsx r.xlsx --history 99:2");
    EXPECT_EQ(r.status, 2) << r.All();
    r = RunCli("export g.fem --xlsx no/such/folder/r.xlsx");
    EXPECT_EQ(r.status, 1) << r.All();
    EXPECT_NE(r.err.find("错误：无法写入文件no/such/folder/r.xlsx!"), std::string::npos) << r.All();
    // A history needs the response file of a dynamic run.
    r = RunCli("export g.fem --csv out --history 3:2");
    EXPECT_EQ(r.status, 1) << r.All();
    EXPECT_NE(r.err.find("g.tim"), std::string::npos) << r.All();
}
