#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorlix {

// The digests the program computes: MD5 is its own, the others come from
// libcrypto. The set is that of the sha*sum and b2sum programs.
enum class DigestAlgorithm : std::uint8_t { Md5, Sha1, Sha224, Sha256, Sha384, Sha512, Blake2b };
inline constexpr std::size_t kDigestAlgorithmCount = 7;
inline constexpr std::array<DigestAlgorithm, kDigestAlgorithmCount> kDigestAlgorithms = {
    DigestAlgorithm::Md5,    DigestAlgorithm::Sha1,   DigestAlgorithm::Sha224,
    DigestAlgorithm::Sha256, DigestAlgorithm::Sha384, DigestAlgorithm::Sha512,
    DigestAlgorithm::Blake2b};

// Its name on the command line: "md5", "sha256", "blake2b".
std::string_view CommandLineName(DigestAlgorithm algorithm);
// The name in a tag line, "SHA256 (name) = digest": "MD5", "SHA256", "BLAKE2b".
std::string_view TagName(DigestAlgorithm algorithm);
// The name in the suffix of its checksum files: "MD5", "SHA256", "BLAKE2B".
std::string SuffixName(DigestAlgorithm algorithm);
// The name shown to people: "MD5", "SHA-256", "BLAKE2b".
std::string_view DisplayName(DigestAlgorithm algorithm);
// Hexadecimal digits of its digest.
std::size_t HexDigits(DigestAlgorithm algorithm);

// The algorithm a command-line name stands for, in any letter case.
std::optional<DigestAlgorithm> AlgorithmNamed(std::string_view name);

// A set of algorithms, computed together from one read of a file.
class DigestSet {
  public:
    constexpr DigestSet() = default;
    constexpr DigestSet(DigestAlgorithm algorithm) : bits_(Bit(algorithm)) {}

    constexpr bool Has(DigestAlgorithm algorithm) const { return (bits_ & Bit(algorithm)) != 0; }
    constexpr DigestSet& Add(DigestAlgorithm algorithm) {
        bits_ |= Bit(algorithm);
        return *this;
    }
    constexpr DigestSet& Add(DigestSet other) {
        bits_ |= other.bits_;
        return *this;
    }
    constexpr DigestSet Without(DigestAlgorithm algorithm) const {
        DigestSet rest = *this;
        rest.bits_ &= static_cast<std::uint8_t>(~Bit(algorithm));
        return rest;
    }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::size_t Size() const {
        return static_cast<std::size_t>(__builtin_popcount(bits_));
    }
    // The first member in the order of kDigestAlgorithms; the set must not be empty.
    constexpr DigestAlgorithm First() const {
        return static_cast<DigestAlgorithm>(__builtin_ctz(bits_));
    }
    constexpr bool operator==(const DigestSet&) const = default;

  private:
    static constexpr std::uint8_t Bit(DigestAlgorithm algorithm) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(algorithm));
    }
    std::uint8_t bits_ = 0;
};

// The algorithms whose digests have this many hexadecimal digits: 128 fits
// both SHA-512 and BLAKE2b; an unknown length fits none.
DigestSet AlgorithmsOfLength(std::size_t hexDigits);

// The texts of digests of one run of bytes, one per algorithm computed. They
// travel with every result of a list of any size, so they are kept in one
// string, one after another in the order of kDigestAlgorithms.
class DigestTexts {
  public:
    // Empty for an algorithm not computed.
    std::string_view Of(DigestAlgorithm algorithm) const {
        const auto i = static_cast<std::size_t>(algorithm);
        return std::string_view(text_).substr(Offset(i), lengths_[i]);
    }
    void Set(DigestAlgorithm algorithm, std::string_view text) {
        const auto i = static_cast<std::size_t>(algorithm);
        text_.replace(Offset(i), lengths_[i], text);
        lengths_[i] = static_cast<std::uint8_t>(text.size());
    }
    bool Empty() const { return text_.empty(); }
    bool operator==(const DigestTexts&) const = default;

  private:
    std::size_t Offset(std::size_t index) const {
        std::size_t offset = 0;
        for (std::size_t i = 0; i < index; ++i) offset += lengths_[i];
        return offset;
    }

    std::array<std::uint8_t, kDigestAlgorithmCount> lengths_{};
    std::string text_;
};

inline std::string_view TextOf(const DigestTexts& texts, DigestAlgorithm algorithm) {
    return texts.Of(algorithm);
}

}  // namespace vorlix
