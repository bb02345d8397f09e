#include "digest/Md5Lanes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace vorlix {

namespace {

int DetectWidth() {
    int width = 1;
    if (detail::HasAvx2()) width = 8;
    if (detail::HasAvx512()) width = 16;
    if (const char* forced = std::getenv("VORLIX_MD5_LANES")) {
        const std::string_view text(forced);
        if (text == "1")
            width = 1;
        else if (text == "8")
            width = std::min(width, 8);
    }
    return width;
}

// Idle lanes read this block and go nowhere.
alignas(64) constexpr std::uint8_t kIdleBlock[64] = {};

template <int kLanes, typename Kernel>
void CompressGroup(Md5Lane* const* lanes, int count, std::size_t blocks, Kernel kernel) {
    std::uint32_t state[4][kLanes] = {};
    const std::uint8_t* data[kLanes];
    std::size_t stride[kLanes];
    for (int i = 0; i < kLanes; ++i) {
        if (i < count) {
            const Md5State& s = lanes[i]->state;
            state[0][i] = s.a;
            state[1][i] = s.b;
            state[2][i] = s.c;
            state[3][i] = s.d;
            data[i] = lanes[i]->data;
            stride[i] = 64;
        } else {
            data[i] = kIdleBlock;
            stride[i] = 0;
        }
    }
    kernel(state, data, stride, blocks);
    for (int i = 0; i < count; ++i) {
        Md5State& s = lanes[i]->state;
        s.a = state[0][i];
        s.b = state[1][i];
        s.c = state[2][i];
        s.d = state[3][i];
    }
}

}  // namespace

int Md5LaneWidth() {
    static const int width = DetectWidth();
    return width;
}

const char* Md5LaneInstructionSet(int width) {
    return width >= 16 ? "AVX-512" : width >= 8 ? "AVX2" : "scalar";
}

std::size_t Md5CompressLanes(std::span<Md5Lane> lanes, int width) {
    Md5Lane* busy[16];
    int count = 0;
    std::size_t blocks = 0;
    for (Md5Lane& lane : lanes) {
        if (lane.blocks == 0) continue;
        if (count == 16) break;
        blocks = count == 0 ? lane.blocks : std::min(blocks, lane.blocks);
        busy[count++] = &lane;
    }
    if (count == 0) return 0;

    // One lane alone runs faster on the scalar core's shorter chain.
    if (count == 1 || width <= 1) {
        for (int i = 0; i < count; ++i) Md5CompressBlocks(busy[i]->state, busy[i]->data, blocks);
    } else {
        for (int first = 0; first < count; first += width) {
            const int group = std::min(width, count - first);
            if (width >= 16) {
                CompressGroup<16>(busy + first, group, blocks, detail::CompressLanesAvx512);
            } else {
                CompressGroup<8>(busy + first, group, blocks, detail::CompressLanesAvx2);
            }
        }
    }
    for (int i = 0; i < count; ++i) {
        busy[i]->data += blocks * 64;
        busy[i]->blocks -= blocks;
        busy[i]->state.byteCount += blocks * 64;
    }
    return blocks;
}

}  // namespace vorlix
