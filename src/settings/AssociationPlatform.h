#pragma once

#include <memory>
#include <optional>
#include <string>

#include "util/ProgramLocation.h"

namespace vorlix {

// The desktop's record of which program opens a file type: the registry's
// file classes on Windows, the freedesktop MIME and desktop-entry files elsewhere.
class AssociationPlatform {
public:
    virtual ~AssociationPlatform() = default;

    // Files ending in "." + extension become of the file type, opened by
    // target with the file as one argument, shown with the program's icon.
    virtual void Register(const std::string& extension, const std::string& target,
                          const std::string& typeName) = 0;

    // Removes what Register wrote for this file type; another program's claim
    // on the extension stays.
    virtual void Unregister(const std::string& extension, const std::string& typeName) = 0;

    // The program the file type's open command names, or nothing when the
    // type has no open command.
    virtual std::optional<std::string> OpenCommandProgram(const std::string& typeName) = 0;
};

// The implementation for the platform this program is built for.
std::unique_ptr<AssociationPlatform> MakeAssociationPlatform(const ProgramLocation& location);

}  // namespace vorlix
