#pragma once

#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "digest/FileDigest.h"

namespace vorlix {

enum class VerifyOutcome {
    NothingDone,  // no checksum file of that name, or no entry for its data file
    Passed,       // every message is a success
    Failed,       // at least one message is a failure
    Cancelled,    // the user stopped a digest; the messages before it stand
    ReadError,    // a data file could not be read; the messages before it stand
};

// One message of a verification, texts from the "frmVorlix" section.
struct VerifyMessage {
    enum class Kind { Unrecognised, MissingFile, DigestMismatch, LengthMismatch, Success };
    Kind kind;
    // The checksum file (Unrecognised, and the results of the standard
    // layout), the recorded name otherwise.
    std::string subject;

    bool operator==(const VerifyMessage&) const = default;
};

struct VerifyResult {
    VerifyOutcome outcome = VerifyOutcome::NothingDone;
    std::vector<VerifyMessage> messages;  // in the order they are to be shown
    std::string unreadPath;               // the data file of a ReadError
    std::string unreadReason;             // why, when there is more to say
};

// Digests one data file for the verification; the window runs it with its
// progress dialog and Cancel, the console with its progress line.
using VerifyDigestRunner = std::function<FileDigestResult(const std::string& path)>;

// Verifies the data file a checksum file describes: one message per entry.
// Shows nothing and never creates or changes a file; a data file that cannot
// be read stops it. Without a runner the digest runs on this thread.
VerifyResult VerifyChecksumFile(const std::string& checksumPath,
                                const VerifyDigestRunner& runDigest = {});
// The same for a checksum file already open, read from its start: the file
// that was looked at is the file verified.
VerifyResult VerifyChecksumFile(const std::string& checksumPath, std::istream& content,
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
