#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "digest/FileDigest.h"
#include "digest/ManyFileDigest.h"

namespace vorlix {

// Called once per file, in the order of the paths, on the caller's thread.
using DigestResultHandler = std::function<void(std::size_t index, const FileDigestResult& result)>;

// Bytes digested so far over all files, finished ones and the ones under way.
using DigestManyProgress = std::function<void(std::uint64_t bytesDone)>;

// Digests many files. Callers rely only on the order of the results, so the
// work behind this may be spread over several files at once. After `cancel`
// is set the remaining files are reported Cancelled, still in order.
void DigestMany(const std::vector<std::string>& paths, const DigestResultHandler& onResult,
                const std::atomic<bool>* cancel = nullptr, const DigestManyProgress& progress = {});

// The same for files that a source gives one by one: no more of them are
// held at a time than the engine's window.
void DigestMany(const ManyFileSource& source, const ManyFileEntryResult& onResult,
                const std::atomic<bool>* cancel = nullptr, const DigestManyProgress& progress = {});

}  // namespace vorlix
