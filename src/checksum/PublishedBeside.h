#pragma once

#include <optional>
#include <string>

#include "checksum/DigestText.h"

namespace vorlix {

// A digest published for a file in a checksum file of its folder.
struct PublishedBeside {
    std::string checksumPath;  // where it was found
    PublishedDigest published;
};

// The first checksum file beside `dataPath` that records a digest for it:
// DATA.md5, DATA.sha256, DATA.sha512, DATA.sha1, then MD5SUMS, SHA256SUMS,
// SHA512SUMS and CHECKSUM, each also in the other letter case. Only regular
// files of a sensible size are read, an entry at a time; an entry names the
// file as "NAME" or "./NAME".
std::optional<PublishedBeside> FindPublishedBeside(const std::string& dataPath);

}  // namespace vorlix
