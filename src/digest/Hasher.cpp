#include "digest/Hasher.h"

#include <openssl/evp.h>

#include <cerrno>
#include <utility>

#include "util/SharedLibrary.h"

namespace vorlix {
namespace {

static_assert(kNoDigestLibrary == ELIBACC);

// The few libcrypto functions used, found in the library loaded at run time;
// their types come from its headers.
struct CryptoLibrary {
    decltype(&EVP_MD_fetch) mdFetch = nullptr;
    decltype(&EVP_MD_CTX_new) contextNew = nullptr;
    decltype(&EVP_MD_CTX_free) contextFree = nullptr;
    decltype(&EVP_DigestInit_ex2) init = nullptr;
    decltype(&EVP_DigestUpdate) update = nullptr;
    decltype(&EVP_DigestFinal_ex) final = nullptr;
    std::array<const EVP_MD*, kDigestAlgorithmCount> algorithms{};
    std::string failure;
};

// The names libcrypto fetches them by.
constexpr std::array<const char*, kDigestAlgorithmCount> kFetchNames = {
    nullptr, "SHA1", "SHA224", "SHA256", "SHA384", "SHA512", "BLAKE2B-512"};

#ifndef _WIN32
constexpr const char* kLibraryName = "libcrypto.so.3";
#endif

CryptoLibrary LoadCryptoLibrary() {
    CryptoLibrary crypto;
#ifdef _WIN32
    crypto.mdFetch = &EVP_MD_fetch;
    crypto.contextNew = &EVP_MD_CTX_new;
    crypto.contextFree = &EVP_MD_CTX_free;
    crypto.init = &EVP_DigestInit_ex2;
    crypto.update = &EVP_DigestUpdate;
    crypto.final = &EVP_DigestFinal_ex;
#else
    void* library = LoadSharedLibrary(kLibraryName, crypto.failure);
    if (!library) return crypto;
    FindFunction(library, "libcrypto", "EVP_MD_fetch", crypto.mdFetch, crypto.failure);
    FindFunction(library, "libcrypto", "EVP_MD_CTX_new", crypto.contextNew, crypto.failure);
    FindFunction(library, "libcrypto", "EVP_MD_CTX_free", crypto.contextFree, crypto.failure);
    FindFunction(library, "libcrypto", "EVP_DigestInit_ex2", crypto.init, crypto.failure);
    FindFunction(library, "libcrypto", "EVP_DigestUpdate", crypto.update, crypto.failure);
    FindFunction(library, "libcrypto", "EVP_DigestFinal_ex", crypto.final, crypto.failure);
#endif
    if (!crypto.failure.empty()) return crypto;
    // Fetched once: a fetch per file would cost more than a small file's digest.
    for (std::size_t i = 1; i < kDigestAlgorithmCount; ++i) {
        crypto.algorithms[i] = crypto.mdFetch(nullptr, kFetchNames[i], nullptr);
        if (!crypto.algorithms[i] && crypto.failure.empty())
            crypto.failure = std::string("libcrypto has no ") + kFetchNames[i];
    }
    return crypto;
}

// Loaded on first use, once, whichever thread asks first.
const CryptoLibrary& Crypto() {
    static const CryptoLibrary crypto = LoadCryptoLibrary();
    return crypto;
}

std::string HexText(const unsigned char* bytes, unsigned length) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * length);
    for (unsigned i = 0; i < length; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xf];
    }
    return text;
}

}  // namespace

const std::string& OtherDigestsUnavailable() { return Crypto().failure; }

Hasher::Hasher(DigestSet algorithms) : algorithms_(algorithms) {
    if (algorithms_.Has(DigestAlgorithm::Md5)) DigestInit(md5_);
    const DigestSet others = algorithms_.Without(DigestAlgorithm::Md5);
    if (others.Empty()) return;
    const CryptoLibrary& crypto = Crypto();
    if (!crypto.failure.empty()) {
        ready_ = false;
        return;
    }
    for (DigestAlgorithm algorithm : kDigestAlgorithms) {
        if (!others.Has(algorithm)) continue;
        const auto i = static_cast<std::size_t>(algorithm);
        EVP_MD_CTX* context = crypto.contextNew();
        contexts_[i] = context;
        if (!context || crypto.init(context, crypto.algorithms[i], nullptr) != 1) ready_ = false;
    }
}

Hasher::~Hasher() { Release(); }

Hasher::Hasher(Hasher&& other) noexcept
    : algorithms_(other.algorithms_),
      ready_(other.ready_),
      md5_(other.md5_),
      contexts_(std::exchange(other.contexts_, {})) {}

Hasher& Hasher::operator=(Hasher&& other) noexcept {
    if (this != &other) {
        Release();
        algorithms_ = other.algorithms_;
        ready_ = other.ready_;
        md5_ = other.md5_;
        contexts_ = std::exchange(other.contexts_, {});
    }
    return *this;
}

void Hasher::Release() {
    for (void*& context : contexts_) {
        if (context) Crypto().contextFree(static_cast<EVP_MD_CTX*>(context));
        context = nullptr;
    }
}

void Hasher::Update(const void* bytes, std::size_t length) {
    if (algorithms_.Has(DigestAlgorithm::Md5)) DigestUpdate(md5_, bytes, length);
    for (void* context : contexts_) {
        if (context && Crypto().update(static_cast<EVP_MD_CTX*>(context), bytes, length) != 1)
            ready_ = false;
    }
}

DigestTexts Hasher::Finish() {
    DigestTexts texts;
    if (algorithms_.Has(DigestAlgorithm::Md5)) {
        DigestFinal(md5_);
        texts.Set(DigestAlgorithm::Md5, DigestHexText(md5_));
    }
    for (std::size_t i = 0; i < kDigestAlgorithmCount; ++i) {
        auto* context = static_cast<EVP_MD_CTX*>(contexts_[i]);
        if (!context) continue;
        unsigned char bytes[EVP_MAX_MD_SIZE];
        unsigned length = 0;
        if (Crypto().final(context, bytes, &length) == 1) {
            texts.Set(static_cast<DigestAlgorithm>(i), HexText(bytes, length));
        } else {
            ready_ = false;
        }
    }
    Release();
    return texts;
}

std::string TextDigest(DigestAlgorithm algorithm, std::string_view bytes) {
    Hasher hasher(algorithm);
    if (!hasher.Ready()) return {};
    hasher.Update(bytes.data(), bytes.size());
    DigestTexts texts = hasher.Finish();
    return hasher.Ready() ? std::string(texts.Of(algorithm)) : std::string();
}

}  // namespace vorlix
