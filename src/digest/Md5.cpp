#include "digest/Md5.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "digest/Md5Lanes.h"

namespace vorlix {
namespace {

std::uint32_t LoadLittleEndian(const std::uint8_t* bytes) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint32_t word;
        std::memcpy(&word, bytes, sizeof word);
        return word;
    } else {
        return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t{bytes[3]} << 24;
    }
}

// Keeps `value` in a register as it is, so the compiler cannot fold the sum
// that is ready early into the one that waits for the previous step.
inline void Pin([[maybe_unused]] std::uint32_t& value) {
#if defined(__GNUC__)
    asm("" : "+r"(value));
#endif
}

// Every step depends on the one before through b. Message word and constant
// go into a first, while that result is still coming, so only the round
// function, one addition, the rotation and the last addition sit on the chain.
template <int s>
inline void StepF(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t x, std::uint32_t t) {
    a += x + t;
    Pin(a);
    a += d ^ (b & (c ^ d));
    a = std::rotl(a, s) + b;
}

// (b & d) | (c & ~d) as two additions: the halves share no bit, and the one
// without b can start early.
template <int s>
inline void StepG(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t x, std::uint32_t t) {
    a += x + t;
    a += ~d & c;
    Pin(a);
    a += d & b;
    a = std::rotl(a, s) + b;
}

template <int s>
inline void StepH(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t x, std::uint32_t t) {
    a += x + t;
    Pin(a);
    a += b ^ (c ^ d);
    a = std::rotl(a, s) + b;
}

template <int s>
inline void StepI(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d,
                  std::uint32_t x, std::uint32_t t) {
    a += x + t;
    Pin(a);
    a += c ^ (b | ~d);
    a = std::rotl(a, s) + b;
}

// Compresses `count` whole blocks; the chaining words stay in locals for the
// whole run.
void TransformBlocks(Md5State& state, const std::uint8_t* data, std::size_t count) {
    std::uint32_t a = state.a, b = state.b, c = state.c, d = state.d;
    for (; count > 0; --count, data += 64) {
        std::uint32_t x[16];
        for (int i = 0; i < 16; ++i) x[i] = LoadLittleEndian(data + 4 * i);
        const std::uint32_t aa = a, bb = b, cc = c, dd = d;

        StepF<7>(a, b, c, d, x[0], 0xd76aa478);
        StepF<12>(d, a, b, c, x[1], 0xe8c7b756);
        StepF<17>(c, d, a, b, x[2], 0x242070db);
        StepF<22>(b, c, d, a, x[3], 0xc1bdceee);
        StepF<7>(a, b, c, d, x[4], 0xf57c0faf);
        StepF<12>(d, a, b, c, x[5], 0x4787c62a);
        StepF<17>(c, d, a, b, x[6], 0xa8304613);
        StepF<22>(b, c, d, a, x[7], 0xfd469501);
        StepF<7>(a, b, c, d, x[8], 0x698098d8);
        StepF<12>(d, a, b, c, x[9], 0x8b44f7af);
        StepF<17>(c, d, a, b, x[10], 0xffff5bb1);
        StepF<22>(b, c, d, a, x[11], 0x895cd7be);
        StepF<7>(a, b, c, d, x[12], 0x6b901122);
        StepF<12>(d, a, b, c, x[13], 0xfd987193);
        StepF<17>(c, d, a, b, x[14], 0xa679438e);
        StepF<22>(b, c, d, a, x[15], 0x49b40821);

        StepG<5>(a, b, c, d, x[1], 0xf61e2562);
        StepG<9>(d, a, b, c, x[6], 0xc040b340);
        StepG<14>(c, d, a, b, x[11], 0x265e5a51);
        StepG<20>(b, c, d, a, x[0], 0xe9b6c7aa);
        StepG<5>(a, b, c, d, x[5], 0xd62f105d);
        StepG<9>(d, a, b, c, x[10], 0x02441453);
        StepG<14>(c, d, a, b, x[15], 0xd8a1e681);
        StepG<20>(b, c, d, a, x[4], 0xe7d3fbc8);
        StepG<5>(a, b, c, d, x[9], 0x21e1cde6);
        StepG<9>(d, a, b, c, x[14], 0xc33707d6);
        StepG<14>(c, d, a, b, x[3], 0xf4d50d87);
        StepG<20>(b, c, d, a, x[8], 0x455a14ed);
        StepG<5>(a, b, c, d, x[13], 0xa9e3e905);
        StepG<9>(d, a, b, c, x[2], 0xfcefa3f8);
        StepG<14>(c, d, a, b, x[7], 0x676f02d9);
        StepG<20>(b, c, d, a, x[12], 0x8d2a4c8a);

        StepH<4>(a, b, c, d, x[5], 0xfffa3942);
        StepH<11>(d, a, b, c, x[8], 0x8771f681);
        StepH<16>(c, d, a, b, x[11], 0x6d9d6122);
        StepH<23>(b, c, d, a, x[14], 0xfde5380c);
        StepH<4>(a, b, c, d, x[1], 0xa4beea44);
        StepH<11>(d, a, b, c, x[4], 0x4bdecfa9);
        StepH<16>(c, d, a, b, x[7], 0xf6bb4b60);
        StepH<23>(b, c, d, a, x[10], 0xbebfbc70);
        StepH<4>(a, b, c, d, x[13], 0x289b7ec6);
        StepH<11>(d, a, b, c, x[0], 0xeaa127fa);
        StepH<16>(c, d, a, b, x[3], 0xd4ef3085);
        StepH<23>(b, c, d, a, x[6], 0x04881d05);
        StepH<4>(a, b, c, d, x[9], 0xd9d4d039);
        StepH<11>(d, a, b, c, x[12], 0xe6db99e5);
        StepH<16>(c, d, a, b, x[15], 0x1fa27cf8);
        StepH<23>(b, c, d, a, x[2], 0xc4ac5665);

        StepI<6>(a, b, c, d, x[0], 0xf4292244);
        StepI<10>(d, a, b, c, x[7], 0x432aff97);
        StepI<15>(c, d, a, b, x[14], 0xab9423a7);
        StepI<21>(b, c, d, a, x[5], 0xfc93a039);
        StepI<6>(a, b, c, d, x[12], 0x655b59c3);
        StepI<10>(d, a, b, c, x[3], 0x8f0ccc92);
        StepI<15>(c, d, a, b, x[10], 0xffeff47d);
        StepI<21>(b, c, d, a, x[1], 0x85845dd1);
        StepI<6>(a, b, c, d, x[8], 0x6fa87e4f);
        StepI<10>(d, a, b, c, x[15], 0xfe2ce6e0);
        StepI<15>(c, d, a, b, x[6], 0xa3014314);
        StepI<21>(b, c, d, a, x[13], 0x4e0811a1);
        StepI<6>(a, b, c, d, x[4], 0xf7537e82);
        StepI<10>(d, a, b, c, x[11], 0xbd3af235);
        StepI<15>(c, d, a, b, x[2], 0x2ad7d2bb);
        StepI<21>(b, c, d, a, x[9], 0xeb86d391);

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    state.a = a;
    state.b = b;
    state.c = c;
    state.d = d;
}

}  // namespace

