// Extraction of one node component's time history from B.tim.
#include <regex>
#include <sstream>

#include "DynamicsModels.h"
#include "DynamicsRun.h"

namespace {

class ResponseExtractionTest : public ScratchDirTest {};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace

TEST_F(ResponseExtractionTest, OneLinePerRecordAndSlavesFollowTheirMaster) {
    // A two-element beam; node 4 sits on node 2 and shares its x and y.
    const std::string model =
        "4 2 1 1 1 0 2 0\n1 0 0\n2 5 0\n3 10 0\n4 5 0\n4 2 2 0 0\n1 2e11\n"
        "1 1 0.01 9800 0 0.5 0.5\n1 1 2 1 1 1\n2 2 3 1 1 1\n1 110\n3 10\n";
    auto frame = Load(model, true);
    ASSERT_TRUE(frame) << LastMessage();
    EXPECT_EQ(ExtractResponse(*frame, 2, 1), ExtractResult::kNoResponse);
    WriteFile(kDynamicLoadFile, "0 0\n0.05 0.01\n0 1 0\n2 2 -1e5 0 0 0 0\n0\n");
    ASSERT_TRUE(frame->DynamicResponse()) << LastMessage();
    const auto rec = ReadResponse(*frame);
    ASSERT_EQ(rec.size(), 6u);

    ASSERT_EQ(ExtractResponse(*frame, 2, 1), ExtractResult::kWritten);
    const std::string text = ReadFile("m_节点2自由度2_动力响应.txt");
    const auto lines = Lines(text);
    ASSERT_EQ(lines.size(), 6u);
    const std::regex field(R"( {0,3}-?\d\.\d{6}e[+-]\d{3})");
    for (size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].size(), 50u) << lines[i];
        EXPECT_TRUE(std::regex_match(lines[i].substr(0, 16), field)) << lines[i];
        EXPECT_EQ(lines[i],
                  FormatString("%16.6e %16.6e %16.6e", rec[i].t, rec[i].d[4], rec[i].v[4]));
    }
    EXPECT_NE(rec.back().d[4], 0.0);

    ASSERT_EQ(ExtractResponse(*frame, 4, 1), ExtractResult::kWritten);
    EXPECT_EQ(ReadFile("m_节点4自由度2_动力响应.txt"), text);
    // A support direction is at rest.
    ASSERT_EQ(ExtractResponse(*frame, 1, 1), ExtractResult::kWritten);
    for (const auto& line : Lines(ReadFile("m_节点1自由度2_动力响应.txt")))
        EXPECT_EQ(line.substr(16), "    0.000000e+000    0.000000e+000");
    EXPECT_EQ(ExtractResponse(*frame, 5, 0), ExtractResult::kBadNode);
    EXPECT_EQ(ExtractResponse(*frame, 0, 0), ExtractResult::kBadNode);
    // A trailing partial record is ignored.
    std::string bytes = ReadFile("m.tim");
    WriteFile("m.tim", bytes + "partial");
    EXPECT_EQ(ResponseRecordCount(*frame), 6);
}
