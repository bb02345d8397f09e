#pragma once

#include <cstddef>
#include <string>

#include "checksum/ManyFiles.h"

namespace vorlix {

enum class ListOutcome {
    Passed,         // every entry intact
    Failed,         // something damaged, missing, unreadable, or the run was cancelled;
                    // or, passing over absent files, no file intact
    NoUsableEntry,  // nothing to verify: the layout is not recognised
};

struct ListResult {
    ListOutcome outcome = ListOutcome::NoUsableEntry;
    ResultCounts counts;
    std::size_t notEntries = 0;  // lines that are no entry
    std::size_t passedOver = 0;  // entries whose file is absent, when they are passed over
    // Absent files were passed over and no file was found intact: nothing
    // vouches for the list, whatever else was found.
    bool noneVerified = false;
};

// Verifies every entry of a checksum list, names resolved against the list's
// folder, through `run` (which shows the rows). The summary is the caller's
// to show. With `passOverAbsent`, entries whose file does not exist are
// passed over as md5sum --ignore-missing does: no row, no count.
ListResult VerifyChecksumList(const ManyFilesRunner& run, const std::string& checksumPath,
                              bool passOverAbsent = false);
// The same for a list already open; its entries pass through the run one
// window at a time. `total` is how many there are, for progress (0: unknown).
ListResult VerifyChecksumList(const ManyFilesRunner& run, const std::string& checksumPath,
                              ChecksumListFile& list, std::size_t total,
                              bool passOverAbsent = false);

}  // namespace vorlix
