#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorlix::test {

// Bytes that differ all along (xorshift), so a block lost, repeated or taken
// out of order changes a digest.
inline std::string Pattern(std::size_t length, std::uint32_t seed = 2463534242u) {
    std::string bytes(length, '\0');
    std::uint32_t x = seed;
    for (auto& byte : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        byte = static_cast<char>(x >> 24);
    }
    return bytes;
}

}  // namespace vorlix::test
