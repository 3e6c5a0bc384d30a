// The batch tool's one argument reader: what it takes, what it refuses, and its numbers.
#include <gtest/gtest.h>

#include "cli/Args.h"

TEST(ArgsTest, ReadsValuesFlagsAndTheDataFileAndRefusesTheRest) {
    CArgs a("test", "help\n");
    ASSERT_TRUE(a.Read({"--x", "1", "m.fem", "--f", "--x", "2"}, {"--x", "--y"}, {"--f"}));
    EXPECT_EQ(a.model, "m.fem");
    EXPECT_EQ(a.Value("--x"), "2");  // the last one counts
    EXPECT_TRUE(a.Has("--f"));
    EXPECT_FALSE(a.Has("--y"));
    EXPECT_EQ(a.Value("--y"), "");
    // A value may look like an option; help stops reading whatever follows.
    CArgs b("test", "");
    ASSERT_TRUE(b.Read({"m.fem", "--x", "--f"}, {"--x"}, {"--f"}));
    EXPECT_EQ(b.Value("--x"), "--f");
    CArgs c("test", "");
    EXPECT_FALSE(c.Read({"--bogus", "-h"}, {}));  // an error before help stands
    CArgs d("test", "");
    ASSERT_TRUE(d.Read({"-h", "--bogus"}, {}));
    EXPECT_TRUE(d.help);
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"m.fem", "--x"}, {"m.fem", "n.fem"}, {"--f"},
                                               {}, {"m.fem", "-"}}) {
        CArgs e("test", "");
        EXPECT_FALSE(e.Read(bad, {"--x"}, {"--f"})) << bad.size();
    }
}

TEST(ArgsTest, WholeNumbersWithinTheirRange) {
    int v = 7;
    EXPECT_TRUE(ParseInt("+12", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(ParseInt("-1000000000", v));
    EXPECT_EQ(v, -1000000000);
    for (const char* bad : {"", "+", "-", "1.5", "3x", "1e3", " 4", "+-4", "1000000001",
                            "99999999999999999999"})
        EXPECT_FALSE(ParseInt(bad, v)) << bad;
    EXPECT_EQ(v, -1000000000);  // untouched by a refusal
    EXPECT_TRUE(ParseInt("11", v, 1, 11));
    EXPECT_FALSE(ParseInt("12", v, 1, 11));
    EXPECT_FALSE(ParseInt("0", v, 1, 11));
}