void Md5CompressBlocks(Md5State& state, const std::uint8_t* data, std::size_t blocks) {
    TransformBlocks(state, data, blocks);
}

void DigestInit(Md5State& state) {
    state.a = 0x67452301;
    state.b = 0xefcdab89;
    state.c = 0x98badcfe;
    state.d = 0x10325476;
    state.byteCount = 0;
    state.block.fill(0);
}

void DigestUpdate(Md5State& state, const void* bytes, std::size_t length) {
    if (length == 0) return;
    auto input = static_cast<const std::uint8_t*>(bytes);
    std::size_t used = state.byteCount % 64;
    state.byteCount += length;

    if (used > 0) {
        const std::size_t take = std::min(length, 64 - used);
        std::memcpy(state.block.data() + used, input, take);
        input += take;
        length -= take;
        used += take;
        if (used < 64) return;
        TransformBlocks(state, state.block.data(), 1);
    }
    // Whole blocks straight from the caller's bytes, without a copy.
    TransformBlocks(state, input, length / 64);
    input += length / 64 * 64;
    if (length % 64 > 0) std::memcpy(state.block.data(), input, length % 64);
}

void DigestFinal(Md5State& state) {
    // The length field counts bits modulo 2^64, as RFC 1321 has it.
    const std::uint64_t bitCount = state.byteCount * 8;
    std::uint8_t padding[72] = {0x80};
    const std::size_t used = state.byteCount % 64;
    const std::size_t padLength = used < 56 ? 56 - used : 120 - used;
    for (int i = 0; i < 8; ++i) {
        padding[padLength + i] = static_cast<std::uint8_t>(bitCount >> (8 * i));
    }
    DigestUpdate(state, padding, padLength + 8);
}

std::string DigestHexText(const Md5State& state) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(32);
    for (std::uint32_t word : {state.a, state.b, state.c, state.d}) {
        for (int i = 0; i < 4; ++i) {
            const unsigned byte = (word >> (8 * i)) & 0xff;
            text += kDigits[byte >> 4];
            text += kDigits[byte & 0xf];
        }
    }
    return text;
}

std::string TextDigest(std::string_view bytes) {
    Md5State state;
    DigestInit(state);
    DigestUpdate(state, bytes.data(), bytes.size());
    DigestFinal(state);
    return DigestHexText(state);
}

}  // namespace vorlix
