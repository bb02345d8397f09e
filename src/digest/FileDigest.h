#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "digest/DigestAlgorithm.h"
#include "digest/InputFile.h"

namespace vorlix {

struct FileDigestResult {
    enum class Status { Ok, ReadError, Cancelled };
    Status status = Status::ReadError;
    std::string digest;  // when Ok: lower-case hex, of the first algorithm asked
    DigestAlgorithm algorithm = DigestAlgorithm::Md5;  // that first one
    DigestTexts digests;     // when Ok: those of the other algorithms asked
    std::uint64_t size = 0;  // bytes digested
    int errorNumber = 0;     // errno of the failure
    // A ReadError because the size or the modification time changed while
    // the file was read.
    bool changedWhileRead = false;

    // The text of any algorithm asked; empty for one not asked.
    std::string_view Of(DigestAlgorithm asked) const {
        return asked == algorithm ? std::string_view(digest) : digests.Of(asked);
    }
};

// Why a read failed when the file changed under the reader.
inline constexpr const char* kFileChangedWhileRead = "the file changed while it was read";

// Called now and then from the digesting thread with bytes done and total.
using DigestProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Streams the file through MD5 (or the algorithms asked, all from one read,
// each on a core of its own where there are several) without showing
// anything, to its end whatever size the system reports. Read-only: a missing name is a read error,
// never a new file. Out of file descriptors, it waits for one. Safe to run off the window's thread;
// `cancel` may be set from another thread.
FileDigestResult ComputeFileDigest(const std::string& path, const DigestProgress& progress = {},
                                   const std::atomic<bool>* cancel = nullptr,
                                   FileKind kind = FileKind::RegularOrBlockDevice,
                                   DigestSet algorithms = DigestAlgorithm::Md5);

// Why a failed digest failed, for its message: empty but for a file that
// changed while it was read.
std::string_view ReadErrorReason(const FileDigestResult& result);

}  // namespace vorlix
