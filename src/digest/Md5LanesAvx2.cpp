// Eight messages at once in the 256-bit registers of AVX2.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "digest/Md5Lanes.h"

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>

#define VORLIX_LANES_TARGET __attribute__((target("avx2"), always_inline))

namespace vorlix {
namespace {

struct V {
    using Reg = __m256i;
    static constexpr int kLanes = 8;

    VORLIX_LANES_TARGET static Reg Add(Reg a, Reg b) { return _mm256_add_epi32(a, b); }
    VORLIX_LANES_TARGET static Reg Set1(std::uint32_t k) {
        return _mm256_set1_epi32(static_cast<int>(k));
    }
    template <int s>
    VORLIX_LANES_TARGET static Reg Rotate(Reg x) {
        return _mm256_or_si256(_mm256_slli_epi32(x, s), _mm256_srli_epi32(x, 32 - s));
    }
    VORLIX_LANES_TARGET static Reg F(Reg b, Reg c, Reg d) {
        return _mm256_xor_si256(d, _mm256_and_si256(b, _mm256_xor_si256(c, d)));
    }
    VORLIX_LANES_TARGET static Reg G(Reg b, Reg c, Reg d) {
        return _mm256_xor_si256(c, _mm256_and_si256(d, _mm256_xor_si256(b, c)));
    }
    VORLIX_LANES_TARGET static Reg H(Reg b, Reg c, Reg d) {
        return _mm256_xor_si256(b, _mm256_xor_si256(c, d));
    }
    VORLIX_LANES_TARGET static Reg I(Reg b, Reg c, Reg d) {
        const Reg notD = _mm256_xor_si256(d, _mm256_set1_epi32(-1));
        return _mm256_xor_si256(c, _mm256_or_si256(b, notD));
    }
    VORLIX_LANES_TARGET static Reg Load(const std::uint32_t* words) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words));
    }
    VORLIX_LANES_TARGET static void Store(std::uint32_t* words, Reg r) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(words), r);
    }

    // Eight rows of eight words become eight columns: out[w] holds word w of
    // every lane.
    VORLIX_LANES_TARGET static void Transpose(const Reg (&in)[8], Reg* out) {
        const Reg t0 = _mm256_unpacklo_epi32(in[0], in[1]),
                  t1 = _mm256_unpackhi_epi32(in[0], in[1]);
        const Reg t2 = _mm256_unpacklo_epi32(in[2], in[3]),
                  t3 = _mm256_unpackhi_epi32(in[2], in[3]);
        const Reg t4 = _mm256_unpacklo_epi32(in[4], in[5]),
                  t5 = _mm256_unpackhi_epi32(in[4], in[5]);
        const Reg t6 = _mm256_unpacklo_epi32(in[6], in[7]),
                  t7 = _mm256_unpackhi_epi32(in[6], in[7]);
        const Reg u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
        const Reg u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
        const Reg u4 = _mm256_unpacklo_epi64(t4, t6), u5 = _mm256_unpackhi_epi64(t4, t6);
        const Reg u6 = _mm256_unpacklo_epi64(t5, t7), u7 = _mm256_unpackhi_epi64(t5, t7);
        out[0] = _mm256_permute2x128_si256(u0, u4, 0x20);
        out[1] = _mm256_permute2x128_si256(u1, u5, 0x20);
        out[2] = _mm256_permute2x128_si256(u2, u6, 0x20);
        out[3] = _mm256_permute2x128_si256(u3, u7, 0x20);
        out[4] = _mm256_permute2x128_si256(u0, u4, 0x31);
        out[5] = _mm256_permute2x128_si256(u1, u5, 0x31);
        out[6] = _mm256_permute2x128_si256(u2, u6, 0x31);
        out[7] = _mm256_permute2x128_si256(u3, u7, 0x31);
    }

    VORLIX_LANES_TARGET static void LoadTransposed(const std::uint8_t* const (&block)[8],
                                                   Reg (&x)[16]) {
        for (int half = 0; half < 2; ++half) {
            Reg rows[8];
            for (int lane = 0; lane < 8; ++lane) {
                rows[lane] =
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block[lane] + 32 * half));
            }
            Transpose(rows, x + 8 * half);
        }
    }
};

#include "digest/Md5LanesKernel.h"

}  // namespace

namespace detail {

__attribute__((target("avx2"))) void CompressLanesAvx2(std::uint32_t (&state)[4][8],
                                                       const std::uint8_t* const (&data)[8],
                                                       const std::size_t (&stride)[8],
                                                       std::size_t blocks) {
    md5_kernel::Compress(state, data, stride, blocks);
}

bool HasAvx2() { return __builtin_cpu_supports("avx2"); }

}  // namespace detail
}  // namespace vorlix

#else

namespace vorlix::detail {
void CompressLanesAvx2(std::uint32_t (&)[4][8], const std::uint8_t* const (&)[8],
                       const std::size_t (&)[8], std::size_t) {}
bool HasAvx2() { return false; }
}  // namespace vorlix::detail

#endif
