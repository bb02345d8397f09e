#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>

#include "digest/DigestAlgorithm.h"
#include "digest/Md5.h"

namespace vorlix {

// Why digests other than MD5 cannot be computed here, or nothing: they come
// from libcrypto, loaded the first time one is wanted so that a run that
// needs only MD5 never loads it.
const std::string& OtherDigestsUnavailable();

// Errno of a digest that cannot be computed because libcrypto is missing.
inline constexpr int kNoDigestLibrary = 79;  // ELIBACC

// Several digests of one run of bytes, each fed the same bytes: MD5 by the
// program's own code, the others through libcrypto's EVP interface (which
// uses the processor's SHA extensions and vector units).
class Hasher {
  public:
    Hasher() = default;
    // False from Ready when the set needs libcrypto and it is not there.
    explicit Hasher(DigestSet algorithms);
    ~Hasher();
    Hasher(Hasher&& other) noexcept;
    Hasher& operator=(Hasher&& other) noexcept;
    Hasher(const Hasher&) = delete;
    Hasher& operator=(const Hasher&) = delete;

    bool Ready() const { return ready_; }
    DigestSet Algorithms() const { return algorithms_; }
    void Update(const void* bytes, std::size_t length);
    // The texts of the set, lower-case hex; the hasher is spent.
    DigestTexts Finish();

  private:
    void Release();

    DigestSet algorithms_;
    bool ready_ = true;
    Md5State md5_{};
    std::array<void*, kDigestAlgorithmCount> contexts_{};  // EVP_MD_CTX, by algorithm
};

// The digest of a run of bytes in one algorithm; empty when it cannot be computed.
std::string TextDigest(DigestAlgorithm algorithm, std::string_view bytes);

}  // namespace vorlix
