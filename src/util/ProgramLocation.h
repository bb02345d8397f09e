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

    std::filesystem::path LanguagesFolder() const;
};

// Where the language packs of a program in programFolder lie: "Languages"
// beside it (the build folder, a copied folder), else "../share/vorlix/Languages"
// (an installed program in bin/). When neither folder exists it is the one
// beside the program, so a missing pack is reported as ever.
std::filesystem::path LanguagesFolderOf(const std::filesystem::path& programFolder);

}  // namespace vorlix
