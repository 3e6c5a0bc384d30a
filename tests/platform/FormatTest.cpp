#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "platform/Format.h"

namespace {

// What C's printf writes, with the exponent widened to three digits: the reference the
// fast formatter must reproduce.
std::string ViaPrintf(const char* fmt, double v) {
    char buf[512];
    std::snprintf(buf, sizeof buf, fmt, v);
    std::string s = buf;
    const size_t e = s.find_first_of("eE");
    if (e != std::string::npos && e + 2 < s.size() && s.find_first_of("eE") != std::string::npos) {
        size_t digits = s.find_first_not_of("0123456789", e + 2);
        if (digits == std::string::npos) digits = s.size();
        if (digits - (e + 2) == 2) {
            s.insert(e + 2, 1, '0');
            // The field width counts the extra digit: drop one pad blank if there is one.
            if (!s.empty() && s[0] == ' ') s.erase(0, 1);
        }
    }
    return s;
}

}  // namespace

TEST(Format, ExponentHasThreeDigitsAndWidthCountsThem) {
    EXPECT_EQ(FormatString("%15e", 1.5), "  1.500000e+000");
    EXPECT_EQ(FormatString("%16.6e", -12.5), "  -1.250000e+001");
    EXPECT_EQ(FormatString("%13.3e", 0.0), "   0.000e+000");
    EXPECT_EQ(FormatString("%17.6e", -3.2e-7), "   -3.200000e-007");
    EXPECT_EQ(FormatString("%.4e", 12345.678), "1.2346e+004");
    EXPECT_EQ(FormatString("%e", 1e100), "1.000000e+100");
    EXPECT_EQ(FormatString("%e", -2.5e-300), "-2.500000e-300");
    EXPECT_EQ(FormatString("%E", 1.5), "1.500000E+000");
    EXPECT_EQ(FormatString("%20e", 0.0), "       0.000000e+000");
    EXPECT_EQ(FormatString("%-14e|", 1.5), "1.500000e+000 |");
    EXPECT_EQ(FormatString("%+e", 1.5), "+1.500000e+000");
    EXPECT_EQ(FormatString("%015e", -1.5), "-01.500000e+000");
}

TEST(Format, OtherConversionsAsInC) {
    EXPECT_EQ(FormatString("%5d|%-5d|%05d|%+d", 42, 42, -42, 7), "   42|42   |-0042|+7");
    EXPECT_EQ(FormatString("%5u%9u", 7u, 4294967295u), "    74294967295");
    EXPECT_EQ(FormatString("%20.6lf", -1.0 / 3), "           -0.333333");
    EXPECT_EQ(FormatString("%10.3lf|%.0f|%f", 2.0005, 2.5, 1e20),
              "     2.001|2|100000000000000000000.000000");
    EXPECT_EQ(FormatString("%s|%10s|%-4s|%.2s", "ab", "ab", "ab", "abc"), "ab|        ab|ab  |ab");
    EXPECT_EQ(FormatString("%c%%%x %g", 'A', 255u, 0.5), "A%ff 0.5");
    EXPECT_EQ(FormatString("节点%5d:", 3), "节点    3:");
    EXPECT_EQ(FormatString("%*d|%.*f", 4, 1, 2, 3.14159), "   1|3.14");
    EXPECT_EQ(FormatString("%f %e", INFINITY, -NAN), "inf -nan");
}

// Decimal midpoints of the printed digits are where a shortcut through the shortest digits
// could round the wrong way: values a hair either side of them must still match printf.
TEST(Format, MatchesPrintfNearRoundingMidpoints) {
    std::mt19937_64 rng(99);
    std::uniform_int_distribution<long long> mant(1000000, 9999999);
    std::uniform_int_distribution<int> expo(-300, 300);
    const char* formats[] = {"%e", "%17.6e", "%13.3e", "%.9e", "%.0e", "%.1e"};
    for (int i = 0; i < 20000; ++i) {
        const double base = (mant(rng) + 0.5) * std::pow(10.0, expo(rng));
        for (double v : {base, std::nextafter(base, 0.0), std::nextafter(base, 1e308),
                         (mant(rng) / 10 + 0.5) * 1e-3, std::ldexp(1.0, expo(rng))}) {
            for (const char* f : formats)
                ASSERT_EQ(FormatString(f, v), ViaPrintf(f, v)) << f << " of " << v;
        }
    }
    for (double v :
         {4.9e-324, 2.2250738585072014e-308, 2.2250738585072009e-308, 1.7976931348623157e308,
          9.9999995e-5, 9.99999949999e-5, 0.5, 999999.5, 9999999.0})
        for (const char* f : formats)
            EXPECT_EQ(FormatString(f, v), ViaPrintf(f, v)) << f << " of " << v;
}

// The formatter is built on std::to_chars for speed; it must write exactly what printf does
// (apart from the widened exponent) for every format the program uses.
TEST(Format, MatchesPrintfOnRandomValues) {
    std::mt19937_64 rng(12345);
    std::uniform_real_distribution<double> mant(-10, 10);
    std::uniform_int_distribution<int> expo(-320, 308);
    const char* formats[] = {"%e",   "%15e", "%16.6e",  "%13.3e",  "%17.6e",
                             "%20e", "%.4e", "%20.6lf", "%19.6lf", "%10.3lf",
                             "%lf",  "%.0f", "%12.8f",  "%.15e"};
    for (int i = 0; i < 20000; ++i) {
        double v = mant(rng) * std::pow(10.0, expo(rng));
        if (i % 7 == 0) v = std::round(v * 1000) / 1000;  // ties and short decimals
        if (i % 11 == 0) v = (i % 5) * 0.125 - 0.25;      // exact binary ties
        for (const char* f : formats) {
            ASSERT_EQ(FormatString(f, v), ViaPrintf(f, v)) << f << " of " << v;
        }
    }
}
