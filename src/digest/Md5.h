#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorlix {

// One MD5 computation (RFC 1321). Init, any number of updates, final, text.
struct Md5State {
    std::uint32_t a, b, c, d;
    std::uint64_t byteCount;
    std::array<std::uint8_t, 64> block;
};

void DigestInit(Md5State& state);
void DigestUpdate(Md5State& state, const void* bytes, std::size_t length);
void DigestFinal(Md5State& state);
// 32 lower-case hex digits: the digest bytes in order, two digits each.
std::string DigestHexText(const Md5State& state);

// The whole digest of a run of bytes.
std::string TextDigest(std::string_view bytes);

}  // namespace vorlix
