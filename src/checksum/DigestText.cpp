#include "checksum/DigestText.h"

#include <vector>

#include "util/Text.h"

namespace vorlix {
namespace {

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsHexRun(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!IsHex(c)) return false;
    }
    return true;
}

// The algorithm a name in front of a digest gives: "SHA256", "SHA-256",
// "sha2-256", "BLAKE2b", "b2"; nothing for a text that names none.
std::optional<DigestAlgorithm> AlgorithmNamedIn(std::string_view text) {
    std::string squeezed;
    for (char c : AsciiLower(Trim(text))) {
        if (c != '-' && c != '_' && c != ' ' && c != ':' && c != '\t') squeezed += c;
    }
    if (squeezed.find("blake2") != std::string::npos || squeezed == "b2")
        return DigestAlgorithm::Blake2b;
    // The longest names first: "sha512" holds no other, "sha2512" is SHA2-512.
    for (DigestAlgorithm algorithm :
         {DigestAlgorithm::Sha512, DigestAlgorithm::Sha384, DigestAlgorithm::Sha256,
          DigestAlgorithm::Sha224, DigestAlgorithm::Sha1, DigestAlgorithm::Md5}) {
        const std::string name(CommandLineName(algorithm));
        const std::string family = "sha2" + name.substr(3);
        if (squeezed.find(name) != std::string::npos ||
            (algorithm != DigestAlgorithm::Sha1 && algorithm != DigestAlgorithm::Md5 &&
             squeezed.find(family) != std::string::npos))
            return algorithm;
    }
    return std::nullopt;
}

// What `digest` is, given the name written before it on its line.
std::optional<PublishedDigest> Published(std::string_view digest, std::string_view before) {
    DigestSet algorithms = AlgorithmsOfLength(digest.size());
    if (algorithms.Empty()) return std::nullopt;
    if (algorithms.Size() > 1) {
        if (const auto named = AlgorithmNamedIn(before); named && algorithms.Has(*named))
            algorithms = *named;
    }
    return PublishedDigest{AsciiLower(digest), algorithms};
}

}  // namespace

std::optional<PublishedDigest> ParseDigestText(std::string_view text) {
    const std::string_view trimmed = Trim(text);
    if (IsHexRun(trimmed)) return Published(trimmed, {});
    // "NAME (file) = DIGEST" or "NAME: DIGEST": the name must fit the digest.
    std::string_view name, digest;
    if (const auto equals = trimmed.rfind(") = "); equals != trimmed.npos) {
        const auto open = trimmed.find(" (");
        if (open == trimmed.npos || open > equals) return std::nullopt;
        name = trimmed.substr(0, open);
        digest = Trim(trimmed.substr(equals + 4));
    } else if (const auto colon = trimmed.find(':'); colon != trimmed.npos) {
        name = Trim(trimmed.substr(0, colon));
        digest = Trim(trimmed.substr(colon + 1));
    } else {
        return std::nullopt;
    }
    const auto algorithm = AlgorithmNamedIn(name);
    if (!algorithm || !IsHexRun(digest) || digest.size() != HexDigits(*algorithm))
        return std::nullopt;
    // The name must be the algorithm's and nothing else.
    std::string squeezed;
    for (char c : AsciiLower(name)) {
        if (c != '-' && c != '_') squeezed += c;
    }
    const std::string own(CommandLineName(*algorithm));
    if (squeezed != own && squeezed != "sha2" + own.substr(3) &&
        !(*algorithm == DigestAlgorithm::Blake2b && squeezed == "blake2b512"))
        return std::nullopt;
    return PublishedDigest{AsciiLower(digest), *algorithm};
}

std::optional<PublishedDigest> FindPublishedDigest(std::string_view text) {
    // Hex digits that run on into a word belong to it ("0x…", "a…z").
    const auto joins = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '_';
    };
    std::vector<PublishedDigest> found;
    for (std::size_t at = 0; at < text.size();) {
        if (!IsHex(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && IsHex(text[end])) ++end;
        const bool alone =
            (at == 0 || !joins(text[at - 1])) && (end == text.size() || !joins(text[end]));
        if (alone) {
            const std::size_t lineStart = text.rfind('\n', at);
            const std::size_t from = lineStart == text.npos ? 0 : lineStart + 1;
            if (auto digest = Published(text.substr(at, end - at), text.substr(from, at - from))) {
                bool known = false;
                for (const PublishedDigest& other : found) known |= other.digest == digest->digest;
                if (!known) found.push_back(std::move(*digest));
            }
        }
        at = end;
    }
    if (found.size() == 1) return found.front();
    // Several: the one MD5 digest among them, if there is exactly one.
    std::optional<PublishedDigest> md5;
    for (const PublishedDigest& digest : found) {
        if (digest.algorithms != DigestAlgorithm::Md5) continue;
        if (md5) return std::nullopt;
        md5 = digest;
    }
    return md5;
}

}  // namespace vorlix
