#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "digest/Md5.h"
#include "support/Pattern.h"

namespace vorlix {
namespace {

using test::Pattern;

struct Known {
    std::string input;
    const char* digest;
};

TEST(Md5Test, MatchesPublishedValues) {
    const std::vector<Known> cases = {
        // The test suite of RFC 1321.
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        // Around the length field: 55 fits one block, 56 needs a whole block of padding.
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(57, 'a'), "652b906d60af96844ebd21b674f35e93"},
        {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
        {std::string(1000, 'a'), "cabe45dcc9ae5b66ba86600cca6b8ba8"},
        {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"},
    };
    for (const auto& [input, digest] : cases) {
        EXPECT_EQ(TextDigest(input), digest) << "length " << input.size();
    }
}

TEST(Md5Test, EveryByteValueCountsAsItself) {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    EXPECT_EQ(TextDigest(bytes), "e2c865db4162bed963bfaa9ef6ac18f0");
    std::string reversed(bytes.rbegin(), bytes.rend());
    EXPECT_EQ(TextDigest(reversed), "ec6df70f2569891eae50321a9179eb82");
}

TEST(Md5Test, ChunkingAndAlignmentNeverChangeTheDigest) {
    const std::string data = Pattern(5000);
    const std::vector<std::size_t> chunkSizes = {1, 3, 55, 56, 63, 64, 65, 127, 128, 1000, 4999};
    for (std::size_t length : {std::size_t{0}, std::size_t{64}, std::size_t{119}, data.size()}) {
        const std::string whole = TextDigest(std::string_view(data).substr(0, length));
        for (std::size_t chunk : chunkSizes) {
            for (std::size_t offset = 0; offset < 8; ++offset) {
                // A copy at an odd address, fed in pieces of one size.
                std::vector<char> shifted(offset + length);
                std::copy_n(data.begin(), length, shifted.begin() + offset);
                Md5State state;
                DigestInit(state);
                for (std::size_t at = 0; at < length; at += chunk) {
                    DigestUpdate(state, shifted.data() + offset + at, std::min(chunk, length - at));
                }
                DigestFinal(state);
                EXPECT_EQ(DigestHexText(state), whole)
                    << "length " << length << ", chunk " << chunk << ", offset " << offset;
            }
        }
    }
}

TEST(Md5Test, InitStartsAFreshDigest) {
    Md5State state;
    DigestInit(state);
    DigestUpdate(state, "leftover", 8);
    DigestInit(state);
    DigestUpdate(state, "abc", 3);
    DigestFinal(state);
    EXPECT_EQ(DigestHexText(state), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace vorlix
