#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace vorlix {
namespace {

struct SwitchCase {
    const char* word;
    std::optional<CommandSwitch> expected;
};

TEST(CommandLine, SwitchesAreKnownByTheirNameNeverByTheirPath) {
    const SwitchCase cases[] = {
        {"/auto", CommandSwitch{"auto", "", false}},
        {"--auto", CommandSwitch{"auto", "", false}},
        {"-h", CommandSwitch{"h", "", false}},
        {"/HELP", CommandSwitch{"help", "", false}},
        {"/sourcefile:/home/u/a.zip", CommandSwitch{"sourcefile", "/home/u/a.zip", true}},
        {"--sourcefile=/home/u/a.zip", CommandSwitch{"sourcefile", "/home/u/a.zip", true}},
        {"/SourceFile:C:\\Help\\a.txt", CommandSwitch{"sourcefile", "C:\\Help\\a.txt", true}},
        {"/sourcefile:/data/auto/help.txt", CommandSwitch{"sourcefile", "/data/auto/help.txt", true}},
        {"/sourcefile:", CommandSwitch{"sourcefile", "", true}},
        {"/home/u/a.md5", std::nullopt},
        {"/auto.md5", std::nullopt},
        {"a.md5", std::nullopt},
        {"-", std::nullopt},
        {"--", std::nullopt},
        {"/", std::nullopt},
        {"-1", std::nullopt},
    };
    for (const auto& [word, expected] : cases) {
        EXPECT_EQ(ParseSwitch(word), expected) << word;
    }
}

TEST(CommandLine, SplitsSwitchesFromOtherWordsKeepingTheirOrder) {
    const CommandLine line = SplitCommandLine({"x.md5", "/sourcefile:/a b/c", "--auto"});
    EXPECT_EQ(line.arguments, std::vector<std::string>{"x.md5"});
    ASSERT_EQ(line.switches.size(), 2u);
    EXPECT_EQ(line.switches[0].name, "sourcefile");
    EXPECT_EQ(line.switches[0].value, "/a b/c");
    EXPECT_EQ(line.switches[1].name, "auto");
}

TEST(CommandLine, NoWordAfterALoneDoubleDashIsASwitch) {
    const CommandLine line =
        SplitCommandLine({"/calculate", "--", "/srv", "/a:b", "--help", "--", "x"});
    EXPECT_EQ(line.arguments, (std::vector<std::string>{"/srv", "/a:b", "--help", "--", "x"}));
    ASSERT_EQ(line.switches.size(), 1u);
    EXPECT_EQ(line.switches[0].name, "calculate");
}

}  // namespace
}  // namespace vorlix
