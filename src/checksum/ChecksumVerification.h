#pragma once

#include <string>
#include <string_view>

namespace vorlix {

class Dialogs;
class Language;

enum class VerifyOutcome {
    NothingDone,  // no checksum file of that name; nothing was shown
    Passed,       // every message shown was a success
    Failed,       // at least one failure was shown
};

// Verifies the data file a checksum file describes and shows the outcome,
// one message per entry. Never creates or changes a file. A data file that
// cannot be read shows the read-error message and ends the program.
VerifyOutcome VerifyChecksumFile(Dialogs& dialogs, const Language& language,
                                 const std::string& checksumPath);

// Where a recorded name lies: names without a folder sit beside the
// checksum file, wherever the program was started.
std::string ResolveDataPath(std::string_view checksumPath, std::string_view dataName);

// Digests as text, letter case ignored.
bool SameDigest(std::string_view stored, std::string_view computed);

}  // namespace vorlix
