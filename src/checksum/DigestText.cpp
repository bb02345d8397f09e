#include "checksum/DigestText.h"

#include "checksum/ChecksumFile.h"
#include "util/Text.h"

namespace vorlix {

std::optional<std::string> ParseDigestText(std::string_view text) {
    const std::string_view digest = Trim(text);
    if (digest.size() != 32) return std::nullopt;
    for (char c : digest) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex) return std::nullopt;
    }
    return AsciiLower(digest);
}

std::optional<std::string> FindPublishedDigest(std::string_view text) {
    for (const std::string& line : SplitChecksumLines(text)) {
        std::string_view rest = Trim(line);
        if (rest.empty()) continue;
        if (AsciiLower(rest.substr(0, 4)) == "md5:") rest = Trim(rest.substr(4));
        if (auto digest = ParseDigestText(rest)) return digest;
        if (const auto entry = ParseStandardEntry(rest)) {
            if (auto digest = ParseDigestText(entry->digest)) return digest;
        }
    }
    return std::nullopt;
}

}  // namespace vorlix
