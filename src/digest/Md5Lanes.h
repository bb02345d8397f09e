#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "digest/Md5.h"

namespace vorlix {

// Independent messages digested side by side in the lanes of the vector unit:
// 16 with AVX-512, 8 with AVX2, one at a time elsewhere. One message's MD5 is
// a single chain of dependent steps; several chains fill the unit.

// The most lanes that help here: 16, 8 or 1. VORLIX_MD5_LANES=1 forces the
// scalar core (8 and 16 are capped by what the processor has).
int Md5LaneWidth();
// The instruction set behind a width, for reports: "AVX-512", "AVX2", "scalar".
const char* Md5LaneInstructionSet(int width);

// One message in a lane: its state, and the whole blocks it may consume next.
struct Md5Lane {
    Md5State state;
    const std::uint8_t* data = nullptr;
    std::size_t blocks = 0;
};

// Compresses whole blocks of every lane that has some (at most `width` lanes
// per pass), until one of them has none left; that lane then wants new data
// or its tail. Each lane's state, data and block count move on by what was
// consumed. The lanes' states must hold no partial block (byteCount a
// multiple of 64). Returns how many blocks each busy lane consumed.
std::size_t Md5CompressLanes(std::span<Md5Lane> lanes, int width);

// The scalar core: whole blocks of one message.
void Md5CompressBlocks(Md5State& state, const std::uint8_t* data, std::size_t blocks);

namespace detail {
// The vector kernels. `state` holds a, b, c, d for each lane; lane i reads its
// blocks from data[i], moving on by stride[i] bytes per block (0 for an idle lane).
void CompressLanesAvx2(std::uint32_t (&state)[4][8], const std::uint8_t* const (&data)[8],
                       const std::size_t (&stride)[8], std::size_t blocks);
void CompressLanesAvx512(std::uint32_t (&state)[4][16], const std::uint8_t* const (&data)[16],
                         const std::size_t (&stride)[16], std::size_t blocks);
bool HasAvx2();
bool HasAvx512();
}  // namespace detail

}  // namespace vorlix
