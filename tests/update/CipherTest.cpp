#include <gtest/gtest.h>

#include <random>
#include <string>

#include "update/GostCipher.h"

namespace vorlix {
namespace {

// The publisher's procedure, digit by digit on text, written out plainly so
// that the word arithmetic of the program can be held against it.
namespace byText {

int Digit(char c) {
    const std::string digits = "0123456789ABCDEF";
    const auto at = digits.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return at == std::string::npos ? 0 : static_cast<int>(at);
}
char Char(int value) { return "0123456789ABCDEF"[value]; }
std::string Last8(const std::string& text) {
    return text.size() > 8 ? text.substr(text.size() - 8) : text;
}

std::string Add(std::string a, std::string b) {
    while (a.size() < b.size()) a.insert(0, "0");
    while (b.size() < a.size()) b.insert(0, "0");
    std::string result;
    int carry = 0;
    for (std::size_t i = a.size(); i-- > 0;) {
        const int sum = carry + Digit(a[i]) + Digit(b[i]);
        result.insert(result.begin(), Char(sum % 16));
        carry = sum / 16;
    }
    if (carry) result.insert(result.begin(), Char(carry));
    return Last8(result);
}

std::string Xor(const std::string& a, const std::string& b) {
    std::string result;
    for (std::size_t i = 0; i < a.size(); ++i) result += Char(Digit(a[i]) ^ Digit(b[i]));
    return Last8(result);
}

std::string Shift(std::string value, int count) {
    value = Last8(value);
    while (value.size() < 8) value.insert(0, "0");
    std::string bits;
    for (char c : value)
        for (int bit = 3; bit >= 0; --bit) bits += ((Digit(c) >> bit) & 1) ? '1' : '0';
    for (int step = 0; step < count; ++step) bits = "0" + bits.substr(2) + bits.back();
    std::string out;
    for (int i = 0; i < 32; i += 4) out += Char(std::stoi(bits.substr(i, 4), nullptr, 2));
    return out;
}

const int kSBox[8][16] = {
    {6, 5, 1, 7, 14, 0, 4, 10, 11, 9, 3, 13, 8, 12, 2, 15},
    {14, 13, 9, 0, 8, 10, 12, 4, 7, 15, 6, 11, 3, 1, 5, 2},
    {6, 5, 1, 7, 2, 4, 10, 0, 11, 13, 14, 3, 8, 12, 15, 9},
    {8, 7, 3, 9, 6, 4, 14, 5, 2, 13, 0, 12, 1, 11, 10, 15},
    {10, 9, 6, 11, 5, 1, 8, 4, 0, 13, 7, 2, 14, 3, 15, 12},
    {5, 3, 0, 6, 11, 13, 4, 14, 10, 7, 1, 12, 2, 8, 15, 9},
    {2, 1, 12, 3, 11, 13, 15, 7, 10, 6, 9, 14, 0, 8, 4, 5},
    {6, 5, 1, 7, 8, 9, 4, 2, 15, 3, 13, 12, 10, 14, 11, 0},
};

std::string Round(const std::string& half, const std::string& subkey) {
    const std::string sum = Add(half, subkey);
    std::string joined;
    for (int j = 0; j < 8; ++j) joined += std::to_string(kSBox[j][Digit(sum[j])]);
    return Shift(joined.substr(joined.size() - 8), 11);
}

std::string Decipher(std::string text, const std::string& key) {
    std::string k[8];
    k[0] = key.substr(0, 8);
    for (int i = 1; i < 8; ++i) k[i] = key.substr(8 * i - 1, 8);
    const int order[32] = {0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0,
                           7, 6, 5, 4, 3, 2, 1, 0, 7, 6, 5, 4, 3, 2, 1, 0};
    for (std::size_t p = 0; p < text.size(); p += 16) {
        std::string a = text.substr(p, 8);
        std::string b = text.substr(p + 8, 8);
        for (int r = 0; r < 32; ++r) {
            if (r % 2 == 0)
                b = Xor(b, Round(a, k[order[r]]));
            else
                a = Xor(a, Round(b, k[order[r]]));
        }
        text.replace(p, 8, b);
        text.replace(p + 8, 8, a);
    }
    return text;
}

}  // namespace byText

std::string RandomHex(std::mt19937& random, std::size_t digits) {
    std::string text;
    for (std::size_t i = 0; i < digits; ++i) text += "0123456789ABCDEF"[random() % 16];
    return text;
}

TEST(Cipher, HexRoutinesGiveThePublishersValues) {
    struct Case {
        std::string result, expected;
    };
    const Case cases[] = {
        {HexShift("12345678", 11), "22B3C000"},
        {HexShift("00000001", 11), "00000FFF"},
        {HexShift("80000001", 11), "00000FFF"},
        {HexShift("12345678", 43), "22B3C000"},  // counts are taken modulo 32
        {HexShift("x1", 0), "x1"},               // nothing to move: as given
        {HexShift("1", -3), "00000001"},
        {RoundFunction("00000000", "00000000"), "08293000"},
        {RoundFunction("FFFFFFFF", "00000001"), "08293000"},
        {RoundFunction("ACF13568", "00000000"), "18A8AFFF"},
        {RoundFunction("AC000000", "00F13568"), "18A8AFFF"},
        {HexAdd("FFFFFFFF", "00000001"), "00000000"},
        {HexAdd("F", "1"), "10"},
        {HexAdd("0000000g", "00000001"), "00000001"},  // not a digit: 0
        {HexXor("0F0F0F0F", "FFFFFFFF"), "F0F0F0F0"},
        {HexXor("ab12", "3"), "ab11"},  // the longer text's lead passes unchanged
        {HexToText("48656C6C6F"), "Hello"},
        {HexToText(""), ""},
        {HexToText("8A9Ae8"), "Ššč"},  // Windows-1250
        {HexToText("414"), "A\x04"},   // a final odd digit alone
        {DecryptText(""), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, c.expected);
}

TEST(Cipher, SubkeysOverlapAtTheEighthDigit) {
    const std::string key = "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF";
    const auto k = SubKeysOf(key);
    EXPECT_EQ(HexDigits(k[0]), "01234567");
    EXPECT_EQ(HexDigits(k[1]), "789ABCDE");
    EXPECT_EQ(HexDigits(k[2]), "F0123456");
    EXPECT_EQ(HexDigits(k[7]), "789ABCDE");  // digits 56 to 63
    EXPECT_EQ(SubKeysOf(key.substr(0, 63)), k);

    EXPECT_EQ(KeyText().size(), 1024u);
    EXPECT_EQ(KeyText().find_first_not_of("0123456789ABCDEF"), std::string::npos);
}

TEST(Cipher, WordArithmeticMatchesTheTextProcedure) {
    std::mt19937 random(20231028);
    for (int i = 0; i < 2000; ++i) {
        const std::string a = RandomHex(random, 8);
        const std::string b = RandomHex(random, 8);
        ASSERT_EQ(RoundFunction(a, b), byText::Round(a, b)) << a << " " << b;
        ASSERT_EQ(HexAdd(a, b), byText::Add(a, b));
        ASSERT_EQ(HexXor(a, b), byText::Xor(a, b));
        ASSERT_EQ(HexShift(a, 11), byText::Shift(a, 11));
    }
    for (const std::string& key : {KeyText(), RandomHex(random, 63), RandomHex(random, 200)}) {
        const std::string text = RandomHex(random, 16 * 20);
        EXPECT_EQ(DecipherHex(text, key), byText::Decipher(text, key));
    }
}

TEST(Cipher, EncipheringIsUndoneWhateverTheKey) {
    std::mt19937 random(7);
    for (const std::string& key : {KeyText(), RandomHex(random, 63), RandomHex(random, 1024),
                                   std::string(63, '0'), std::string(64, 'F')}) {
        for (std::size_t blocks : {1, 2, 37}) {
            const std::string text = RandomHex(random, 16 * blocks);
            const std::string cipher = EncipherHex(text, key);
            EXPECT_NE(cipher, text);
            EXPECT_EQ(DecipherHex(cipher, key), text);
        }
    }
}

TEST(Cipher, ShortBlocksArePaddedAndStrayCharactersCountAsZero) {
    const std::string& key = KeyText();
    EXPECT_EQ(DecipherHex("ABC", key), DecipherHex("ABC0000000000000", key));
    EXPECT_EQ(DecipherHex("ABC", key).size(), 16u);
    EXPECT_EQ(DecipherHex("0123456789ABCDEF"
                          "1",
                          key)
                  .size(),
              32u);
    EXPECT_EQ(DecipherHex("zz 12-45abcdef00", key), DecipherHex("00012045ABCDEF00", key));
    EXPECT_EQ(DecipherHex("abcdef0123456789", key), DecipherHex("ABCDEF0123456789", key));
    EXPECT_EQ(DecipherHex("", key), "");
}

}  // namespace
}  // namespace vorlix
