#pragma once

#include <cstdint>
#include <string>

#include "util/ProgramLocation.h"

namespace vorlix {

class Dialogs;
class FileAssociation;
class SettingsStore;

// The settings of this user (modOptions): the store, the in-memory copies the
// rest of the program works on, the defaults and the check.
class Options {
public:
    Options(SettingsStore& store, Dialogs& dialogs, FileAssociation& association,
            ProgramLocation location);

    bool HasStoredVersion();
    void WriteDefaultSettings();
    void CheckSettings();

    // The start of the main window: defaults on first use, the check, the
    // repair of a missing language. Returns the language to start in.
    std::int32_t RunStartSequence();

    // Remembers the last chosen file, in memory and in the store at once.
    void StoreLastUsedPath(const std::string& path);

    // In-memory copies, program-wide.
    std::string VersionProgram;
    std::string LastUsedPath;
    std::string DefaultLanguage;
    bool DefaultContentMD5File = false;

private:
    // ... (filled in by the implementation)
};

}  // namespace vorlix
