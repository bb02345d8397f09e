#include "update/GostCipher.h"

#include <algorithm>

#include "update/CodePage1250.h"

namespace vorlix {
namespace {

// SBox1 reads the most significant digit, SBox8 the least.
constexpr std::uint8_t kSBox[8][16] = {
    {6, 5, 1, 7, 14, 0, 4, 10, 11, 9, 3, 13, 8, 12, 2, 15},
    {14, 13, 9, 0, 8, 10, 12, 4, 7, 15, 6, 11, 3, 1, 5, 2},
    {6, 5, 1, 7, 2, 4, 10, 0, 11, 13, 14, 3, 8, 12, 15, 9},
    {8, 7, 3, 9, 6, 4, 14, 5, 2, 13, 0, 12, 1, 11, 10, 15},
    {10, 9, 6, 11, 5, 1, 8, 4, 0, 13, 7, 2, 14, 3, 15, 12},
    {5, 3, 0, 6, 11, 13, 4, 14, 10, 7, 1, 12, 2, 8, 15, 9},
    {2, 1, 12, 3, 11, 13, 15, 7, 10, 6, 9, 14, 0, 8, 4, 5},
    {6, 5, 1, 7, 8, 9, 4, 2, 15, 3, 13, 12, 10, 14, 11, 0},
};

constexpr int kShift = 11;
constexpr std::size_t kBlockDigits = 16;

// Round r (0-based) uses subkey kDecipherOrder[r].
constexpr int kDecipherOrder[32] = {0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0,
                                    7, 6, 5, 4, 3, 2, 1, 0, 7, 6, 5, 4, 3, 2, 1, 0};
constexpr int kEncipherOrder[32] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7,
                                    0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0};

// The pieces of the built-in key, joined in this order.
constexpr std::string_view kKeyPieces[8] = {
    "83C3098F8B50C4C3FDDF0557E075950CB3F24509EC3B7E78804AE1A3F99B1ACFE0077629456676563CA0C3F3F2679E"
    "CA3DAC61300148B7F4F908B5822FB199BA9A2A8",
    "E80F210981908C9424B4D59FA4D235A3A48C4A1A0C6C71760A374BD6DA7D6848EEC384F69C729E2D606A7276422926"
    "913FA7BACF7E2A6B215A42A1A6C88400CC8B936",
    "4C94CCC993C0E9559904E139A88DB9D2749A33FB703C4F73A47EBA6EA71540388538AC5192DC8267E6255060738CFC"
    "9E72C2E170726ECC0E4723484F73B16B1E0A2C8",
    "E050C9F0ADB309E39AF6180AAD9342C6B9BD0FCF1F35884FCE07D638653DC43F133D72AB898F28F1578B87A6623E71"
    "7EF284378D2DC0AE8D7B780916E284D0CCEBBD8",
    "8159FFA33E342C02FB757A664F5AB5502EA98042E5CFCA7400063DFBF0B4C99E98D11DE5FB759026DD2E5A23F02747"
    "EB2DD38BDC3071D837FC00E248DDA5A1F34E686",
    "81C57F8D1C37621ECF0C35FBC6234B5D4CEC857B2216231E4D77866B7BBB6B2C79B1BE6ECA032D0ECCAECC80B0595D"
    "9DB5909BDEAEE62C5EFE94A548691922ABCD21A",
    "633C265E7BBAF0508CAA4AE8D72202114ACF4A326D43A0EA029FC6CCF3EF02277D6142B2761097FC558F5BC8553850"
    "C5DB93760FD7D34BC0FD0C35BBEC988FC476D33",
    "9153F38DB1A4AE0292496A5A756B961BB1C4BB04F1C4A7CE798039A2E78EFB7B79A35153583180DA5A35C7DD40348",
};

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

char DigitChar(int value) { return "0123456789ABCDEF"[value & 0xF]; }

std::string RunBlocks(std::string_view text, std::string_view keyText, const int (&order)[32]) {
    const auto subkeys = SubKeysOf(keyText);
    std::string blocks(text);
    if (blocks.size() % kBlockDigits != 0)
        blocks.append(kBlockDigits - blocks.size() % kBlockDigits, '0');
    std::string out;
    out.reserve(blocks.size());
    for (std::size_t p = 0; p < blocks.size(); p += kBlockDigits) {
        std::uint32_t a = HexValue(std::string_view(blocks).substr(p, 8));
        std::uint32_t b = HexValue(std::string_view(blocks).substr(p + 8, 8));
        for (int round = 0; round < 32; round += 2) {
            b ^= RoundValue(a, subkeys[order[round]]);
            a ^= RoundValue(b, subkeys[order[round + 1]]);
        }
        out += HexDigits(b);
        out += HexDigits(a);
    }
    return out;
}

}  // namespace

