// Prints the digest of one file the way the program computes it, with its
// size and throughput on standard error.
#include <chrono>
#include <cstdio>

#include "digest/FileDigest.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: digest_file PATH\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const auto result = vorlix::ComputeFileDigest(argv[1]);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (result.status != vorlix::FileDigestResult::Status::Ok) {
        std::fprintf(stderr, "digest_file: cannot read %s (errno %d)\n", argv[1],
                     result.errorNumber);
        return 1;
    }
    std::printf("%s  %s\n", result.digest.c_str(), argv[1]);
    std::fprintf(stderr, "%llu bytes in %.3f s, %.1f MB/s\n",
                 static_cast<unsigned long long>(result.size), elapsed.count(),
                 elapsed.count() > 0 ? result.size / elapsed.count() / 1e6 : 0.0);
    return 0;
}
