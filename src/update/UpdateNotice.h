#pragma once

#include <compare>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vorlix {

class Dialogs;
class Language;
class UpdateFile;

// A version text's four numbers, "1.0.0.22".
struct VersionNumbers {
    int MajorVer = 0;
    int MinorVer = 0;
    int LowVer = 0;
    int BuildVer = 0;

    auto operator<=>(const VersionNumbers&) const = default;
};

// The four numbers of a version text, or nothing when it is invalid: other
// than four parts joined by ".", or a part that is empty, holds anything but
// the digits 0-9, or is above 32767.
std::optional<VersionNumbers> DecompositionVerStr(std::string_view text);

struct VersionComparison {
    // The running version is the greater, or a version text is invalid: no
    // notice follows.
    bool NewerThanPublished = false;
    // The published version is newer and differs in the build number only.
    bool CriticalUpdate = false;
    // Which case it was, for the caller's outcome.
    bool InvalidVersion = false;
    bool SameVersion = false;  // numerically equal, "01.0.0.22" and "1.0.0.22"
};

// Compares the running with the published version as one number: major,
// then minor, then low, then build. When the running version is the
// greater, the warning for the first number at which it is greater is
// shown; an invalid text shows its own message.
VersionComparison CompareVersions(Dialogs& dialogs, std::string_view ThisProgVer,
                                  std::string_view PublicProgVer);

// How one update check ended.
enum class UpdateOutcome {
    UpToDate,        // the published version is the running one
    NewerPublished,  // the notice of a newer version was shown
    RunningNewer,    // the running version is newer than published
    NotListed,       // this program or its version is missing from the file
    InvalidVersion,  // a version text could not be read
    DownloadFailed,
    Unfinished,  // the window closed before the file was read, or the copy vanished
};

// The exit status of a check run from the command line: 0 up to date or
// newer, 1 a newer version is published, 2 the check could not be completed.
int ExitStatusOf(UpdateOutcome outcome);

// The published version of the program named productName, or nothing when
// it is not listed or its version entry is missing or empty.
std::optional<std::string> ReadPublishedVersion(UpdateFile& file, const std::string& path,
                                                std::string_view productName);

struct UpdateNotice {
    std::string text;  // empty when nothing is to be shown
    UpdateOutcome outcome = UpdateOutcome::UpToDate;
};

// Reads this program's published version from the local copy and compares
// it with the running one (modAvizo_v4). Messages for a program not listed,
// an invalid version text or a running version newer than published are
// shown here; unloadWindow closes the update window where the check says so.
UpdateNotice GetUpdateNotice(Dialogs& dialogs, const Language& language, UpdateFile& file,
                             const std::string& path, const std::function<void()>& unloadWindow,
                             std::string_view ThisProgVer);
UpdateNotice GetUpdateNotice(Dialogs& dialogs, const Language& language, UpdateFile& file,
                             const std::string& path, const std::function<void()>& unloadWindow);

}  // namespace vorlix
