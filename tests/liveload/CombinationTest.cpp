// Load combinations: the combined envelope of the bundled girder against a hand combination
// of its case and envelope files, and the reader's messages.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "TestSupport.h"
#include "engine/CaseFile.h"
#include "liveload/Combination.h"
#include "platform/TextFile.h"

namespace {

class CombinationTest : public ScratchDirTest {
protected:
    // Doubles of a binary file as the test reads it, without the program's readers.
    std::vector<double> Doubles(const std::string& name) {
        const std::string bytes = ReadFile(name);
        std::vector<double> v(bytes.size() / 8);
        std::memcpy(v.data(), bytes.data(), v.size() * 8);
        return v;
    }

    // The detail of the last message (the line and what is wrong).
    std::string LastDetail() const { return host.details.empty() ? "" : host.details.back(); }
};

// The N, Q, M of the "最大" and "最小" lines of an envelope's companion file, in file order:
// per point six values, those of the maximum then those of the minimum.
std::vector<double> CompanionForces(const std::string& text) {
    std::vector<double> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        size_t at = line.find("最大");
        if (at == std::string::npos) at = line.find("最小");
        if (at == std::string::npos) continue;
        std::istringstream values(line.substr(at + std::string("最大").size()));
        double v[3];
        values >> v[0] >> v[1] >> v[2];
        out.insert(out.end(), v, v + 3);
    }
    return out;
}

}  // namespace

TEST_F(CombinationTest, BundledGirderEqualsTheHandCombinationOfItsFiles) {
    std::string girder;
    ASSERT_TRUE(ReadWholeFile(SourcePath("examples/three_span_girder.fem"), girder));
    auto f = Load(girder, true, "g");
    ASSERT_TRUE(f) << LastMessage();
    WriteFile("g_组合.txt",
              "# a comment line\n组合 basic\n  工况 1 1.2 1.0\n  工况 2 1.4 0 psi=0.75  # heat\n"
              "  工况 3 1.2 1.0\r\n  活载 11 1.4 impact=mu=0.3 lanes=2\n");
    ASSERT_TRUE(f->RunCombinations(Path("g_组合.txt"), "")) << LastMessage() << LastDetail();
    const std::vector<double> got = Doubles("g_组合_basic.bin");
    const int n = f->m_nElements;
    ASSERT_EQ(static_cast<long long>(got.size() * 8), CombinationFileSize(n));

    // The case files: per element 101 points of N, Q, M; the envelope files: per element 11
    // points of max, min, then the 48-byte trailer.
    std::vector<double> cases[3], env[3];
    for (int k = 0; k < 3; ++k) cases[k] = Doubles("g." + std::to_string(k + 1));
    for (int q = 0; q < 3; ++q) env[q] = Doubles(std::string("g.") + "zjw"[q] + "11");
    const double gu[3] = {1.2, 1.4 * 0.75, 1.2}, gf[3] = {1.0, 0, 1.0};
    int favourable = 0, unfavourable = 0;
    for (int e = 0; e < n; ++e) {
        for (int j = 0; j < 11; ++j) {
            for (int q = 0; q < 3; ++q) {
                double hi = 0, lo = 0, scale = 0;
                for (int k = 0; k < 3; ++k) {
                    const double v = cases[k][e * casefile::kElementValues + casefile::kValues * 10 * j + q];
                    hi += v > 0 ? gu[k] * v : gf[k] * v;
                    lo += v < 0 ? gu[k] * v : gf[k] * v;
                    (v > 0 ? unfavourable : favourable) += 1;
                    scale += std::fabs(v);
                }
                const double emax = env[q][(e * 11 + j) * 2], emin = env[q][(e * 11 + j) * 2 + 1];
                hi += 1.4 * std::max(emax, 0.0);
                lo += 1.4 * std::min(emin, 0.0);
                scale += std::fabs(emax) + std::fabs(emin) + 1;
                const size_t at = (static_cast<size_t>(e) * 11 + j) * 6 + 2 * q;
                EXPECT_NEAR(got[at], hi, 1e-12 * scale) << e << " " << j << " " << q;
                EXPECT_NEAR(got[at + 1], lo, 1e-12 * scale) << e << " " << j << " " << q;
            }
        }
    }
    // Both choices occur, so the test sees the favourable factor at work.
    EXPECT_GT(favourable, 100);
    EXPECT_GT(unfavourable, 100);
    // The live envelope carries its factors: 1.3 x 2 lanes.
    EXPECT_NEAR(f->m_designFactors.total, 2.6, 1e-15);
    const std::string text = ReadFile("g_组合_basic.out");
    EXPECT_EQ(text.find("荷载组合: basic\n工况 1  不利 1.2  有利 1  psi 1\n工况 2  不利 1.4  有利 0  "
                        "psi 0.75\n"),
              0u)
        << text.substr(0, 300);
    EXPECT_NE(text.find("总系数 2.600000"), std::string::npos);
}

