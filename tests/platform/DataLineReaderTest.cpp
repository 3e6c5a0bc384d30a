#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/DataLineReader.h"

namespace {

std::vector<std::string> DataLines(const std::string& text) {
    CDataLineReader r;
    r.OpenText(text);
    std::vector<std::string> lines;
    std::string line;
    while (r.Next(line)) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(DataLineReader, KeepsOnlyLinesStartingWithSignDotSlashCommaOrDigit) {
    const std::string text =
        "  -1.5 2\n"
        "* comment\n"
        "\n"
        "节点 heading\n"
        "\t+3\n"
        ",4\n"
        ".5\n"
        "/6\n"
        "7 tail text\n"
        "abc 8\n"
        "   \n";
    EXPECT_EQ(DataLines(text),
              (std::vector<std::string>{"-1.5 2", "+3", ",4", ".5", "/6", "7 tail text"}));
}

TEST(DataLineReader, AcceptsBomCrLfLongLinesAndForeignBytesInSkippedLines) {
    std::string longLine = "1";
    for (int i = 0; i < 100000; ++i) longLine += " 2";
    const std::string text =
        "\xEF\xBB\xBF"
        "12 3\r\n"
        "\xB9\xFD\xC2\xCB comment in GBK\r\n" +
        longLine + "\r\n" + "4";  // no final line end
    const auto lines = DataLines(text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "12 3");
    EXPECT_EQ(lines[1], longLine);
    EXPECT_EQ(lines[2], "4");
}

TEST(FieldScanner, ReadsLikeScanfAndKeepsDefaultsOfMissingFields) {
    int a = 0, b = 0;
    double x = 0, y = 7;
    CFieldScanner f("3  -2.5e1 x 9");
    f.Int(a).Double(x).Int(b).Double(y);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(x, -25.0);
    EXPECT_EQ(b, 0);  // "x" does not parse: this and every later field keep their value
    EXPECT_EQ(y, 7.0);
    EXPECT_EQ(f.Count(), 2);

    // An integer field stops at the decimal point; the next field goes on from there.
    int n = 0;
    double rest = 0;
    CFieldScanner("1.5").Int(n).Double(rest);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(rest, 0.5);

    // An unsigned field wraps a minus sign, so a range check rejects it.
    unsigned u = 0;
    CFieldScanner("-1").UInt(u);
    EXPECT_EQ(u, UINT_MAX);

    // Words that strtod would take are not numbers in a data file.
    double z = 4;
    CFieldScanner("nan inf").Double(z);
    EXPECT_EQ(z, 4.0);

    // Out-of-range integers are clamped, not wrapped into valid-looking numbers.
    int big = 0;
    CFieldScanner("99999999999").Int(big);
    EXPECT_EQ(big, INT_MAX);
}
