#include "checksum/DigestText.h"

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
    const auto isHex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    };
    // Hex digits that run on into a word belong to it ("0x…", "a…z").
    const auto joins = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '_';
    };
    std::optional<std::string> found;
    for (std::size_t at = 0; at < text.size();) {
        if (!isHex(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && isHex(text[end])) ++end;
        const bool alone =
            (at == 0 || !joins(text[at - 1])) && (end == text.size() || !joins(text[end]));
        if (alone && end - at == 32) {
            std::string digest = AsciiLower(text.substr(at, 32));
            // Two different ones: which is meant is for the user to say.
            if (found && *found != digest) return std::nullopt;
            found = std::move(digest);
        }
        at = end;
    }
    return found;
}

}  // namespace vorlix
