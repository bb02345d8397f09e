#pragma once

#include <any>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "digest/FileDigest.h"

namespace vorlix {

struct ManyFileDigestOptions {
    // Anything but a regular file is a read error (a list may name devices).
    bool regularFilesOnly = true;
    // Set from any thread: every worker stops within a pass of its lanes.
    const std::atomic<bool>* cancel = nullptr;
    // Workers; 0: one per core and one more.
    int threads = 0;
    // Lanes per worker; 0: what the processor offers (VORLIX_MD5_LANES=1 forces one).
    int lanes = 0;
    // Bytes read so far over all files, on the caller's thread, now and then
    // while the files are read (also while one big file holds everything up).
    std::function<void(std::uint64_t bytesDone)> progress;
};

// How far the workers may run ahead of the results handed on: files are
// started only while fewer than this many finished ones wait for an earlier
// file. No more entries than this are taken from a source before their
// results are handed on.
inline constexpr std::size_t kManyFilesAhead = 4096;

// One file to digest, and whatever the caller keeps with it until its result.
struct ManyFileEntry {
    std::string path;
    // MD5 goes through the vector lanes; any other digest is computed
    // beside it from the same reads.
    DigestSet algorithms = DigestAlgorithm::Md5;
    std::any tag;
};

// Fills in the next entry; false when there are no more. Called on the
// caller's thread, before the first result and then once for every result
// handed on, so that at most kManyFilesAhead entries wait in the engine
// beside the one being handed on.
using ManyFileSource = std::function<bool(ManyFileEntry& next)>;

// Called on the caller's thread, once per entry and in the source's order,
// whatever order the files finish in. The entry may be moved from.
using ManyFileEntryResult =
    std::function<void(std::size_t index, ManyFileEntry& entry, const FileDigestResult& result)>;

// Digests many files at once: one worker per core, each keeping several files
// in the lanes of its vector unit and refilling a lane as soon as its file
// ends. Memory and open files stay bounded (a few MiB and a few dozen files,
// never more than the process may open) whatever the number and sizes of
// the files. After a cancel, the files not yet done are reported as
// Cancelled.
void DigestManyFiles(const ManyFileSource& source, const ManyFileEntryResult& onResult,
                     const ManyFileDigestOptions& options = {});

// The same over paths held by the caller.
using ManyFileResult = std::function<void(std::size_t index, const FileDigestResult& result)>;
void DigestManyFiles(const std::vector<std::string>& paths, const ManyFileResult& onResult,
                     const ManyFileDigestOptions& options = {});

}  // namespace vorlix
