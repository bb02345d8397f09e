#include <gtest/gtest.h>

#include <utility>

#include "util/Text.h"

namespace vorlix {
namespace {

TEST(Text, LetterCaseCoversCzechAndLeavesOtherBytesAlone) {
    EXPECT_EQ(Utf8Upper("příliš žluťoučký kůň úpěl ďábelské ódy.txt"),
              "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY.TXT");
    EXPECT_EQ(Utf8Lower("ŘEŘICHA Ĺ Ž"), "řeřicha ĺ ž");
    EXPECT_EQ(Utf8Upper("日本.txt"), "日本.TXT");
    EXPECT_EQ(Utf8Upper(std::string("\xff\xc3 a", 4)), std::string("\xff\xc3 A", 4));
    EXPECT_TRUE(EqualsIgnoringCase("Ärger.TXT", "ärger.txt"));
}

TEST(Text, MalformedUtf8PassesThroughCaseChangesByteForByte) {
    // Overlong forms of NUL, LF and ESC, a surrogate and a value past U+10FFFF.
    const std::string malformed[] = {
        std::string("a\xC0\x80z", 4), "a\xC0\x8Az",     "a\xC1\x9Bz",         "a\xE0\x80\x8Az",
        "a\xF0\x80\x80\x9Bz",         "a\xED\xA0\x80z", "a\xF4\x90\x80\x80z", "a\xE2\x82z",
    };
    for (const std::string& text : malformed) {
        std::string expected = text;
        expected.front() = 'A';
        expected.back() = 'Z';
        EXPECT_EQ(Utf8Upper(text), expected);
        EXPECT_FALSE(IsValidUtf8(text));
        EXPECT_FALSE(HasControlCharacter(text));
    }
    EXPECT_TRUE(IsValidUtf8("žluť \xF0\x9F\x98\x80 \xEF\xBF\xBD \xF4\x8F\xBF\xBF"));
}

TEST(Text, ControlCharactersAreFoundAndEscapedForATerminal) {
    EXPECT_TRUE(HasControlCharacter(std::string("a\0b", 3)));
    EXPECT_TRUE(HasControlCharacter("a\x1b[2J"));
    EXPECT_TRUE(HasControlCharacter("tab\t"));
    EXPECT_TRUE(HasControlCharacter("del\x7f"));
    EXPECT_TRUE(HasControlCharacter("csi\xC2\x9B"));
    EXPECT_FALSE(HasControlCharacter("žluťoučký kůň \\ [x].txt"));

    const std::pair<std::string, std::string> cases[] = {
        {"plain žluť.txt", "plain žluť.txt"},
        {"a\\b", "\\a\\\\b"},
        {"one\ntwo\rthree", "\\one\\ntwo\\rthree"},
        {"\x1b[2J\aAll files OK", "\\\\x1b[2J\\x07All files OK"},
        {std::string("a\0b", 3), "\\a\\x00b"},
        {"c1 \xC2\x9B", "\\c1 \\xc2\\x9b"},
        {"latin1 \xE9", "\\latin1 \\xe9"},
        {"overlong \xC0\x9B", "\\overlong \\xc0\\x9b"},
    };
    for (const auto& [line, shown] : cases) EXPECT_EQ(EscapeForTerminal(line), shown) << line;
}

TEST(Text, AMessageKeepsItsOwnLineBreaksAndEscapesEachLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"first\r\nsecond", "first\nsecond"},
        {"", ""},
        {"\r\n", "\n"},
        // A name's lone LF or CR is no break of the message's.
        {"File a\nb.txt\r\nsaved", "\\File a\\nb.txt\nsaved"},
        {"File a\rb\r\n", "\\File a\\rb\n"},
        {"tab\there\r\n\x1b[31mred", "\\tab\\x09here\n\\\\x1b[31mred"},
        // Only the line that needs it gets the leading backslash.
        {"plain\r\nC:\\x\r\nplain", "plain\n\\C:\\\\x\nplain"},
        {"not UTF-8 \xff\r\nok", "\\not UTF-8 \\xff\nok"},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(EscapeMessageText(text), shown) << text;
}

TEST(Text, TrimRemovesBlanksAtBothEnds) {
    EXPECT_EQ(Trim("  a b \r\n"), "a b");
    EXPECT_EQ(Trim(" \t "), "");
}

}  // namespace
}  // namespace vorlix
