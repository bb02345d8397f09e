#include <gtest/gtest.h>

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

TEST(Text, TrimRemovesBlanksAtBothEnds) {
    EXPECT_EQ(Trim("  a b \r\n"), "a b");
    EXPECT_EQ(Trim(" \t "), "");
}

}  // namespace
}  // namespace vorlix
