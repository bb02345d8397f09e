#include <gtest/gtest.h>

#include <any>
#include <string>
#include <vector>

#include "digest/DigestAlgorithm.h"
#include "digest/FileDigest.h"
#include "digest/Hasher.h"
#include "digest/ManyFileDigest.h"
#include "digest/Md5.h"
#include "support/Pattern.h"
#include "support/TempDir.h"

namespace vorlix {
namespace {

using Status = FileDigestResult::Status;

DigestSet Every() {
    DigestSet set;
    for (DigestAlgorithm algorithm : kDigestAlgorithms) set.Add(algorithm);
    return set;
}

TEST(OtherDigestsTest, KnownAnswersOfEveryAlgorithm) {
    // FIPS 180-4 and RFC 7693 examples, and the digests of no bytes.
    const struct {
        DigestAlgorithm algorithm;
        std::string_view bytes;
        std::string_view digest;
    } cases[] = {
        {DigestAlgorithm::Md5, "abc", "900150983cd24fb0d6963f7d28e17f72"},
        {DigestAlgorithm::Sha1, "abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {DigestAlgorithm::Sha224, "abc",
         "23097d223405d8228642a477bda255b32aadbce4bda0b3f7e36c9da7"},
        {DigestAlgorithm::Sha256, "abc",
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {DigestAlgorithm::Sha384, "abc",
         "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca1"
         "34c825a7"},
        {DigestAlgorithm::Sha512, "abc",
         "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23"
         "a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
        {DigestAlgorithm::Blake2b, "abc",
         "ba80a53f981c4d0d6a2797b69f12f6e94c212f14685ac4b74b12bb6fdbffa2d17d87c5392aab792dc252d5de"
         "4533cc9518d38aa8dbf1925ab92386edd4009923"},
        {DigestAlgorithm::Sha256, "",
         "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextDigest(c.algorithm, c.bytes), c.digest) << DisplayName(c.algorithm);
        EXPECT_EQ(c.digest.size(), HexDigits(c.algorithm));
    }
}

TEST(OtherDigestsTest, NamesAndLengths) {
    EXPECT_EQ(AlgorithmNamed("SHA256"), DigestAlgorithm::Sha256);
    EXPECT_EQ(AlgorithmNamed("blake2b"), DigestAlgorithm::Blake2b);
    EXPECT_EQ(AlgorithmNamed("sha-256"), std::nullopt);
    EXPECT_EQ(AlgorithmNamed(""), std::nullopt);
    EXPECT_EQ(SuffixName(DigestAlgorithm::Sha256), "SHA256");
    EXPECT_EQ(TagName(DigestAlgorithm::Blake2b), "BLAKE2b");
    EXPECT_EQ(AlgorithmsOfLength(128),
              DigestSet(DigestAlgorithm::Sha512).Add(DigestAlgorithm::Blake2b));
    EXPECT_TRUE(AlgorithmsOfLength(33).Empty());
}

// One read gives every digest, whether the file is read on the caller's
// thread (small) or through the ring with a thread per digest (big).
TEST(OtherDigestsTest, EveryDigestFromOneReadOfAFile) {
    test::TempDir dir;
    for (std::size_t size : {std::size_t{0}, std::size_t{1000}, (std::size_t{5} << 20) + 3}) {
        const std::string bytes = test::Pattern(size, 7u);
        const std::string path = dir.Write("data" + std::to_string(size), bytes);
        const FileDigestResult result =
            ComputeFileDigest(path, {}, nullptr, FileKind::RegularOrBlockDevice, Every());
        ASSERT_EQ(result.status, Status::Ok);
        EXPECT_EQ(result.size, size);
        EXPECT_EQ(result.digest, TextDigest(bytes)) << "the first asked is MD5";
        for (DigestAlgorithm algorithm : kDigestAlgorithms) {
            EXPECT_EQ(result.Of(algorithm), TextDigest(algorithm, bytes))
                << DisplayName(algorithm) << " of " << size << " bytes";
        }
        const FileDigestResult sha = ComputeFileDigest(
            path, {}, nullptr, FileKind::RegularOrBlockDevice, DigestAlgorithm::Sha256);
        EXPECT_EQ(sha.digest, TextDigest(DigestAlgorithm::Sha256, bytes));
        EXPECT_TRUE(sha.Of(DigestAlgorithm::Md5).empty());
    }
}

TEST(OtherDigestsTest, CancellingAManyDigestReadStopsEveryThread) {
    test::TempDir dir;
    const std::string path = dir.Write("big", test::Pattern(std::size_t{8} << 20, 3u));
    std::atomic<bool> cancel{false};
    const FileDigestResult result = ComputeFileDigest(
        path, [&](std::uint64_t done, std::uint64_t) { cancel = done >= (std::uint64_t{2} << 20); },
        &cancel, FileKind::RegularOrBlockDevice, Every());
    EXPECT_EQ(result.status, Status::Cancelled);
}

// Files of a list may each want another digest; the lanes keep MD5 and the
// rest is computed from the same reads.
TEST(OtherDigestsTest, ManyFilesEachInItsOwnDigests) {
    test::TempDir dir;
    const DigestSet sets[] = {DigestAlgorithm::Md5, DigestAlgorithm::Sha256,
                              DigestSet(DigestAlgorithm::Sha512).Add(DigestAlgorithm::Blake2b),
                              DigestSet(DigestAlgorithm::Md5).Add(DigestAlgorithm::Sha1),
                              DigestAlgorithm::Sha384};
    const std::size_t sizes[] = {0, 63, 64, 4097, (128 << 10) + 1, 300000, 1 << 20};
    struct Expected {
        std::string bytes;
        DigestSet algorithms;
    };
    std::vector<Expected> expected;
    std::vector<ManyFileEntry> entries;
    for (std::size_t i = 0; i < 35; ++i) {
        Expected file{test::Pattern(sizes[i % 7], static_cast<unsigned>(i)), sets[i % 5]};
        entries.push_back({dir.Write("f" + std::to_string(i), file.bytes), file.algorithms, {}});
        expected.push_back(std::move(file));
    }
    for (int lanes : {0, 1}) {
        std::size_t next = 0;
        std::size_t seen = 0;
        ManyFileDigestOptions options;
        options.lanes = lanes;
        DigestManyFiles(
            [&](ManyFileEntry& entry) {
                if (next == entries.size()) return false;
                entry = entries[next++];
                return true;
            },
            [&](std::size_t index, ManyFileEntry&, const FileDigestResult& result) {
                ++seen;
                ASSERT_EQ(result.status, Status::Ok);
                const Expected& file = expected[index];
                EXPECT_EQ(result.digest, TextDigest(file.algorithms.First(), file.bytes));
                for (DigestAlgorithm algorithm : kDigestAlgorithms) {
                    EXPECT_EQ(result.Of(algorithm), file.algorithms.Has(algorithm)
                                                        ? TextDigest(algorithm, file.bytes)
                                                        : std::string())
                        << "file " << index << ", " << DisplayName(algorithm);
                }
            },
            options);
        EXPECT_EQ(seen, entries.size());
    }
}

}  // namespace
}  // namespace vorlix
