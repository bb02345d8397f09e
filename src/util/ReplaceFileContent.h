#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace vorlix {

struct ReplaceOptions {
    // false: a named temporary file, as on file systems that have no
    // unnamed ones.
    bool unnamedTemporary = true;
};

// Gives the file at `path` exactly `content`, or leaves it as it was and
// returns the system's error. A file the user may not write is an error.
// Otherwise the content goes to a temporary file beside the target that then
// replaces it, keeping its mode and owner; only when that cannot work (a
// folder the user may not write, a file with other hard links, an owner that
// cannot be kept) is the file written in place. A symbolic link is written
// through, unless MayFollowLink refuses it (EACCES). No temporary file is
// left behind, also when the program is interrupted (see Interrupts.h).
std::error_code ReplaceFileContent(const std::string& path, std::string_view content,
                                   ReplaceOptions options = {});

}  // namespace vorlix
