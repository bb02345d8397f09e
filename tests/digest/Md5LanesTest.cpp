#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "digest/Md5.h"
#include "digest/Md5Lanes.h"

namespace vorlix {
namespace {

// Digests every message through `width` lanes, handing each lane at most
// `chunkBlocks` blocks at a time from a copy misaligned by `offset` bytes; a
// lane whose message ends is refilled with the next one.
std::vector<std::string> DigestThroughLanes(const std::vector<std::string>& messages, int width,
                                            std::size_t chunkBlocks, std::size_t offset) {
    std::vector<std::vector<std::uint8_t>> copies;
    for (const std::string& message : messages) {
        std::vector<std::uint8_t> copy(offset + message.size());
        if (!message.empty()) std::memcpy(copy.data() + offset, message.data(), message.size());
        copies.push_back(std::move(copy));
    }
    struct Slot {
        int message = -1;
        std::size_t done = 0;  // bytes handed to the lane so far
    };
    const int laneCount = width == 1 ? 4 : width;
    std::vector<Md5Lane> lanes(laneCount);
    std::vector<Slot> slots(laneCount);
    std::vector<std::string> digests(messages.size());
    int next = 0;
    std::size_t finished = 0;

    auto supply = [&](int i) {
        // Whole blocks go to the lanes; the tail goes through the scalar core.
        for (;;) {
            Slot& slot = slots[i];
            if (slot.message < 0) {
                if (next == static_cast<int>(messages.size())) return;
                slot = {next++, 0};
                DigestInit(lanes[i].state);
            }
            const std::size_t size = messages[slot.message].size();
            const std::size_t wholeLeft = (size - slot.done) / 64;
            const std::uint8_t* start = copies[slot.message].data() + offset + slot.done;
            if (wholeLeft > 0) {
                lanes[i].data = start;
                lanes[i].blocks = std::min(wholeLeft, chunkBlocks);
                slot.done += lanes[i].blocks * 64;
                return;
            }
            DigestUpdate(lanes[i].state, start, size - slot.done);
            DigestFinal(lanes[i].state);
            digests[slot.message] = DigestHexText(lanes[i].state);
            ++finished;
            slot.message = -1;
        }
    };
    while (finished < messages.size()) {
        for (int i = 0; i < laneCount; ++i) {
            if (lanes[i].blocks == 0) supply(i);
        }
        Md5CompressLanes(lanes, width);
    }
    return digests;
}

std::vector<int> WidthsHere() {
    std::vector<int> widths = {1};
    if (detail::HasAvx2()) widths.push_back(8);
    if (detail::HasAvx512()) widths.push_back(16);
    return widths;
}

std::string RandomBytes(std::size_t size, std::mt19937& random) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xff);
    return bytes;
}

TEST(Md5LanesTest, RfcVectorsInEveryLane) {
    std::vector<std::pair<std::string, std::string>> vectors = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {std::string(80, '\0'), "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (std::size_t i = 0; i < 80; ++i) vectors.back().first[i] = "1234567890"[i % 10];
    for (int width : WidthsHere()) {
        // Each vector stands in every lane once, between the others.
        std::vector<std::string> messages, expected;
        for (int round = 0; round < 3; ++round) {
            for (const auto& [message, digest] : vectors) {
                messages.push_back(message);
                expected.push_back(digest);
            }
        }
        EXPECT_EQ(DigestThroughLanes(messages, width, 1, 0), expected) << "width " << width;
    }
}

TEST(Md5LanesTest, LengthsChunksAndAlignmentNeverChangeADigest) {
    std::mt19937 random(20261210);
    std::vector<std::string> messages;
    for (std::size_t size : {0, 1, 55, 56, 63, 64, 65, 127, 128, 129, 64 * 7 + 3, 4096, 70001}) {
        messages.push_back(RandomBytes(size, random));
    }
    // More messages than lanes, of mixed lengths, so lanes are refilled mid-run.
    for (int i = 0; i < 40; ++i) messages.push_back(RandomBytes(random() % 3000, random));
    std::vector<std::string> expected;
    for (const std::string& message : messages) expected.push_back(TextDigest(message));

    for (int width : WidthsHere()) {
        for (std::size_t chunkBlocks : {1, 3, 1000}) {
            for (std::size_t offset : {0, 1, 7}) {
                EXPECT_EQ(DigestThroughLanes(messages, width, chunkBlocks, offset), expected)
                    << "width " << width << ", chunks of " << chunkBlocks << " blocks, offset "
                    << offset;
            }
        }
    }
}

TEST(Md5LanesTest, KernelsMatchTheScalarCoreLaneByLane) {
    // The kernels straight, with idle lanes among the busy ones.
    std::mt19937 random(7);
    const std::string data = RandomBytes(16 * 64 * 5, random);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    for (int width : WidthsHere()) {
        if (width == 1) continue;
        std::vector<Md5Lane> lanes(width);
        for (int i = 0; i < width; ++i) {
            DigestInit(lanes[i].state);
            if (i % 3 == 2) continue;  // idle
            lanes[i].data = bytes + i * 64 * 5;
            lanes[i].blocks = 5;
        }
        std::vector<Md5Lane> scalar = lanes;
        EXPECT_EQ(Md5CompressLanes(lanes, width), 5u);
        for (int i = 0; i < width; ++i) {
            if (scalar[i].blocks > 0) Md5CompressBlocks(scalar[i].state, scalar[i].data, 5);
            EXPECT_EQ(lanes[i].state.a, scalar[i].state.a) << "lane " << i;
            EXPECT_EQ(lanes[i].state.d, scalar[i].state.d) << "lane " << i;
            EXPECT_EQ(lanes[i].blocks, 0u);
        }
    }
    if (WidthsHere().size() == 1) GTEST_SKIP() << "this processor has neither AVX2 nor AVX-512";
}

}  // namespace
}  // namespace vorlix