const std::string& KeyText() {
    static const std::string key = [] {
        std::string joined;
        for (std::string_view piece : kKeyPieces) joined += piece;
        return joined;
    }();
    return key;
}

std::array<std::uint32_t, 8> SubKeysOf(std::string_view keyText) {
    std::array<std::uint32_t, 8> subkeys{};
    for (std::size_t i = 0; i < subkeys.size(); ++i) {
        const std::size_t start = i == 0 ? 0 : 8 * i - 1;
        if (start < keyText.size()) subkeys[i] = HexValue(keyText.substr(start, 8));
    }
    return subkeys;
}

std::uint32_t HexValue(std::string_view text) {
    if (text.size() > 8) text = text.substr(text.size() - 8);
    std::uint32_t value = 0;
    for (char c : text) value = (value << 4) | static_cast<std::uint32_t>(DigitValue(c));
    return value;
}

std::string HexDigits(std::uint32_t value) {
    std::string digits(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4) digits[i] = DigitChar(static_cast<int>(value & 0xF));
    return digits;
}

std::uint32_t ShiftValue(std::uint32_t value, int count) {
    if (count <= 0) return value;
    count = std::min(count, 31);
    const std::uint32_t low = (value & 1u) ? (1u << count) - 1 : 0u;
    return ((value << count) & 0x7FFFFFFFu) | low;
}

std::uint32_t RoundValue(std::uint32_t half, std::uint32_t subkey) {
    const std::uint32_t sum = half + subkey;
    // The outputs are written as decimal text, joined from SBox1 to SBox8,
    // and the last 8 characters are read back as hex digits: collect the
    // decimal digits from the end until 8 are there.
    std::uint32_t u = 0;
    int placed = 0;
    for (int j = 7; j >= 0 && placed < 8; --j) {
        const int t = kSBox[j][(sum >> (4 * (7 - j))) & 0xF];
        const int digits[2] = {t % 10, t / 10};
        for (int d = 0; d < (t >= 10 ? 2 : 1) && placed < 8; ++d, ++placed)
            u |= static_cast<std::uint32_t>(digits[d]) << (4 * placed);
    }
    return ShiftValue(u, kShift);
}

std::string HexShift(std::string_view value, int count) {
    count %= 32;
    if (count == 0) return std::string(value);
    // A negative count moves nothing but still gives the 8-digit form.
    return HexDigits(ShiftValue(HexValue(value), count));
}

std::string RoundFunction(std::string_view half, std::string_view subkey) {
    return HexDigits(RoundValue(HexValue(half), HexValue(subkey)));
}

std::string HexAdd(std::string_view a, std::string_view b) {
    const std::size_t width = std::max(a.size(), b.size());
    if (width >= 8) return HexDigits(HexValue(a) + HexValue(b));
    // Short texts keep their width, plus one digit for a final carry.
    const std::uint64_t sum = std::uint64_t{HexValue(a)} + HexValue(b);
    const std::size_t digits = width + ((sum >> (4 * width)) != 0 ? 1 : 0);
    return HexDigits(static_cast<std::uint32_t>(sum)).substr(8 - digits);
}

std::string HexXor(std::string_view a, std::string_view b) {
    // The digits by which the longer text exceeds the shorter pass as they are.
    std::string out;
    if (a.size() > b.size()) {
        out = a.substr(0, a.size() - b.size());
        a.remove_prefix(a.size() - b.size());
    } else if (b.size() > a.size()) {
        out = b.substr(0, b.size() - a.size());
        b.remove_prefix(b.size() - a.size());
    }
    for (std::size_t i = 0; i < a.size(); ++i)
        out += DigitChar(DigitValue(a[i]) ^ DigitValue(b[i]));
    return out.size() > 8 ? out.substr(out.size() - 8) : out;
}

std::string HexToText(std::string_view hex) {
    std::string bytes;
    bytes.reserve(hex.size() / 2 + 1);
    for (std::size_t p = 0; p < hex.size(); p += 2) {
        const std::string_view pair = hex.substr(p, 2);
        int code = 0;
        for (char c : pair) code = code * 16 + DigitValue(c);
        bytes += static_cast<char>(code);
    }
    return Cp1250ToUtf8(bytes);
}

std::string DecipherHex(std::string_view text, std::string_view keyText) {
    return RunBlocks(text, keyText, kDecipherOrder);
}

std::string EncipherHex(std::string_view text, std::string_view keyText) {
    return RunBlocks(text, keyText, kEncipherOrder);
}

std::string DecryptText(std::string_view cipher) {
    return HexToText(DecipherHex(cipher, KeyText()));
}

}  // namespace vorlix