TEST_F(CombinationTest, ConcurrentForcesEqualTheHandCombinationOfTheCompanionFiles) {
    std::string girder;
    ASSERT_TRUE(ReadWholeFile(SourcePath("examples/three_span_girder.fem"), girder));
    auto f = Load(girder, true, "g");
    ASSERT_TRUE(f) << LastMessage();
    // Two live terms whose extremes are found by different placements: the lane load and
    // the crowd.
    WriteFile("g_组合.txt",
              "组合 c\n工况 1 1.2 1.0\n工况 2 1.4 0 psi=0.75\n工况 3 1.2 0.9\n"
              "活载 11 1.4 impact=mu=0.3 lanes=2\n活载 0 1.1 psi=0.8\n");
    ASSERT_TRUE(f->RunCombinations(Path("g_组合.txt"), "")) << LastMessage() << LastDetail();
    const int n = f->m_nElements;
    const std::vector<double> got = Doubles("g_组合同时内力_c.bin");
    ASSERT_EQ(got.size(), static_cast<size_t>(n) * 11 * 18);
    const std::vector<double> combined = Doubles("g_组合_c.bin");

    std::vector<double> cases[3], env[2][3], with[2][3];
    for (int k = 0; k < 3; ++k) cases[k] = Doubles("g." + std::to_string(k + 1));
    const char* const types[2] = {"11", "0"};
    const char* const files[2] = {"公路I级", "人群荷载"};
    const char* const words[3] = {"轴力", "剪力", "弯矩"};
    for (int l = 0; l < 2; ++l) {
        for (int q = 0; q < 3; ++q) {
            env[l][q] = Doubles(std::string("g.") + "zjw"[q] + types[l]);
            with[l][q] = CompanionForces(ReadFile(std::string("g_") + words[q] +
                                                  "包络图同时内力_" + files[l] + ".out"));
            ASSERT_EQ(with[l][q].size(), static_cast<size_t>(n) * 66) << files[l] << q;
        }
    }
    const double gu[3] = {1.2, 1.4 * 0.75, 1.2}, gf[3] = {1.0, 0, 0.9}, gl[2] = {1.4, 1.1 * 0.8};
    int lanePlaced = 0, crowdPlaced = 0, favourable = 0;
    for (int e = 0; e < n; ++e) {
        for (int j = 0; j < 11; ++j) {
            const size_t p = static_cast<size_t>(e) * 11 + j;
            for (int q = 0; q < 3; ++q) {
                for (int side = 0; side < 2; ++side) {
                    double hand[3] = {0, 0, 0}, scale = 1;
                    for (int k = 0; k < 3; ++k) {
                        const double* v =
                            &cases[k][e * casefile::kElementValues + casefile::kValues * 10 * j];
                        const bool adverse = side == 0 ? v[q] > 0 : v[q] < 0;
                        favourable += !adverse && v[q] != 0;
                        for (int o = 0; o < 3; ++o) {
                            hand[o] += (adverse ? gu[k] : gf[k]) * v[o];
                            scale += std::fabs(v[o]);
                        }
                    }
                    for (int l = 0; l < 2; ++l) {
                        const double extreme = env[l][q][p * 2 + side];
                        if (side == 0 ? !(extreme > 0) : !(extreme < 0)) continue;
                        (l == 0 ? lanePlaced : crowdPlaced) += q == 2;
                        for (int o = 0; o < 3; ++o) {
                            const double v = with[l][q][p * 6 + 3 * side + o];
                            hand[o] += gl[l] * v;
                            scale += std::fabs(v);
                        }
                    }
                    const double* w = &got[p * 18 + 6 * q + 3 * side];
                    for (int o = 0; o < 3; ++o)
                        EXPECT_NEAR(w[o], hand[o], 2e-6 * scale)
                            << "element " << e + 1 << " point " << j << " effect " << q
                            << " side " << side << " force " << o;
                    // The effect's own column is the combined extreme itself.
                    EXPECT_EQ(w[q], combined[p * 6 + 2 * q + side]);
                }
            }
        }
    }
    EXPECT_GT(lanePlaced, 100);
    EXPECT_GT(crowdPlaced, 100);
    EXPECT_GT(favourable, 100);
    const std::string text = ReadFile("g_组合同时内力_c.out");
    EXPECT_EQ(text.find("荷载组合同时内力: c\n工况 1  不利 1.2  有利 1  psi 1\n"), 0u)
        << text.substr(0, 300);
    EXPECT_NE(text.find("\n\n    1\n       0.000000  轴力最大"), std::string::npos);
}

