#pragma once

#include <filesystem>
#include <string>

namespace vorlix {

// Where the running program lives. Packs, the default "LastUsedPath" and the
// file-type registration are all derived from it.
struct ProgramLocation {
    std::filesystem::path folder;  // the executable's folder
    std::string exeFileName;       // "vorlix", "vorlix.exe"
    std::string exeName;           // the file name without its extension

    static ProgramLocation OfRunningProgram();
    static ProgramLocation FromExecutable(const std::filesystem::path& executable);

    std::filesystem::path LanguagesFolder() const { return folder / "Languages"; }
};

}  // namespace vorlix
