// The digest core against OpenSSL's MD5: any bytes, fed in any chunks from
// any alignment, give OpenSSL's digest.
#include <openssl/md5.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "digest/Md5.h"
#include "fuzz/FuzzSupport.h"

namespace {

std::string ReferenceDigest(const std::uint8_t* data, std::size_t size) {
    unsigned char digest[MD5_DIGEST_LENGTH];
    // OpenSSL 3 calls MD5() deprecated; it is the plainest reference there is.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    MD5(data, size, digest);
#pragma GCC diagnostic pop
    std::string text;
    char pair[3];
    for (unsigned char byte : digest) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        text += pair;
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the chunk sizes and the misalignment of the copy.
    const std::uint8_t seed = data[0];
    const std::uint8_t* message = data + 1;
    const std::size_t length = size - 1;
    const std::string expected = ReferenceDigest(message, length);

    if (vorlix::TextDigest(std::string_view(reinterpret_cast<const char*>(message), length)) !=
        expected) {
        vorlix::fuzz::Fail("TextDigest differs from OpenSSL");
    }

    std::vector<std::uint8_t> shifted(length + 16);
    const std::size_t offset = seed % 16;
    if (length) std::memcpy(shifted.data() + offset, message, length);

    vorlix::Md5State state;
    vorlix::DigestInit(state);
    std::size_t done = 0;
    std::uint32_t chunkSeed = seed * 2654435761u + 1;
    while (done < length) {
        chunkSeed = chunkSeed * 1103515245u + 12345u;
        // Mostly small chunks, now and then a large one, so block edges are met
        // from every side.
        std::size_t chunk = (chunkSeed >> 16) % 130;
        if ((chunkSeed >> 8) % 7 == 0) chunk = (chunkSeed >> 4) % 4096;
        if (chunk > length - done) chunk = length - done;
        vorlix::DigestUpdate(state, shifted.data() + offset + done, chunk);
        done += chunk;
    }
    vorlix::DigestFinal(state);
    if (vorlix::DigestHexText(state) != expected) {
        vorlix::fuzz::Fail("chunked digest differs from OpenSSL");
    }
    return 0;
}
