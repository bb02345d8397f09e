#pragma once

#include <filesystem>
#include <string>

#include "settings/AssociationPlatform.h"

namespace vorlix {

// The association on a freedesktop desktop, for this user only: a MIME type of
// our own for "*.<extension>" files, a desktop entry that opens them and the
// user's default application for that type. Folders follow XDG_DATA_HOME,
// XDG_CONFIG_HOME and XDG_DATA_DIRS, read anew on every call.
//
// An installed copy of the program brings the type, its desktop entry and icon
// with it. When that entry runs the program being registered, the user's
// default names it and nothing else is written, so the desktop never shows the
// program twice.
class XdgAssociationPlatform final : public AssociationPlatform {
  public:
    AssociationFailures Register(const std::string& extension, const std::string& target,
                                 const std::string& typeName) override;
    AssociationFailures Unregister(const std::string& extension,
                                   const std::string& typeName) override;
    std::optional<std::string> OpenCommandProgram(const std::string& typeName) override;

    // Where things land, for a file type name and extension.
    static std::string MimeTypeName(const std::string& typeName, const std::string& extension);
    static std::string DesktopFileId(const std::string& typeName);  // "<id>.desktop"
    static std::filesystem::path DataHome();
    static std::filesystem::path ConfigHome();
    static std::filesystem::path DesktopEntryPath(const std::string& typeName);
    static std::filesystem::path MimePackagePath(const std::string& typeName);
    static std::filesystem::path IconPath(const std::string& typeName);
    static std::filesystem::path MimeAppsListPath();

    // The desktop entry that an installed copy ships, and where the desktop
    // finds it (the user's data folder first, then XDG_DATA_DIRS).
    static std::string InstalledDesktopFileId();
    static std::optional<std::filesystem::path> InstalledDesktopEntryPath();
};

// The Exec= value that runs program with the file as its one argument, quoted
// as desktop entries require (the key file adds its own escapes on writing).
std::string DesktopExecValue(const std::string& program);

// The program that an Exec= value (as read from the key file, its escapes
// undone) runs; empty when the value is malformed.
std::string ProgramOfDesktopExec(const std::string& value);

}  // namespace vorlix
