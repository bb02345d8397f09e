#pragma once

#include <functional>
#include <string>
#include <system_error>
#include <vector>

namespace vorlix {

class Dialogs;
class Language;

enum class SaveOutcome { Saved, Cancelled, Failed };

// One save of a file the program writes: a single file's checksum file, a
// folder's, or the list the results window saves.
struct SaveRequest {
    std::string target;  // the name proposed first
    // The content for the name finally chosen (a list's names are relative
    // to its own folder).
    std::function<std::string(const std::string& target)> content;
    // Files whose digests the content holds: the checksum file is never one
    // of them, by whatever name or link it is reached.
    std::vector<std::string> dataFiles;
    // The folder being listed, if any: the checksum file lies outside it.
    std::string listedFolder;
    bool askFirst = true;  // false: the proposed name is replaced without the question
    bool confirm = true;   // the message that the file was saved
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Failed;
    std::string savedAs;  // the file written
};

// Asks before replacing any existing file (the proposed one unless
// askFirst is false, and every other one picked after "No"), offers another
// name on "No", refuses a name that is a data file, lies in the listed
// folder or is reached through a link planted by someone else, replaces
// the file atomically (ReplaceFileContent) and shows the outcome. Every
// outcome has been shown to the user when it returns.
SaveResult SaveFile(Dialogs& dialogs, const Language& language, const SaveRequest& request);

// The message of a save that failed with `error`.
void ShowSaveFailure(Dialogs& dialogs, const Language& language, std::error_code error);

}  // namespace vorlix
