#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "checksum/DigestText.h"

namespace vorlix {
namespace {

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
        {"SHA-256: " + sha256 + "\nMD5: " + abc + "\nSHA-1: " + std::string(40, 'b'), abc},
        {"MD5: " + abc + "\n(again) " + abc, abc},
        {"https://example.org/sums/" + abc + "/file.iso", abc},
        // Two different digests: the user says which.
        {"first.iso " + abc + "\nsecond.iso " + kEmpty, std::nullopt},
        {"MD5 (" + std::string(kEmpty) + ".iso) = " + abc, std::nullopt},
        // Runs that are part of something else, or of another length.
        {"SHA-256: " + sha256, std::nullopt},
        {"0x" + abc, std::nullopt},
        {"id_" + abc, std::nullopt},
        {abc + "g", std::nullopt},
        {abc.substr(1), std::nullopt},
        {abc + "0", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(FindPublishedDigest(c.text), c.found) << c.text;
}

}  // namespace
}  // namespace vorlix
