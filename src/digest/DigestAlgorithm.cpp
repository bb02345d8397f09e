#include "digest/DigestAlgorithm.h"

#include "util/Text.h"

namespace vorlix {
namespace {

struct AlgorithmNames {
    std::string_view commandLine;
    std::string_view tag;
    std::string_view display;
    std::size_t hexDigits;
};

constexpr std::array<AlgorithmNames, kDigestAlgorithmCount> kNames = {{
    {"md5", "MD5", "MD5", 32},
    {"sha1", "SHA1", "SHA-1", 40},
    {"sha224", "SHA224", "SHA-224", 56},
    {"sha256", "SHA256", "SHA-256", 64},
    {"sha384", "SHA384", "SHA-384", 96},
    {"sha512", "SHA512", "SHA-512", 128},
    {"blake2b", "BLAKE2b", "BLAKE2b", 128},
}};

const AlgorithmNames& NamesOf(DigestAlgorithm algorithm) {
    return kNames[static_cast<std::size_t>(algorithm)];
}

}  // namespace

std::string_view CommandLineName(DigestAlgorithm algorithm) {
    return NamesOf(algorithm).commandLine;
}
std::string_view TagName(DigestAlgorithm algorithm) { return NamesOf(algorithm).tag; }
std::string_view DisplayName(DigestAlgorithm algorithm) { return NamesOf(algorithm).display; }
std::size_t HexDigits(DigestAlgorithm algorithm) { return NamesOf(algorithm).hexDigits; }

std::string SuffixName(DigestAlgorithm algorithm) { return AsciiUpper(CommandLineName(algorithm)); }

std::optional<DigestAlgorithm> AlgorithmNamed(std::string_view name) {
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        if (EqualsIgnoringCase(name, CommandLineName(algorithm))) return algorithm;
    }
    return std::nullopt;
}

DigestSet AlgorithmsOfLength(std::size_t hexDigits) {
    switch (hexDigits) {
        case 32:
            return DigestAlgorithm::Md5;
        case 40:
            return DigestAlgorithm::Sha1;
        case 56:
            return DigestAlgorithm::Sha224;
        case 64:
            return DigestAlgorithm::Sha256;
        case 96:
            return DigestAlgorithm::Sha384;
        case 128:
            return DigestSet(DigestAlgorithm::Sha512).Add(DigestAlgorithm::Blake2b);
        default:
            return {};
    }
}

}  // namespace vorlix
