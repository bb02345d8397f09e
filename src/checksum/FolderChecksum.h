#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "checksum/ChecksumFile.h"
#include "checksum/ManyFiles.h"

namespace vorlix {

class Clock;
class Dialogs;
class Language;

struct FolderFile {
    std::string relative;  // below the folder, "/" between folders
    std::string path;      // as read
};

struct FolderScan {
    std::vector<FolderFile> files;     // regular files and links to them, in byte order
    std::vector<std::string> leftOut;  // anything else found that is no folder, and unreadable folders
};

// Every regular file below `folder`, hidden ones included. Links to files
// count under the link's own name; links to folders are not followed.
FolderScan ScanFolder(const std::string& folder);

// "/data/photos" and "/data/photos/" both give "/data/photos.MD5".
std::string FolderChecksumPath(const std::string& folder);
// The folder's own name, as the entries start with it; empty for "/".
std::string FolderOwnName(const std::string& folder);

// The checksum list of a folder: the comment line, then "digest *name" for
// every row that was digested, md5sum's escapes where a name needs them.
std::string FolderListText(std::string_view commentLine, const std::vector<ResultRow>& rows);

// Saves a checksum list the way a single checksum file is saved: the
// overwrite question (skipped in automatic mode), another name on No, one
// atomic replace and the same messages. `savedAs` gets the path written.
SaveOutcome SaveChecksumListFile(Dialogs& dialogs, const Language& language,
                                 const std::string& checksumPath, const std::string& content,
                                 bool autoMode, const std::string& lastUsedPath,
                                 std::string* savedAs = nullptr);

enum class FolderOutcome {
    Complete,    // every file recorded
    Incomplete,  // saved, but something was left out; or nothing to record
    Cancelled,   // nothing written
    Failed,      // the file could not be written
    NotAFolder,  // nothing done
};

// Creates "<folder>.MD5" beside the folder and shows the summary.
FolderOutcome CreateFolderChecksumFile(Dialogs& dialogs, const Language& language,
                                       const Clock& clock, const ManyFilesRunner& run,
                                       const std::string& folder, bool autoMode,
                                       const std::string& lastUsedPath);

}  // namespace vorlix
