// Sixteen messages at once in the 512-bit registers of AVX-512: a rotation is
// one instruction there, and each round function one ternary-logic operation.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "digest/Md5Lanes.h"

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>

#define VORLIX_LANES_TARGET __attribute__((target("avx512f,avx2"), always_inline))

namespace vorlix {
namespace {

struct V {
    using Reg = __m512i;
    static constexpr int kLanes = 16;

    VORLIX_LANES_TARGET static Reg Add(Reg a, Reg b) { return _mm512_add_epi32(a, b); }
    VORLIX_LANES_TARGET static Reg Set1(std::uint32_t k) {
        return _mm512_set1_epi32(static_cast<int>(k));
    }
    template <int s>
    VORLIX_LANES_TARGET static Reg Rotate(Reg x) {
        return _mm512_rol_epi32(x, s);
    }
    // The truth tables of the round functions of (b, c, d).
    VORLIX_LANES_TARGET static Reg F(Reg b, Reg c, Reg d) {
        return _mm512_ternarylogic_epi32(b, c, d, 0xCA);  // b ? c : d
    }
    VORLIX_LANES_TARGET static Reg G(Reg b, Reg c, Reg d) {
        return _mm512_ternarylogic_epi32(b, c, d, 0xE4);  // d ? b : c
    }
    VORLIX_LANES_TARGET static Reg H(Reg b, Reg c, Reg d) {
        return _mm512_ternarylogic_epi32(b, c, d, 0x96);  // b ^ c ^ d
    }
    VORLIX_LANES_TARGET static Reg I(Reg b, Reg c, Reg d) {
        return _mm512_ternarylogic_epi32(b, c, d, 0x39);  // c ^ (b | ~d)
    }
    VORLIX_LANES_TARGET static Reg Load(const std::uint32_t* words) {
        return _mm512_loadu_si512(words);
    }
    VORLIX_LANES_TARGET static void Store(std::uint32_t* words, Reg r) {
        _mm512_storeu_si512(words, r);
    }

    // Eight rows of eight words become eight columns (as in the AVX2 kernel).
    VORLIX_LANES_TARGET static void Transpose8(const __m256i (&in)[8], __m256i (&out)[8]) {
        const __m256i t0 = _mm256_unpacklo_epi32(in[0], in[1]);
        const __m256i t1 = _mm256_unpackhi_epi32(in[0], in[1]);
        const __m256i t2 = _mm256_unpacklo_epi32(in[2], in[3]);
        const __m256i t3 = _mm256_unpackhi_epi32(in[2], in[3]);
        const __m256i t4 = _mm256_unpacklo_epi32(in[4], in[5]);
        const __m256i t5 = _mm256_unpackhi_epi32(in[4], in[5]);
        const __m256i t6 = _mm256_unpacklo_epi32(in[6], in[7]);
        const __m256i t7 = _mm256_unpackhi_epi32(in[6], in[7]);
        const __m256i u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
        const __m256i u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
        const __m256i u4 = _mm256_unpacklo_epi64(t4, t6), u5 = _mm256_unpackhi_epi64(t4, t6);
        const __m256i u6 = _mm256_unpacklo_epi64(t5, t7), u7 = _mm256_unpackhi_epi64(t5, t7);
        out[0] = _mm256_permute2x128_si256(u0, u4, 0x20);
        out[1] = _mm256_permute2x128_si256(u1, u5, 0x20);
        out[2] = _mm256_permute2x128_si256(u2, u6, 0x20);
        out[3] = _mm256_permute2x128_si256(u3, u7, 0x20);
        out[4] = _mm256_permute2x128_si256(u0, u4, 0x31);
        out[5] = _mm256_permute2x128_si256(u1, u5, 0x31);
        out[6] = _mm256_permute2x128_si256(u2, u6, 0x31);
        out[7] = _mm256_permute2x128_si256(u3, u7, 0x31);
    }

    // Lanes 0-7 and 8-15 are turned as two 8-by-8 squares per half block,
    // then joined into one register per word.
    VORLIX_LANES_TARGET static void LoadTransposed(const std::uint8_t* const (&block)[16],
                                                   Reg (&x)[16]) {
        for (int half = 0; half < 2; ++half) {
            __m256i low[8], high[8];
            for (int lane = 0; lane < 8; ++lane) {
                low[lane] =
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block[lane] + 32 * half));
                high[lane] = _mm256_loadu_si256(
                    reinterpret_cast<const __m256i*>(block[lane + 8] + 32 * half));
            }
            __m256i lowWords[8], highWords[8];
            Transpose8(low, lowWords);
            Transpose8(high, highWords);
            for (int w = 0; w < 8; ++w) {
                x[8 * half + w] =
                    _mm512_inserti64x4(_mm512_castsi256_si512(lowWords[w]), highWords[w], 1);
            }
        }
    }
};

#include "digest/Md5LanesKernel.h"

}  // namespace

namespace detail {

__attribute__((target("avx512f,avx2"))) void CompressLanesAvx512(
    std::uint32_t (&state)[4][16], const std::uint8_t* const (&data)[16],
    const std::size_t (&stride)[16], std::size_t blocks) {
    md5_kernel::Compress(state, data, stride, blocks);
}

bool HasAvx512() { return __builtin_cpu_supports("avx512f"); }

}  // namespace detail
}  // namespace vorlix

#else

namespace vorlix::detail {
void CompressLanesAvx512(std::uint32_t (&)[4][16], const std::uint8_t* const (&)[16],
                         const std::size_t (&)[16], std::size_t) {}
bool HasAvx512() { return false; }
}  // namespace vorlix::detail

#endif
