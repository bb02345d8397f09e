#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorlix {

// The cipher of the update file (modCryptGOST): GOST 28147-89 in simple
// replacement mode, as the publisher has always applied it to hexadecimal
// text. Three of its rules differ from the standard and are part of the file
// format: the subkeys overlap by one digit, the substitution outputs are
// joined as decimal text, and the 11-place step is a shift, not a rotation.
// A textbook implementation cannot read these files.
//
// The work is done on 32-bit values; the text routines below give exactly
// what the publisher's digit-by-digit procedure gives.

// The built-in key: 1024 upper-case hex digits shared with the publisher's
// tool. Only its first 63 digits matter.
const std::string& KeyText();

// The eight subkeys of a key text. K1 starts at digit 8, so digit 8 belongs
// to K0 and K1; digit 64 and beyond are never used. Missing digits count as
// leading zeros of their subkey.
std::array<std::uint32_t, 8> SubKeysOf(std::string_view keyText);

// The value of the last 8 characters of a text read as hex digits, either
// case; any other character is the digit 0.
std::uint32_t HexValue(std::string_view text);
// 8 upper-case hex digits, most significant first.
std::string HexDigits(std::uint32_t value);

// One round step on values (see RoundFunction).
std::uint32_t RoundValue(std::uint32_t half, std::uint32_t subkey);
// Moves the bits count places up; the top bit is cleared at each place and
// the lowest bit keeps its value.
std::uint32_t ShiftValue(std::uint32_t value, int count);

// The routines on hex text.
std::string HexShift(std::string_view value, int count);
std::string RoundFunction(std::string_view half, std::string_view subkey);
std::string HexAdd(std::string_view a, std::string_view b);
std::string HexXor(std::string_view a, std::string_view b);

// Pairs of hex digits as Windows-1250 codes, returned as UTF-8. A final odd
// digit is read alone.
std::string HexToText(std::string_view hex);

// Block by block, 16 digits each. A short last block is padded with "0"
// digits first, so the result always has whole blocks.
std::string DecipherHex(std::string_view text, std::string_view keyText);
// The publisher's direction; DecipherHex undoes it.
std::string EncipherHex(std::string_view text, std::string_view keyText);

// Deciphers an update file's cipher text with the built-in key.
std::string DecryptText(std::string_view cipher);

}  // namespace vorlix
