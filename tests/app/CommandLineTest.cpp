#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "app/CommandLine.h"
#include "language/Language.h"
#include "support/TempDir.h"

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
        {"/sourcefile:/data/auto/help.txt",
         CommandSwitch{"sourcefile", "/data/auto/help.txt", true}},
        {"/sourcefile:", CommandSwitch{"sourcefile", "", true}},
        {"/home/u/a.md5", std::nullopt},
        {"/auto.md5", std::nullopt},
        {"a.md5", std::nullopt},
        {"-", std::nullopt},
        {"--", std::nullopt},
        {"/", std::nullopt},
        {"-1", std::nullopt},
        // Hyphens join the words of a name after "--" only, never in a path.
        {"--ignore-missing", CommandSwitch{"ignore-missing", "", false}},
        {"--Ignore-Missing=x", CommandSwitch{"ignore-missing", "x", true}},
        {"/ignoremissing", CommandSwitch{"ignoremissing", "", false}},
        {"/ignore-missing", std::nullopt},
        {"/home-x", std::nullopt},
        {"-a-b", std::nullopt},
        {"--a--b", std::nullopt},
        {"--ignore-", std::nullopt},
        {"--ignore-missing.md5", std::nullopt},
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

std::vector<CommandSwitch> Switches(const std::vector<std::string>& words) {
    return SplitCommandLine(words).switches;
}

TEST(CommandLine, EverySwitchIsDoneOrTheLineIsRefusedNamingIt) {
    using Kind = UsageError::Kind;
    struct Case {
        std::vector<std::string> words;
        std::optional<UsageError> error;
    };
    const Case cases[] = {
        {{"/sourcefile:a", "/auto"}, std::nullopt},
        {{"--sourcefile=a", "--expect=x", "-auto"}, std::nullopt},
        {{"/sourcefolder:F", "/auto"}, std::nullopt},
        {{"/auto", "/auto", "/sourcefile:a", "/sourcefile:a"}, std::nullopt},
        {{"/checkupdate"}, std::nullopt},
        // Help instead of the work, whatever comes with it.
        {{"/sourcefile:a", "/auto", "-h"}, std::nullopt},
        {{"/sourcefile:a", "/expect:x", "/sourcefolder:F", "/auto"},
         UsageError{Kind::Together, {"/sourcefile", "/sourcefolder"}}},
        {{"/expect:x", "/sourcefolder:F"}, UsageError{Kind::Needs, {"/expect", "/sourcefile"}}},
        {{"/calculate", "/auto"}, std::nullopt},
        {{"/calculate", "/sourcefolder:F"},
         UsageError{Kind::Together, {"/sourcefolder", "/calculate"}}},
        {{"/sourcefile:a", "/expect:x", "/checkupdate"},
         UsageError{Kind::Together, {"/checkupdate", "/sourcefile"}}},
        {{"/checkupdate", "/auto"}, UsageError{Kind::Together, {"/checkupdate", "/auto"}}},
        {{"/sourcefile:a", "--version"}, UsageError{Kind::Together, {"/version", "/sourcefile"}}},
        {{"/expect:x"}, UsageError{Kind::Needs, {"/expect", "/sourcefile"}}},
        {{"/auto"},
         UsageError{Kind::Needs, {"/auto", "/sourcefile", "/sourcefolder", "/calculate"}}},
        {{"/sourcefile:a", "/sourcefile:b"}, UsageError{Kind::Twice, {"/sourcefile"}}},
        {{"/sourcefile:a", "/atuo"}, UsageError{Kind::Unknown, {"/atuo"}}},
        {{"/help", "/nonsense:x"}, UsageError{Kind::Unknown, {"/nonsense"}}},
        {{"/auto:yes", "/sourcefile:a"}, UsageError{Kind::NoValue, {"/auto"}}},
        {{"/sourcefile", "/auto"}, UsageError{Kind::NeedsValue, {"/sourcefile"}}},
        {{"/sourcefolder:"}, UsageError{Kind::NeedsValue, {"/sourcefolder"}}},
        {{"--ignore-missing", "/ignoremissing"}, std::nullopt},
        {{"/sourcefolder:F", "/algorithm:SHA256"}, std::nullopt},
        {{"/sourcefile:a", "--algorithm=blake2b", "/auto"}, std::nullopt},
        {{"/sourcefile:a", "/algorithm:sha1"},
         UsageError{Kind::Needs, {"/algorithm", "/sourcefolder", "/auto"}}},
        {{"/sourcefolder:F", "/algorithm:sha3"},
         UsageError{Kind::UnknownDigest, {"/algorithm", "sha3"}}},
        {{"/sourcefolder:F", "/algorithm:sha1", "/algorithm:md5"},
         UsageError{Kind::Twice, {"/algorithm"}}},
        {{"/ignoremissing", "/sourcefile:a"},
         UsageError{Kind::Together, {"/ignoremissing", "/sourcefile"}}},
        {{"--sourcefolder=F", "--ignore-missing"},
         UsageError{Kind::Together, {"/ignoremissing", "/sourcefolder"}}},
        {{"/calculate", "--ignore-missing"},
         UsageError{Kind::Together, {"/ignoremissing", "/calculate"}}},
        {{"--ignore-missing", "--version"},
         UsageError{Kind::Together, {"/version", "/ignoremissing"}}},
        {{"/ignoremissing", "/checkupdate"},
         UsageError{Kind::Together, {"/checkupdate", "/ignoremissing"}}},
        {{"/ignoremissing", "/auto"},
         UsageError{Kind::Needs, {"/auto", "/sourcefile", "/sourcefolder", "/calculate"}}},
        {{"--ignore-missing=yes"}, UsageError{Kind::NoValue, {"/ignoremissing"}}},
        {{"--ignore-missin"}, UsageError{Kind::Unknown, {"--ignore-missin"}}},
    };
    for (const Case& c : cases) {
        const ReadSwitchesResult read = ReadSwitches(Switches(c.words));
        EXPECT_EQ(read.error, c.error) << ::testing::PrintToString(c.words);
    }

    const CommandRequest request =
        ReadSwitches(Switches({"/expect:x", "/sourcefile:/a b", "/auto"})).request;
    EXPECT_EQ(request.sourceFile, "/a b");
    EXPECT_EQ(request.expect, "x");
    EXPECT_TRUE(request.autoMode);
    EXPECT_FALSE(request.sourceFolder || request.help || request.checkUpdate || request.version);
}

