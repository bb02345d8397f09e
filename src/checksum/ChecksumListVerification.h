#pragma once

#include <cstddef>
#include <string>

#include "checksum/ManyFiles.h"

namespace vorlix {

enum class ListOutcome {
    Passed,         // every entry intact
    Failed,         // something damaged, missing, unreadable, or the run was cancelled
    NoUsableEntry,  // nothing to verify: the layout is not recognised
};

struct ListResult {
    ListOutcome outcome = ListOutcome::NoUsableEntry;
    ResultCounts counts;
    std::size_t notEntries = 0;  // lines that are no entry
};

// Verifies every entry of a checksum list, names resolved against the list's
// folder, through `run` (which shows the rows). The summary is the caller's
// to show.
ListResult VerifyChecksumList(const ManyFilesRunner& run, const std::string& checksumPath);
// The same for a list already open; its entries pass through the run one
// window at a time. `total` is how many there are, for progress (0: unknown).
ListResult VerifyChecksumList(const ManyFilesRunner& run, const std::string& checksumPath,
                              ChecksumListFile& list, std::size_t total);

}  // namespace vorlix
