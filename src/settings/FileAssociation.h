#pragma once

#include <string>

#include "settings/AssociationPlatform.h"
#include "util/ProgramLocation.h"

namespace vorlix {

class Dialogs;
class Language;

// The ".md5" file-type association (modAssociateExtension).
class FileAssociation {
  public:
    FileAssociation(AssociationPlatform& platform, Dialogs& dialogs, const Language& language,
                    ProgramLocation location);

    // extension without its dot ("md5"); a dot gets the pack's message and
    // nothing is written. Returns what the desktop could not be given and
    // notes it (Dialogs::Note): the console tells it, the options window shows
    // none of it (the box shows the state next time).
    AssociationFailures AssociateExtension(const std::string& extension, const std::string& target,
                                           const std::string& typeName);
    AssociationFailures RemoveExtensionAssociation(const std::string& extension,
                                                   const std::string& typeName);

    // True when this program's file type opens files with exactly ExeFullPath.
    // Builds ExeFullPath and sets AssociationChecked.
    bool IsExtensionAssociated();

    // Builds ExeFullPath from the program's location and returns it.
    const std::string& BuildExeFullPath();

    // The file type name: the executable's name without its extension.
    const std::string& TypeName() const { return location_.exeName; }

    // Program-wide, owned here.
    std::string ExeFullPath;
    bool AssociationChecked = false;

  private:
    bool RefuseDottedExtension(const std::string& extension);
    // Tells each failure where the front-end keeps such notes (the console:
    // standard error; the window: nowhere) and passes them on.
    AssociationFailures Noted(AssociationFailures failures);

    AssociationPlatform& platform_;
    Dialogs& dialogs_;
    const Language& language_;
    ProgramLocation location_;
};

// The executable's full path as the association registers it: the folder, one
// separator, the executable's file name (on Windows with ".exe" made sure of).
std::string ExecutableFullPath(const ProgramLocation& location);

}  // namespace vorlix
