#pragma once

#include <functional>
#include <istream>
#include <string>
#include <string_view>

#include "digest/FileDigest.h"

namespace vorlix {

class Dialogs;
class Language;

enum class VerifyOutcome {
    NothingDone,  // no checksum file of that name; nothing was shown
    Passed,       // every message shown was a success
    Failed,       // at least one failure was shown
    Cancelled,    // the user stopped a digest; no outcome was shown
};

// Digests one data file for the verification; the window runs it with its
// progress dialog and Cancel, the console with its progress line.
using VerifyDigestRunner = std::function<FileDigestResult(const std::string& path)>;

// Verifies the data file a checksum file describes and shows the outcome,
// one message per entry. Never creates or changes a file. A data file that
// cannot be read shows the read-error message and ends the program.
// Without a runner the digest runs on this thread.
VerifyOutcome VerifyChecksumFile(Dialogs& dialogs, const Language& language,
                                 const std::string& checksumPath,
                                 const VerifyDigestRunner& runDigest = {});
// The same for a checksum file already open, read from its start: the file
// that was looked at is the file verified.
VerifyOutcome VerifyChecksumFile(Dialogs& dialogs, const Language& language,
                                 const std::string& checksumPath, std::istream& content,
                                 const VerifyDigestRunner& runDigest = {});

// Where a recorded name lies: names without a folder sit beside the
// checksum file, wherever the program was started.
std::string ResolveDataPath(std::string_view checksumPath, std::string_view dataName);
// The same in two steps, for many names beside one checksum file.
std::string ChecksumFileFolder(std::string_view checksumPath);
std::string JoinDataPath(std::string_view folder, std::string_view dataName);

// Digests as text, letter case ignored.
bool SameDigest(std::string_view stored, std::string_view computed);

}  // namespace vorlix