// It works on the words that are no switch: without one it has nothing to do.
TEST(CommandLine, IgnoreMissingNeedsAChecksumFileToVerify) {
    using Kind = UsageError::Kind;
    struct Case {
        std::vector<std::string> words;
        std::optional<UsageError> error;
    };
    const Case cases[] = {
        {{"--ignore-missing", "MD5SUMS"}, std::nullopt},
        {{"a.md5", "/ignoremissing", "b.md5"}, std::nullopt},
        {{"--ignore-missing"}, UsageError{Kind::Needs, {"/ignoremissing"}}},
        {{"--ignore-missing", "--"}, UsageError{Kind::Needs, {"/ignoremissing"}}},
        {{"--ignore-missing", "-h"}, std::nullopt},
        // The switches' own errors come first.
        {{"--ignore-missing", "/calculate"},
         UsageError{Kind::Together, {"/ignoremissing", "/calculate"}}},
    };
    for (const Case& c : cases) {
        const ParsedCommandLine parsed = ParseCommandLine(c.words);
        EXPECT_EQ(parsed.error, c.error) << ::testing::PrintToString(c.words);
    }
    const ParsedCommandLine parsed = ParseCommandLine({"--ignore-missing", "--", "/srv/MD5SUMS"});
    EXPECT_TRUE(parsed.request.ignoreMissing);
    EXPECT_EQ(parsed.arguments, std::vector<std::string>{"/srv/MD5SUMS"});
}

// Every switch the parser knows is explained on its help line in both packs
// and in the manual page, in one of the forms the parser takes.
TEST(CommandLine, EverySwitchIsInTheHelpTextAndTheManualPage) {
    const std::filesystem::path packs = VORLIX_SOURCE_PACKS;
    const std::string manual = test::ReadAll(packs.parent_path() / "doc" / "vorlix.1");
    Language czech(packs), english(packs);
    ASSERT_TRUE(czech.LoadLanguageFile(1027));
    ASSERT_TRUE(english.LoadLanguageFile(1033));
    ASSERT_FALSE(KnownSwitches().empty());
    for (const SwitchDeclaration& declaration : KnownSwitches()) {
        const std::string name(declaration.name);
        SCOPED_TRACE(name);
        // "/name", "-name" or "--name" standing as a word; the manual writes "\-".
        std::string pattern;
        for (const char c : name) pattern += c == '-' ? std::string("\\\\?-") : std::string(1, c);
        const std::regex named("(^|[^A-Za-z0-9])(/|\\\\?-){1,2}" + pattern + "([^A-Za-z]|$)",
                               std::regex::icase);
        for (const Language* pack : {&czech, &english}) {
            EXPECT_TRUE(std::regex_search(pack->GetLabel("modVorlix", declaration.helpKey), named));
        }
        EXPECT_TRUE(std::regex_search(manual, named));
    }
}

}  // namespace
}  // namespace vorlix
