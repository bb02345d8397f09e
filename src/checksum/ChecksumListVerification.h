#pragma once

#include <cstddef>
#include <string>

#include "checksum/ManyFiles.h"

namespace vorlix {

class Dialogs;
class Language;

enum class ListOutcome {
    Passed,         // every entry intact
    Failed,         // something damaged, missing, unreadable, or the run was cancelled
    NoUsableEntry,  // the unrecognised-layout message was shown
};

// Verifies every entry of a checksum list, names resolved against the list's
// folder, through `run` (which shows the rows), then shows the summary.
ListOutcome VerifyChecksumList(Dialogs& dialogs, const Language& language,
                               const ManyFilesRunner& run, const std::string& checksumPath);
// The same for a list already open; its entries pass through the run one
// window at a time. `total` is how many there are, for progress (0: unknown).
ListOutcome VerifyChecksumList(Dialogs& dialogs, const Language& language,
                               const ManyFilesRunner& run, const std::string& checksumPath,
                               ChecksumListFile& list, std::size_t total);

}  // namespace vorlix
