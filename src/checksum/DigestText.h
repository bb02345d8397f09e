#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "digest/DigestAlgorithm.h"

namespace vorlix {

// A digest someone published, and what it may be a digest of: its length
// says which algorithm, but for 128 digits (SHA-512 or BLAKE2b) unless a
// name next to it says.
struct PublishedDigest {
    std::string digest;  // lower case
    DigestSet algorithms;
    bool operator==(const PublishedDigest&) const = default;
};

// A digest typed or passed on the command line: the hexadecimal digits of
// one of the program's digests, blanks around them ignored, alone, after a
// name ("SHA256:", "SHA-256: ", "MD5:") or in a tag line ("SHA256 (name) =
// digest"). A name must fit the digest's length.
std::optional<PublishedDigest> ParseDigestText(std::string_view text);

// A digest anywhere in text copied from a web page or a mail: alone, after
// "Published MD5:", in a table's line copied whole, in a line of a checksum
// file ("digest  name", "SHA256 (name) = digest"). Found when one digest
// stands alone there, a run of hexadecimal digits of a digest's length
// between characters that are no letter, digit or "_" (the same one twice
// counts once). Where there are several, the one MD5 digest among them is
// taken, as the program always has; otherwise the user has to say which.
std::optional<PublishedDigest> FindPublishedDigest(std::string_view text);

}  // namespace vorlix
