#pragma once

#include <filesystem>
#include <optional>
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
    std::vector<FolderFile> files;  // regular files and links to them, in byte order
    std::vector<std::string>
        leftOut;  // anything else found that is no folder, and unreadable folders
};

// Every regular file below `folder`, hidden ones included. Links to files
// count under the link's own name; links to folders are not followed.
FolderScan ScanFolder(const std::string& folder);

// The folder as one absolute path: its parent with every link resolved, then
// its own name as given (a link to a folder keeps the name the user knows it
// by); a last name "." or ".." is resolved with the rest. Nothing when the
// parent is not there.
std::optional<std::filesystem::path> ResolveFolder(const std::string& folder);

// "/data/photos" and "/data/photos/" both give "/data/photos.MD5" (or
// ".SHA256" and so on, the name of another digest in upper case).
std::string FolderChecksumPath(const std::string& folder,
                               DigestAlgorithm algorithm = DigestAlgorithm::Md5);
// The folder's own name, as the entries start with it; empty for "/".
std::string FolderOwnName(const std::string& folder);

// The checksum list of a folder: the comment line, then "digest *name" for
// every row that was digested, md5sum's escapes where a name needs them.
std::string FolderListText(std::string_view commentLine, const std::vector<ResultRow>& rows);
// The same, every name made relative to `listFolder` (the folder of the
// list as named) from the path read.
std::string FolderListText(std::string_view commentLine, const std::vector<ResultRow>& rows,
                           const std::string& listFolder);

enum class FolderOutcome {
    Complete,    // every file recorded
    Incomplete,  // saved, but something was left out; or nothing to record
    Cancelled,   // nothing written
    Failed,      // the file could not be written
    NotAFolder,  // nothing done
};

struct FolderResult {
    FolderOutcome outcome = FolderOutcome::NotAFolder;
    bool runCancelled = false;  // Cancelled while the files were read, not at the save
    std::string listed;         // the folder as resolved
    std::string checksumPath;   // where the file was meant to go
    std::string savedAs;        // where it went, when saved
    ResultCounts counts;
    std::vector<std::string> leftOut;  // names as they would be recorded, sorted
};

// Creates "<folder>.MD5" beside the folder, through SaveFile (which asks its
// questions and reports a failed save itself; the question is skipped in
// automatic mode). The rest is the front-end's to tell. In another digest
// the file is "<folder>.SHA256" and so on, in the form of sha256sum's lists.
FolderResult CreateFolderChecksumFile(Dialogs& dialogs, const Language& language,
                                      const Clock& clock, const ManyFilesRunner& run,
                                      const std::string& folder, bool autoMode,
                                      DigestAlgorithm algorithm = DigestAlgorithm::Md5);

}  // namespace vorlix
