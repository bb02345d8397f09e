#pragma once

#include <sys/types.h>

#include <string>
#include <system_error>

namespace vorlix {

// The kernel's rule for links in a sticky folder that everyone may write
// (/tmp and the like): anyone may plant a link there, so one is followed only
// when it belongs to the user who follows it or to the folder's owner.
bool MayFollowLink(uid_t linkOwner, uid_t folderOwner, mode_t folderMode, uid_t follower);

struct ResolvedTarget {
    std::string path;         // absolute, every link resolved; the last names may not exist yet
    std::string refusedLink;  // the link MayFollowLink refused; `path` is empty then
    std::error_code error;
};

// The file a write to `path` would reach, found one name at a time as the
// system finds it, with MayFollowLink applied to every link on the way
// whatever the system's own setting is (it is off on many machines).
ResolvedTarget ResolveTarget(const std::string& path);

}  // namespace vorlix
