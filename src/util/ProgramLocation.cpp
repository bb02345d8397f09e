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

ProgramLocation ProgramLocation::OfRunningProgram() {
    std::error_code error;
    // Linux names the running executable here, symlinks resolved.
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) self = std::filesystem::current_path(error) / "vorlix";
    return FromExecutable(self);
}

}  // namespace vorlix
