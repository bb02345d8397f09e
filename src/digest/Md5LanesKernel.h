// The 64 MD5 steps written once for any vector of 32-bit lanes. Included by
// one source file per instruction set, after it has defined
// VORLIX_LANES_TARGET (the function attribute naming that set) and a policy
// struct `V` with the vector type and its operations. Everything here lives in
// that file's anonymous namespace, so the sets never mix.
#pragma once

namespace md5_kernel {

constexpr std::uint32_t kConstants[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int kShifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

constexpr int MessageIndex(int step) {
    const int i = step % 16;
    switch (step / 16) {
        case 0:
            return i;
        case 1:
            return (1 + 5 * i) % 16;
        case 2:
            return (5 + 3 * i) % 16;
        default:
            return (7 * i) % 16;
    }
}

// Step `i` updates one of the four words; the names move round by one each step.
template <int i>
VORLIX_LANES_TARGET inline void Step(typename V::Reg (&r)[4], const typename V::Reg (&x)[16]) {
    constexpr int a = (64 - i) % 4, b = (65 - i) % 4, c = (66 - i) % 4, d = (67 - i) % 4;
    constexpr int round = i / 16;
    typename V::Reg f;
    if constexpr (round == 0)
        f = V::F(r[b], r[c], r[d]);
    else if constexpr (round == 1)
        f = V::G(r[b], r[c], r[d]);
    else if constexpr (round == 2)
        f = V::H(r[b], r[c], r[d]);
    else
        f = V::I(r[b], r[c], r[d]);
    typename V::Reg sum = V::Add(V::Add(r[a], V::Set1(kConstants[i])), x[MessageIndex(i)]);
    sum = V::Add(sum, f);
    r[a] = V::Add(V::template Rotate<kShifts[round][i % 4]>(sum), r[b]);
}

template <int... i>
VORLIX_LANES_TARGET inline void Steps(typename V::Reg (&r)[4], const typename V::Reg (&x)[16],
                                      std::integer_sequence<int, i...>) {
    (Step<i>(r, x), ...);
}

// Compresses `blocks` blocks for every lane; the state stays in registers.
VORLIX_LANES_TARGET inline void Compress(std::uint32_t (&state)[4][V::kLanes],
                                         const std::uint8_t* const (&data)[V::kLanes],
                                         const std::size_t (&stride)[V::kLanes],
                                         std::size_t blocks) {
    typename V::Reg r[4];
    for (int w = 0; w < 4; ++w) r[w] = V::Load(state[w]);
    const std::uint8_t* next[V::kLanes];
    for (int lane = 0; lane < V::kLanes; ++lane) next[lane] = data[lane];

    for (std::size_t block = 0; block < blocks; ++block) {
        typename V::Reg x[16];
        V::LoadTransposed(next, x);
        for (int lane = 0; lane < V::kLanes; ++lane) next[lane] += stride[lane];
        const typename V::Reg saved[4] = {r[0], r[1], r[2], r[3]};
        Steps(r, x, std::make_integer_sequence<int, 64>());
        for (int w = 0; w < 4; ++w) r[w] = V::Add(r[w], saved[w]);
    }
    for (int w = 0; w < 4; ++w) V::Store(state[w], r[w]);
}

}  // namespace md5_kernel