TEST_F(CombinationTest, BadFilesAreRefusedWithTheirLine) {
    auto f = Load(
        "3 2 0 1 1 2 2 2\n1 0 0\n3 10 0 0 1\n1 3e10\n1 0.5 0.04 25000 0 0.5 0.5\n"
        "1 1 2 1 1 1\n2 2 3 1 1 1\n1 110\n3 10\n0\n1\n1 1 0\n1 2\n1\n1 0.5 3\n",
        true);
    ASSERT_TRUE(f) << LastMessage();
    struct Case {
        const char* text;
        const char* detail;
    };
    const Case cases[] = {
        {"工况 1 1.2 1.0\n", "第1行：“工况”之前缺少“组合 名称”"},
        {"组合 a\n\n  工况 3 1.2 1.0\n", "第3行：工况号应在1～2之间，其后为不利和有利时的分项系数"},
        {"组合 a\n工况 1 1.2\n", "第2行：工况号应在1～2之间，其后为不利和有利时的分项系数"},
        {"组合 a\n工况 1 -1.2 1\n", "第2行：分项系数无效"},
        {"组合 a\n工况 1 1.2 nan\n", "第2行：分项系数无效"},
        {"组合 a\n工况 1 1 1 psi=x\n", "第2行：组合值系数psi无效：psi=x"},
        {"组合 a\n活载 14 1.4\n", "第2行：活载类型应在0～13之间，其后为分项系数"},
        {"组合 a\n活载 3 1.4 lanes=2\n", "第2行：选项lanes只用于活载类型11～13"},
        {"组合 a\n活载 11 1.4 impact=0\n", "第2行：选项的值无效：impact=0"},
        {"组合 a\n活载 11 1.4 lanes=9\n", "第2行：选项的值无效：lanes=9"},
        {"组合 a\n活载 11 1.4 speed=3\n", "第2行：未知的选项：speed=3"},
        {"组合 a\n工况 1 1 1 lanes=2\n", "第2行：未知的选项：lanes=2"},
        {"组合 a b\n", "第1行：组合名称应为一个词，不含空格和 / \\ : * ? \" < > |"},
        {"组合 ../x\n", "第1行：组合名称应为一个词，不含空格和 / \\ : * ? \" < > |"},
        {"组合 a\n工况 1 1 1\n组合 a\n", "第3行：组合名称重复：a"},
        {"组合 a\n工况 1 1 1\n组合 b\n# nothing\n", "第3行：组合b没有任何项"},
        {"加载 1\n", "第1行：未知的关键字：加载（应为 组合、工况 或 活载）"},
        {"# only comments\n", "没有任何组合"},
    };
    for (const Case& c : cases) {
        WriteFile("c.txt", c.text);
        host.messages.clear();
        EXPECT_FALSE(f->RunCombinations(Path("c.txt"), "")) << c.text;
        ASSERT_EQ(host.messages.size(), 1u) << c.text;
        EXPECT_EQ(LastMessage(), "错误：组合文件" + Path("c.txt") + "有误!");
        EXPECT_EQ(LastDetail(), c.detail) << c.text;
    }
    EXPECT_FALSE(f->RunCombinations(Path("none.txt"), ""));
    EXPECT_EQ(LastMessage(), "错误：组合文件" + Path("none.txt") + "不存在或无法读取!");

    // A BOM, CRLF ends and comments are fine; a name that is not in the file is refused.
    WriteFile("c.txt", "\xEF\xBB\xBF# 注释\r\n组合 甲\r\n工况 2 1 1 # x\r\n");
    EXPECT_FALSE(f->RunCombinations(Path("c.txt"), "乙"));
    EXPECT_EQ(LastMessage(), "错误：组合文件" + Path("c.txt") + "中没有名为乙的组合!");
    ASSERT_TRUE(f->RunCombinations(Path("c.txt"), "甲")) << LastMessage() << LastDetail();
    // Nodal load of case 2 absent: the combination of case 2 is all zeros but complete.
    EXPECT_EQ(static_cast<long long>(ReadFile("m_组合_甲.bin").size()), CombinationFileSize(2));
}

TEST_F(CombinationTest, BatchToolCombinesTheExampleFile) {
    std::filesystem::copy_file(SourcePath("examples/three_span_girder.fem"), Path("g.fem"));
    std::filesystem::copy_file(SourcePath("examples/three_span_girder_组合.txt"), Path("g_组合.txt"));
    CliResult r = RunCli("combine g.fem --name 频遇组合");
    ASSERT_EQ(r.status, 0) << r.All();
    EXPECT_TRUE(Exists("g_组合_频遇组合.bin"));
    EXPECT_FALSE(Exists("g_组合_基本组合.bin"));
    EXPECT_NE(r.out.find("wrote g_组合_频遇组合.out"), std::string::npos) << r.out;
    r = RunCli("combine g.fem --file nothing.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("不存在或无法读取"), std::string::npos) << r.All();
    r = RunCli("combine g.fem --what");
    EXPECT_EQ(r.status, 2);
}
