#include "util/ProgramLocation.h"

#include <system_error>

namespace vorlix {

ProgramLocation ProgramLocation::FromExecutable(const std::filesystem::path& executable) {
    ProgramLocation location;
    location.folder = executable.parent_path();
    location.exeFileName = executable.filename().string();
    location.exeName = executable.stem().string();
    return location;
}

std::filesystem::path LanguagesFolderOf(const std::filesystem::path& programFolder) {
    std::error_code error;
    const std::filesystem::path beside = programFolder / "Languages";
    if (std::filesystem::is_directory(beside, error)) return beside;
    const std::filesystem::path installed =
        (programFolder / ".." / "share" / "vorlix" / "Languages").lexically_normal();
    if (std::filesystem::is_directory(installed, error)) return installed;
    return beside;
}

std::filesystem::path ProgramLocation::LanguagesFolder() const { return LanguagesFolderOf(folder); }

ProgramLocation ProgramLocation::OfRunningProgram() {
    std::error_code error;
    // Linux names the running executable here, symlinks resolved.
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) self = std::filesystem::current_path(error) / "vorlix";
    return FromExecutable(self);
}

}  // namespace vorlix
