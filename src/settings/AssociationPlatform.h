#pragma once

#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "util/ProgramLocation.h"

namespace vorlix {

// One thing the desktop's record could not be given: the file or the step
// (a tool, a registry key), and why, as the system's error or in words.
struct AssociationFailure {
    std::string what;
    std::error_code error;
    std::string reason;

    bool operator==(const AssociationFailure&) const = default;
};

// Everything that failed, in the order it was tried; empty when all went well.
using AssociationFailures = std::vector<AssociationFailure>;

// The desktop's record of which program opens a file type: the registry's
// file classes on Windows, the freedesktop MIME and desktop-entry files elsewhere.
class AssociationPlatform {
  public:
    virtual ~AssociationPlatform() = default;

    // Files ending in "." + extension become of the file type, opened by
    // target with the file as one argument, shown with the program's icon.
    // A failed step does not stop the ones after it.
    virtual AssociationFailures Register(const std::string& extension, const std::string& target,
                                         const std::string& typeName) = 0;

    // Removes what Register wrote for this file type; another program's claim
    // on the extension stays.
    virtual AssociationFailures Unregister(const std::string& extension,
                                           const std::string& typeName) = 0;

    // The program the file type's open command names, or nothing when the
    // type has no open command.
    virtual std::optional<std::string> OpenCommandProgram(const std::string& typeName) = 0;
};

// The implementation for the platform this program is built for.
std::unique_ptr<AssociationPlatform> MakeAssociationPlatform(const ProgramLocation& location);

}  // namespace vorlix
