#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "checksum/DigestText.h"

namespace vorlix {
namespace {

// Only the digest found, for the tables.
std::optional<std::string> Found(std::string_view text) {
    const auto published = FindPublishedDigest(text);
    return published ? std::optional(published->digest) : std::nullopt;
}

constexpr const char* kAbc = "900150983cd24fb0d6963f7d28e17f72";
constexpr const char* kEmpty = "d41d8cd98f00b204e9800998ecf8427e";

// What people copy from a download page or a mail, whole.
TEST(PublishedDigest, IsFoundWhereverItStandsAloneAndOnlyWhenItIsTheOnlyOne) {
    const std::string abc = kAbc;
    const std::string sha256(64, 'a');
    const struct {
        std::string text;
        std::optional<std::string> found;
    } cases[] = {
        {"Published MD5: " + abc, abc},
        {"MD5 checksum (published 2024-03-05): " + abc + ".", abc},
        {"vorlix-1.0.tar.gz\t2.1 MB\t" + abc + "\t2024-03-05\tDownload", abc},
        {"<td>" + abc + "</td>", abc},
        {"MD5 (vorlix-1.0.tar.gz) = " + abc, abc},
        {"md5=" + std::string("900150983CD24FB0D6963F7D28E17F72") + ";", abc},
        // Several digests of one file: MD5 is taken, as it always was.
        {"SHA-256: " + sha256 + "\nMD5: " + abc + "\nSHA-1: " + std::string(40, 'b'), abc},
        {"MD5: " + abc + "\n(again) " + abc, abc},
        {"https://example.org/sums/" + abc + "/file.iso", abc},
        // Two different digests: the user says which.
        {"first.iso " + abc + "\nsecond.iso " + kEmpty, std::nullopt},
        {"MD5 (" + std::string(kEmpty) + ".iso) = " + abc, std::nullopt},
        {"SHA-256: " + sha256, sha256},
        {"SHA-256: " + sha256 + "\nSHA-1: " + std::string(40, 'b'), std::nullopt},
        // Runs that are part of something else, or of no digest's length.
        {std::string(48, 'a'), std::nullopt},
        {"0x" + abc, std::nullopt},
        {"id_" + abc, std::nullopt},
        {abc + "g", std::nullopt},
        {abc.substr(1), std::nullopt},
        {abc + "0", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(Found(c.text), c.found) << c.text;
}

TEST(PublishedDigest, ItsLengthOrTheNameBesideItSaysWhatItIs) {
    const std::string wide(128, 'c');
    const DigestSet either = DigestSet(DigestAlgorithm::Sha512).Add(DigestAlgorithm::Blake2b);
    const struct {
        std::string text;
        DigestSet algorithms;
    } cases[] = {
        {std::string(40, 'a'), DigestAlgorithm::Sha1},
        {std::string(96, 'a'), DigestAlgorithm::Sha384},
        {wide, either},
        {"SHA512: " + wide, DigestAlgorithm::Sha512},
        {"SHA2-512 checksum " + wide, DigestAlgorithm::Sha512},
        {"BLAKE2b (image.iso) = " + wide, DigestAlgorithm::Blake2b},
        {"b2: " + wide, DigestAlgorithm::Blake2b},
        {"image.iso\n" + wide + "  image.iso", either},
    };
    for (const auto& c : cases) {
        const auto found = FindPublishedDigest(c.text);
        ASSERT_TRUE(found) << c.text;
        EXPECT_EQ(found->algorithms, c.algorithms) << c.text;
    }
}

TEST(PublishedDigest, ATypedDigestMayCarryItsNameWhenTheNameFits) {
    const std::string sha256(64, 'A');
    const std::string lower(64, 'a');
    const struct {
        std::string text;
        std::optional<PublishedDigest> parsed;
    } cases[] = {
        {" " + sha256 + "\t", PublishedDigest{lower, DigestAlgorithm::Sha256}},
        {"SHA256:" + sha256, PublishedDigest{lower, DigestAlgorithm::Sha256}},
        {"sha-256: " + sha256, PublishedDigest{lower, DigestAlgorithm::Sha256}},
        {"SHA256 (image.iso) = " + sha256, PublishedDigest{lower, DigestAlgorithm::Sha256}},
        {"MD5: " + std::string(kAbc), PublishedDigest{kAbc, DigestAlgorithm::Md5}},
        {"blake2b:" + std::string(128, 'b'),
         PublishedDigest{std::string(128, 'b'), DigestAlgorithm::Blake2b}},
        // A name that does not fit the length, or is not a digest's.
        {"SHA512:" + sha256, std::nullopt},
        {"MD5:" + sha256, std::nullopt},
        {"my sha256: " + sha256, std::nullopt},
        {sha256 + "0", std::nullopt},
        {"SHA256:", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseDigestText(c.text), c.parsed) << c.text;
}

}  // namespace
}  // namespace vorlix
